#pragma once

// A working folder, the shared state, a window host that records what the maintenance panel asks of it (ending
// the program included), and the panel over them. Files are written first; start() then loads the collection
// the way the window does.
#include "maintenance/widgets/MaintenancePanel.h"
#include "store/DataFolder.h"
#include "store/SelectionLists.h"
#include "support/FailingWriter.h"
#include "support/RecordingHost.h"
#include "support/ScriptedDialogs.h"
#include "support/TestFolder.h"
#include "ui/ScreenHost.h"
#include "ui/Twips.h"
#include "ui/logic/AppState.h"

#include <QSignalSpy>
#include <QTest>
#include <memory>

namespace mainttest {

inline const QString CollectionName = QStringLiteral("データＰＲＯ.txt");
inline const QString RankingName = QStringLiteral("ランキング.txt");

// One collection line with fields that tell records apart.
inline QString line(const QString& title, int count, int start, const QString& author = QStringLiteral("未登録"),
                    const QString& first = QStringLiteral("2008/05/05"))
{
    return QStringLiteral("\"%1\",%2,%3,\"%4\",\"誌%1\",\"○\",\"%5\",\"2009/01/0%6\"\r\n")
        .arg(title)
        .arg(count)
        .arg(start)
        .arg(author, first)
        .arg(count % 10);
}

// A volume file whose only missing volume is k.
inline QString volumesMissing(int k)
{
    QString text;
    for (int v = 1; v <= 50; ++v)
        text += QLatin1String(v == k ? "1" : "0") + QLatin1String(v % 10 == 0 ? "\r\n" : ",");
    return text;
}

struct Fixture {
    TestFolder folder;
    ScriptedDialogs dialogs;
    std::unique_ptr<AppState> state;
    std::unique_ptr<RecordingHost> host;
    std::unique_ptr<MaintenancePanel> panel;
    std::unique_ptr<QSignalSpy> mainPages;

    // The working folder is folder's subfolder sub when given, so that a test can look outside it.
    void start(const QString& collection, bool tour = false, const QString& sub = QString())
    {
        const QString work = sub.isEmpty() ? folder.path() : folder.path() + QLatin1Char('/') + sub;
        QDir().mkpath(work);
        writeTo(work, CollectionName, TestFolder::cp932(collection));
        state = std::make_unique<AppState>(work);
        host = std::make_unique<RecordingHost>(*state, dialogs);
        host->LoadTitleTable();
        host->loads = 0;
        state->HelpTourOn = tour ? 1 : 0;
        state->GalleryBuilt = true;
        state->stale = StaleFlags{false, false, false, false, false};
        panel = std::make_unique<MaintenancePanel>(*state, dialogs, *host);
        panel->setToday([] { return QDate(2008, 5, 5); });
        panel->resize(twips::toPixels(11880), twips::toPixels(7575));
        host->panel = panel.get();
        mainPages = std::make_unique<QSignalSpy>(panel.get(), &MaintenancePanel::mainPageIndexRequested);
    }
    static void writeTo(const QString& dir, const QString& name, const QByteArray& bytes)
    {
        QFile file(dir + QLatin1Char('/') + name);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(bytes);
    }
    template <typename Widget = QWidget> Widget* child(const char* name) const
    {
        return panel->findChild<Widget*>(QString::fromLatin1(name));
    }
    void checkDialogs() const { QVERIFY2(dialogs.done(), qPrintable(dialogs.problems())); }
};

} // namespace mainttest
