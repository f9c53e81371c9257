#pragma once

#include <QFrame>

class AppState;
class Dialogs;
class FavouriteListModel;
class RankList;
class RankingModel;
class ScreenHost;
class QLabel;
class QPushButton;
class QRadioButton;
class QTableView;

// fraRank, the ranking screen: authors (msgSaku) and magazines (msgKei) ranked by works, volumes or name, titles
// counted per volume range (msgMaster6) and per first-issue month or year (msgMaster3), and the favourite ranking
// (lstRank) that the user rearranges by dragging and saves with cmdRankHozon.
//
// The four grids are counted afresh from the title table at every opening from another screen (their rows are
// the names, months and years the table holds then, not the main page's lists, which may lag behind edits) and
// never follow changes while the screen stays open; nothing here changes the collection. The favourite list is the
// state's favourites: the panel shows them, a drag reorders them in memory (the save button turns light orange until
// the next save), and a save rewrites the ranking file from them.
class RankPanel final : public QFrame {
    Q_OBJECT
public:
    RankPanel(AppState& state, Dialogs& dialogs, ScreenHost& host, QWidget* parent = nullptr);
    ~RankPanel() override;

    // Handlers. The option handlers sort their grid and number its ranks.
    void cmdRank_Click();
    // Shows the favourites as the state holds them, as saved.
    void refreshFavourites();
    void optSaku1_Click();
    void optSaku2_Click();
    void optSaku3_Click();
    void optKei1_Click();
    void optKei2_Click();
    void optKei3_Click();
    void optMaster61_Click();
    void optMaster63_Click();
    void optMaster31_Click();
    void optMaster33_Click();
    void lblKoukaiChg_Click();
    void lstRank_MouseDown();
    void lstRank_MouseUp();
    void cmdRankHozon_Click();

    // The grids back to their header rows.
    void ResetAuthorMagazineGrids();
    void ResetVolumeRangeGrid();
    void ResetFirstIssueGrid();

    const RankingModel& authorModel() const { return *m_sakuModel; }
    const RankingModel& magazineModel() const { return *m_keiModel; }
    const RankingModel& volumeRangeModel() const { return *m_master6Model; }
    const RankingModel& firstIssueModel() const { return *m_master3Model; }
    const FavouriteListModel& favouriteModel() const { return *m_favourites; }
    // True while the favourite list holds an order not yet saved.
    bool hasUnsavedOrder() const { return m_unsavedOrder; }
    // True while msgMaster3 counts per year rather than per month.
    bool firstIssueByYear() const;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void buildControls();
    void fillFirstIssueMonths();
    void fillFirstIssueYears();
    void offerNewRanking();
    void setUnsavedOrder(bool unsaved);

    AppState& m_state;
    Dialogs& m_dialogs;
    ScreenHost& m_host;

    RankingModel* m_sakuModel = nullptr;
    RankingModel* m_keiModel = nullptr;
    RankingModel* m_master6Model = nullptr;
    RankingModel* m_master3Model = nullptr;
    FavouriteListModel* m_favourites = nullptr;

    QTableView* m_msgMaster3 = nullptr;
    QLabel* m_lblKoukaiChg = nullptr;
    RankList* m_lstRank = nullptr;
    QPushButton* m_cmdRankHozon = nullptr;
    QRadioButton* m_optSaku1 = nullptr;
    QRadioButton* m_optKei1 = nullptr;
    QRadioButton* m_optMaster61 = nullptr;
    QRadioButton* m_optMaster31 = nullptr;

    // The entry a drag started on: its row (-1 when the press found none) and its text.
    int m_RankDragIndex = -1;
    QString m_RankDragText;
    bool m_unsavedOrder = false;
    bool m_koukaiPressed = false;
};
