#pragma once

// The status list panel in the shared panel fixture, with the list screens' own views of it. The panel shows the
// table it was given: a test may change it by hand.
#include "lists/ListModels.h"
#include "lists/widgets/StatusListPanel.h"
#include "support/PanelFixture.h"

#include <QLabel>
#include <QPushButton>

namespace listtest {

using paneltest::CollectionName;
using paneltest::doubleClick;
using paneltest::missing;
using paneltest::record;
using paneltest::volumes;

struct Fixture : paneltest::Fixture<StatusListPanel> {
    Fixture() { reload = RecordingHost::ReadsNothing; }
    void start()
    {
        paneltest::Fixture<StatusListPanel>::start();
        panel->setToday([] { return QDate(2008, 5, 5); });
    }
    QString caption(const char* label) const { return child<QLabel>(label)->text(); }
    void click(const QString& button) const
    {
        QTest::mouseClick(panel->findChild<QPushButton*>(button), Qt::LeftButton);
    }
    bool shown(const char* grid) const { return child(grid)->isVisible(); }
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
