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

#include <QMap>
#include <QTest>
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

// One collection line with count volumes from start + 1 and the other fields as a new title has them.
inline QString record(const QString& title, int count, int start)
{
    return Line{title, count, start}.text();
}

// A volume file whose listed entries hold their value and every other entry 0.
inline QString volumes(const QMap<int, int>& states)
{
    QString text;
    for (int k = 1; k <= 50; ++k)
        text += QString::number(states.value(k, 0)) + (k % 10 == 0 ? QStringLiteral("\r\n") : QStringLiteral(","));
    return text;
}

// A volume file whose listed volumes are missing and every other one collected.
inline QString missing(const QList<int>& volumeNumbers)
{
    QMap<int, int> states;
    for (int k : volumeNumbers)
        states[k] = 1;
    return volumes(states);
}

template <typename Panel> struct Fixture {
    TestFolder folder;
    ScriptedDialogs dialogs;
    std::unique_ptr<AppState> state;
    std::unique_ptr<RecordingHost> host;
    std::unique_ptr<Panel> panel;
    QString loadProblem;
    // Reads: the panel's requests to read the title table again read the collection file. ReadsNothing: the
    // panel shows only the table it was given, which a test may change by hand.
    RecordingHost::Reload reload = RecordingHost::Reads;

    void start(const QList<Line>& lines, bool tour = false)
    {
        folder.writeText(CollectionName, collectionText(lines));
        start(tour);
    }
    void start(bool tour = false)
    {
        state = std::make_unique<AppState>(folder.path());
        CollectionStore::Load load = state->store.loadCollection();
        state->titles = std::move(load.table);
        state->lists = buildSelectionLists(state->titles);
        loadProblem = load.problem;
        host = std::make_unique<RecordingHost>(*state, dialogs, reload);
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
