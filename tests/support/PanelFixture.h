#pragma once

// A working folder, the shared state and a window host that records what a screen asks of it, around one screen
// panel. Files are written first; start() then loads the collection the way the window does.
#include "store/DataFolder.h"
#include "store/SelectionLists.h"
#include "support/FailingWriter.h"
#include "support/RecordingHost.h"
#include "support/ScriptedDialogs.h"
#include "support/TestFolder.h"
#include "ui/ScreenHost.h"
#include "ui/Twips.h"
#include "ui/logic/AppState.h"

#include <QtTest>
#include <memory>

namespace paneltest {

inline const QString CollectionName = QStringLiteral("データＰＲＯ.txt");

struct Line {
    QString title;
    int count = 10;
    int start = 0;
    QString author = QStringLiteral("未登録");
    QString magazine = QStringLiteral("未登録");
    QString rating = QStringLiteral("未");
    QString first = QStringLiteral("2008/05/05");
    QString last = QStringLiteral("2008/05/05");

    QString text() const
    {
        return QStringLiteral("\"%1\",%2,%3,\"%4\",\"%5\",\"%6\",\"%7\",\"%8\"\r\n")
            .arg(title)
            .arg(count)
            .arg(start)
            .arg(author, magazine, rating, first, last);
    }
};

inline QString collectionText(const QList<Line>& lines)
{
    QString text;
    for (const Line& line : lines)
        text += line.text();
    return text;
}

template <typename Panel> struct Fixture {
    TestFolder folder;
    ScriptedDialogs dialogs;
    std::unique_ptr<AppState> state;
    std::unique_ptr<RecordingHost> host;
    std::unique_ptr<Panel> panel;
    QString loadProblem;

    void start(const QList<Line>& lines, bool tour = false)
    {
        folder.writeText(CollectionName, collectionText(lines));
        start(tour);
    }
    void start(bool tour = false)
    {
        state = std::make_unique<AppState>(folder.path());
        host = std::make_unique<RecordingHost>(*state, dialogs);
        loadProblem = host->LoadTitleTable();
        host->loads = 0;
        state->HelpTourOn = tour ? 1 : 0;
        panel = std::make_unique<Panel>(*state, dialogs, *host);
        panel->resize(twips::toPixels(11880), twips::toPixels(7575));
        host->panel = panel.get();
    }
    template <typename Widget = QWidget> Widget* child(const char* name) const
    {
        return panel->template findChild<Widget*>(QString::fromLatin1(name));
    }
    void checkDialogs() const { QVERIFY2(dialogs.done(), qPrintable(dialogs.problems())); }
};

// What a user's double-click delivers: press, release, double-click, release.
inline void doubleClick(QWidget* widget, QPoint pos)
{
    QTest::mousePress(widget, Qt::LeftButton, {}, pos);
    QTest::mouseRelease(widget, Qt::LeftButton, {}, pos);
    QTest::mouseDClick(widget, Qt::LeftButton, {}, pos);
    QTest::mouseRelease(widget, Qt::LeftButton, {}, pos);
}

} // namespace paneltest
