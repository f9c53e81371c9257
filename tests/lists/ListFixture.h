#pragma once

// A working folder, the shared state, a recording window host and the status list panel over them. Files are
// written first; start() then loads the collection the way the window does.
#include "lists/ListModels.h"
#include "lists/widgets/StatusListPanel.h"
#include "store/DataFolder.h"
#include "support/FailingWriter.h"
#include "support/RecordingHost.h"
#include "support/ScriptedDialogs.h"
#include "support/TestFolder.h"
#include "ui/ScreenHost.h"
#include "ui/Twips.h"
#include "ui/logic/AppState.h"

#include <QLabel>
#include <QPushButton>
#include <QtTest>
#include <memory>

namespace listtest {

inline const QString CollectionName = QStringLiteral("データＰＲＯ.txt");

inline QString record(const QString& title, int count, int start)
{
    return QStringLiteral("\"%1\",%2,%3,\"未登録\",\"未登録\",\"未\",\"2008/05/05\",\"2008/05/05\"\r\n")
        .arg(title)
        .arg(count)
        .arg(start);
}

// A volume file whose listed entries hold their value and every other entry 0.
inline QString volumes(const QMap<int, int>& states)
{
    QString text;
    for (int k = 1; k <= 50; ++k)
        text += QString::number(states.value(k, 0)) + (k % 10 == 0 ? QStringLiteral("\r\n") : QStringLiteral(","));
    return text;
}
inline QString missing(const QList<int>& volumeNumbers)
{
    QMap<int, int> states;
    for (int k : volumeNumbers)
        states[k] = 1;
    return volumes(states);
}

struct Fixture {
    TestFolder folder;
    ScriptedDialogs dialogs;
    std::unique_ptr<AppState> state;
    std::unique_ptr<RecordingHost> host;
    std::unique_ptr<StatusListPanel> panel;

    void start()
    {
        state = std::make_unique<AppState>(folder.path());
        state->titles = state->store.loadCollection().table;
        host = std::make_unique<RecordingHost>(*state, dialogs, RecordingHost::ReadsNothing);
        panel = std::make_unique<StatusListPanel>(*state, dialogs, *host);
        panel->resize(twips::toPixels(11880), twips::toPixels(7575));
        panel->setToday([] { return QDate(2008, 5, 5); });
        host->panel = panel.get();
    }
    QString caption(const char* label) const { return panel->findChild<QLabel*>(label)->text(); }
    void click(const QString& button) const
    {
        QTest::mouseClick(panel->findChild<QPushButton*>(button), Qt::LeftButton);
    }
    bool shown(const char* grid) const { return panel->findChild<QWidget*>(grid)->isVisible(); }
    QString cell(int row, int column) const { return panel->statusModel().row(row).cellText(column); }
    // Column 0 is the title.
    QString uncollected(int row, int column) const
    {
        const UncollectedModel& model = panel->uncollectedModel();
        return column == 0 ? model.rows().at(row - 1).title : model.cellText(row, column);
    }
};

// 前編 with volume 1 missing; 後編, the second record of a series, with volumes 53 and 55 missing, a 2 in column
// 7 and a 1 beyond its count; 無 without a volume file; 短, whose file stops at its third number, no number.
inline void writeFourTitles(TestFolder& folder)
{
    folder.writeText(CollectionName, record(QStringLiteral("前編"), 10, 0) + record(QStringLiteral("後編"), 12, 50) +
                                         record(QStringLiteral("無"), 3, 0) + record(QStringLiteral("短"), 10, 0));
    folder.writeText(QStringLiteral("前編.TXT"), missing({1}));
    folder.writeText(QStringLiteral("後編.txt"), volumes({{3, 1}, {5, 1}, {7, 2}, {20, 1}}));
    folder.writeText(QStringLiteral("短.TXT"), QStringLiteral("0,1,x\r\n"));
}

} // namespace listtest
