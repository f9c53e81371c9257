#pragma once

#include "lists/StatusList.h"

#include <QDate>
#include <QFrame>
#include <array>
#include <functional>
#include <memory>

class AppState;
class Dialogs;
class ListExports;
class ListGrid;
class ListPrinter;
class ScreenHost;
class StatusListModel;
class UncollectedModel;
class WebPageButtons;
class QLabel;
class QPushButton;

// fraList: the status list (msgList, every title with a cell per volume, and the six totals) and the uncollected
// view (msgList2, only the missing volumes packed to the left), with the export commands. Both grids are built
// lazily: a showing rebuilds only what the state's stale flags mark, and a toggle here changes one cell, one
// file and the three volume totals.
class StatusListPanel final : public QFrame {
    Q_OBJECT
public:
    StatusListPanel(AppState& state, Dialogs& dialogs, ScreenHost& host, QWidget* parent = nullptr);
    ~StatusListPanel() override;

    void setPrinter(std::unique_ptr<ListPrinter> printer);
    void setToday(std::function<QDate()> today);

    // Handlers.
    void cmdList_Click();
    void cmdHozon_Click();
    void cmdZanDsp_Click();
    void cmdAllDsp_Click();
    void cmdHozon1_Click();
    void cmdHozon2_Click();
    void msgList_Click(int row, int column);
    void msgList_DblClick(int row);
    void msgList2_DblClick(int row);

    // Shows the list with its cells read again when a change made elsewhere marked them stale (an undone click).
    void refreshCells();

    void LayOutStatusGrid();
    void LayOutUncollectedGrid();

    const StatusListModel& statusModel() const { return *m_statusModel; }
    const UncollectedModel& uncollectedModel() const { return *m_uncollectedModel; }
    const statuslist::Totals& totals() const { return m_totals; }
    WebPageButtons& webPage() const { return *m_web; }
    // The grid's rows as a showing would fill them (row i is record i + 1): refilled first, without showing the
    // panel, when the stale flags say the grid no longer holds the files and the table.
    const QList<statuslist::StatusRow>& currentRows();

signals:
    // A toggle here rewrote the volume file of the title the main page shows; the page must reread it.
    void mainPageVolumesChanged();

private:
    void buildControls();
    void showCaptions(int count);
    void rebuildUncollected();
    void clearGrid();
    void fillCells();
    // The row's cells and the volume totals as states hold them.
    void showRowStates(int row, const VolumeStates& states);

    AppState& m_state;
    Dialogs& m_dialogs;
    ScreenHost& m_host;
    StatusListModel* m_statusModel = nullptr;
    UncollectedModel* m_uncollectedModel = nullptr;
    ListExports* m_exports = nullptr;
    WebPageButtons* m_web = nullptr;
    statuslist::Totals m_totals;

    ListGrid* m_msgList = nullptr;
    ListGrid* m_msgList2 = nullptr;
    std::array<QLabel*, 6> m_totalLabels{}; // lblSou, lblSyu, lblZan, lblSouD, lblKans, lblMisyu
};
