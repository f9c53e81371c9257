#pragma once

#include "lists/SortList.h"

#include <QFrame>
#include <array>

class AppState;
class Dialogs;
class ScreenHost;
class SortListModel;
class QPushButton;
class QTableView;

// fraIchiran, the sort screen: msgIchiran lists every title with its main data, a click on a column sorts the
// rows by it, and "メインに反映" rewrites the collection file in the shown order. The grid keeps its rows and their
// order between visits; it is refilled in table order only while the state's SortListStale is set. The sort
// directions last for the whole run.
class SortPanel final : public QFrame {
    Q_OBJECT
public:
    SortPanel(AppState& state, Dialogs& dialogs, ScreenHost& host, QWidget* parent = nullptr);
    ~SortPanel() override;

    // Handlers. Grid rows are 1-based (0 is the header row), columns 0 to 7.
    void cmdIchiran_Click();
    void cmdSort1_Click();
    void msgIchiran_Click(int row, int column);
    void msgIchiran_DblClick(int row, int column);
    void cmdSortCng1_Click();

    void LayOutSortGrid();

    const SortListModel& model() const { return *m_model; }
    bool titleSortDescending() const { return m_TitleSortDescending; }
    bool columnSortDescending(int column) const { return m_ColumnSortDescending.at(size_t(column)); }

signals:
    // The main page's scroll bar hsbData must take this value; the page shows that title without being brought
    // forward. "メインに反映" asks for TitleCount and then 1, so that the page shows the new first title even when
    // it stood on 1 already.
    void mainPageIndexRequested(int index);

private:
    void buildControls();

    AppState& m_state;
    Dialogs& m_dialogs;
    ScreenHost& m_host;
    SortListModel* m_model = nullptr;
    QTableView* m_msgIchiran = nullptr;

    // True: the next title sort is descending.
    bool m_TitleSortDescending = false;
    // True: the column was last sorted descending. Entries 1 to 7 are used.
    std::array<bool, 10> m_ColumnSortDescending{};
};
