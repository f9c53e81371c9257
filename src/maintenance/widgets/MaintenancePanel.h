#pragma once

#include <QDate>
#include <QFrame>
#include <functional>

class AppState;
class BackupGroup;
class Dialogs;
class DirectoryList;
class DisplayOrderModel;
class DriveList;
class OrderListView;
class ScreenHost;
class QPushButton;

// fraMaster, the maintenance panel: the display-order list (lstBicho) whose entries are dragged into a new order
// and written as the main page's order, the reset to an empty collection, and the import of the free edition's
// data from the folder chosen in drvCom / dirCom. The reset and the import end the program.
class MaintenancePanel final : public QFrame {
    Q_OBJECT
public:
    MaintenancePanel(AppState& state, Dialogs& dialogs, ScreenHost& host, QWidget* parent = nullptr);
    ~MaintenancePanel() override;

    // The day of the imports (the free edition's, and empty dates of a spreadsheet), today unless a test says
    // otherwise.
    void setToday(std::function<QDate()> today);

    // Handlers. The panel opens even when it is shown already, refilling the list from the title table.
    void cmdMaster_Click();
    void lstBicho_MouseDown();
    void lstBicho_MouseUp();
    void cmdSortCng2_Click();
    void cmdAllDel_Click();
    void drvCom_Change();
    void dirCom_Change();
    void cmdCmGetIn_Click();

    const DisplayOrderModel& orderModel() const { return *m_order; }
    int orderDragIndex() const { return m_OrderDragIndex; }
    QString orderDragTitle() const { return m_OrderDragTitle; }
    // True while cmdSortCng2 shows the unsaved-order colour.
    bool orderUnsaved() const { return m_orderUnsaved; }

signals:
    // The main page's scroll bar hsbData must take this value; the page shows that title without being brought
    // forward. Applying the order asks for TitleCount and then 1, so that the page shows the new first title even
    // when it stood on 1 already.
    void mainPageIndexRequested(int index);

private:
    void buildControls();
    void setOrderUnsaved(bool unsaved);

    AppState& m_state;
    Dialogs& m_dialogs;
    ScreenHost& m_host;
    std::function<QDate()> m_today;
    DisplayOrderModel* m_order = nullptr;

    OrderListView* m_lstBicho = nullptr;
    QPushButton* m_cmdSortCng2 = nullptr;
    DriveList* m_drvCom = nullptr;
    DirectoryList* m_dirCom = nullptr;
    QPushButton* m_cmdCmGetIn = nullptr;
    BackupGroup* m_backups = nullptr;

    // The row and the text of the entry the drag began on; -1 when the press was not on an entry.
    int m_OrderDragIndex = -1;
    QString m_OrderDragTitle;
    bool m_orderUnsaved = false;
};
