#include "rankings/widgets/RankPanel.h"
#include "history/RankingSave.h"

#include "rankings/FavouriteList.h"
#include "rankings/RankingModel.h"
#include "rankings/RankingRows.h"
#include "rankings/widgets/RankList.h"
#include "ui/CollectionLock.h"
#include "ui/Dialogs.h"
#include "ui/ScreenHost.h"
#include "ui/Twips.h"
#include "ui/UnsavedOrder.h"
#include "ui/WaitCursor.h"
#include "ui/logic/AppState.h"
#include "ui/logic/TourTexts.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <QLabel>
#include <QMouseEvent>
#include <QPushButton>
#include <QRadioButton>
#include <QTableView>

namespace {

const QString MonthMode = QStringLiteral("初刊発行年月");
const QString YearMode = QStringLiteral("初刊発行年");

// Unselects an option button, which an exclusive group of radio buttons would otherwise refuse, so that
// selecting it again runs its handler.
void deselect(QRadioButton* option)
{
    option->setAutoExclusive(false);
    option->setChecked(false);
    option->setAutoExclusive(true);
}

} // namespace

RankPanel::RankPanel(AppState& state, Dialogs& dialogs, ScreenHost& host, QWidget* parent)
    : QFrame(parent), m_state(state), m_dialogs(dialogs), m_host(host),
      m_sakuModel(new RankingModel(rankgrid::names(QStringLiteral("作者名")), this)),
      m_keiModel(new RankingModel(rankgrid::names(QStringLiteral("掲載社名")), this)),
      m_master6Model(new RankingModel(rankgrid::volumeRanges(), this)),
      m_master3Model(new RankingModel(rankgrid::firstIssues(), this)), m_favourites(new FavouriteListModel(this))
{
    setObjectName(QStringLiteral("fraRank"));
    setFont(twips::uiFont());
    buildControls();
    hide();
}

RankPanel::~RankPanel() = default;

bool RankPanel::eventFilter(QObject* watched, QEvent* event)
{
    // A click on lblKoukaiChg is a press and a release of the left button on it.
    const bool press = event->type() == QEvent::MouseButtonPress;
    if (watched != m_lblKoukaiChg || (!press && event->type() != QEvent::MouseButtonRelease))
        return QFrame::eventFilter(watched, event);
    const auto* mouse = static_cast<QMouseEvent*>(event);
    if (mouse->button() != Qt::LeftButton)
        return QFrame::eventFilter(watched, event);
    if (press) {
        m_koukaiPressed = true;
    } else if (m_koukaiPressed) {
        m_koukaiPressed = false;
        if (m_lblKoukaiChg->rect().contains(mouse->position().toPoint()))
            lblKoukaiChg_Click();
    }
    return true;
}

bool RankPanel::firstIssueByYear() const
{
    return m_lblKoukaiChg->text() == YearMode;
}

void RankPanel::ResetAuthorMagazineGrids()
{
    m_sakuModel->clear();
    m_keiModel->clear();
}

void RankPanel::ResetVolumeRangeGrid()
{
    m_master6Model->clear();
}

void RankPanel::ResetFirstIssueGrid()
{
    m_master3Model->clear();
}

void RankPanel::cmdRank_Click()
{
    if (!isHidden())
        return;
    m_host.HidePanels();
    ResetAuthorMagazineGrids();
    ResetVolumeRangeGrid();
    ResetFirstIssueGrid();
    // Titles added on other screens joined the favourites since the list was last shown.
    if (m_favourites->titles() != m_state.favourites)
        m_favourites->setTitles(m_state.favourites);
    letWindowRepaint();
    show();
    letWindowRepaint();

    {
        const WaitCursor wait;
        for (QRadioButton* option : {m_optSaku1, m_optKei1, m_optMaster31, m_optMaster61})
            deselect(option);
        m_sakuModel->setRows(rankrows::names(m_state.titles, &TitleRecord::author, m_state.lists.authors));
        m_optSaku1->setChecked(true);
        letWindowRepaint();
        m_keiModel->setRows(rankrows::names(m_state.titles, &TitleRecord::magazine, m_state.lists.magazines));
        m_optKei1->setChecked(true);
        letWindowRepaint();
        fillFirstIssueMonths();
        m_optMaster31->setChecked(true);
        letWindowRepaint();
        m_master6Model->setRows(rankrows::volumeRanges(m_state.titles));
        m_optMaster61->setChecked(true);
        letWindowRepaint();
    }

    m_state.TourText = tour::rankScreen();
    m_host.ShowTourMessage();
    offerNewRanking();
}

void RankPanel::fillFirstIssueMonths()
{
    m_lblKoukaiChg->setText(MonthMode);
    m_master3Model->setRows(rankrows::months(m_state.titles));
}

void RankPanel::fillFirstIssueYears()
{
    m_master3Model->setRows(rankrows::years(m_state.titles));
    m_lblKoukaiChg->setText(YearMode);
}

void RankPanel::optSaku1_Click()
{
    m_sakuModel->sortByCount(2);
}

void RankPanel::optSaku2_Click()
{
    m_sakuModel->sortByCount(3);
}

void RankPanel::optSaku3_Click()
{
    m_sakuModel->sortByLabel();
}

void RankPanel::optKei1_Click()
{
    m_keiModel->sortByCount(2);
}

void RankPanel::optKei2_Click()
{
    m_keiModel->sortByCount(3);
}

void RankPanel::optKei3_Click()
{
    m_keiModel->sortByLabel();
}

void RankPanel::optMaster61_Click()
{
    m_master6Model->sortByCount(2);
}

void RankPanel::optMaster63_Click()
{
    m_master6Model->sortByLabel();
}

void RankPanel::optMaster31_Click()
{
    m_master3Model->sortByCount(2);
}

void RankPanel::optMaster33_Click()
{
    m_master3Model->sortByLabel();
}

void RankPanel::lblKoukaiChg_Click()
{
    deselect(m_optMaster31);
    ResetFirstIssueGrid();
    letWindowRepaint();
    m_msgMaster3->hide();
    if (m_lblKoukaiChg->text() == MonthMode)
        fillFirstIssueYears();
    else
        fillFirstIssueMonths();
    m_msgMaster3->show();
    m_optMaster31->setChecked(true);
}

void RankPanel::lstRank_MouseDown()
{
    m_RankDragIndex = m_lstRank->selectedRow();
    m_RankDragText = m_RankDragIndex >= 0 ? m_favourites->titles().at(m_RankDragIndex) : QString();
}

void RankPanel::lstRank_MouseUp()
{
    const int from = m_RankDragIndex;
    m_RankDragIndex = -1;
    const int landed = from < 0 ? -1 : m_favourites->moveAbove(from, m_lstRank->selectedRow());
    if (landed < 0)
        return;
    // The moved entry is selected where it landed, as on the display-order screen.
    m_lstRank->selectRow(landed);
    m_state.favourites = m_favourites->titles();
    setUnsavedOrder(true);
}

void RankPanel::cmdRankHozon_Click()
{
    if (refusedWhileLocked(m_state.store, m_dialogs,
                           QStringLiteral("ランキングの変更は保存できません。保存すると、読み込めなかった題名が"
                                          "ランキングから消えてしまいます。"),
                           QStringLiteral("保存できません")))
        return;
    if (m_dialogs.messageBox(QStringLiteral("変更した順位でランキングデータを保存しますか？\r\n\r\n"
                                            "良かったらＯＫボタンを押してください"),
                             Dialogs::OkCancel + Dialogs::Exclamation,
                             QStringLiteral("ランキングデータ保存確認")) != Dialogs::Ok)
        return;
    QString error;
    {
        const WaitCursor wait;
        error = m_state.history
                    .perform(std::make_unique<RankingSave>(
                        m_state.changes, favourite::titlesToSave(m_favourites->titles(), m_state.titles)))
                    .error;
    }
    if (!error.isEmpty()) {
        // The old file is whole and the order on screen is still the one to save.
        m_dialogs.messageBox(error + QStringLiteral("\r\n\r\nランキングは保存されていません。"),
                             Dialogs::OkOnly + Dialogs::Exclamation, QStringLiteral("保存できません"));
        return;
    }
    setUnsavedOrder(false);
}

void RankPanel::refreshFavourites()
{
    if (m_favourites->titles() != m_state.favourites)
        m_favourites->setTitles(m_state.favourites);
    setUnsavedOrder(false);
}

void RankPanel::offerNewRanking()
{
    if (m_favourites->rowCount() > 0)
        return;
    if (refusedWhileLocked(m_state.store, m_dialogs,
                           QStringLiteral("ランキングデータは作成できません。読み込めた題名だけのランキングに"
                                          "なってしまいます。"),
                           QStringLiteral("ランキングデータ新規作成")))
        return;
    if (m_dialogs.messageBox(QStringLiteral("ランキングデータがありません。\r\n\r\n現在の並びで作成しますか？"),
                             Dialogs::OkCancel + Dialogs::Exclamation,
                             QStringLiteral("ランキングデータ新規作成")) != Dialogs::Ok)
        return;
    const QStringList titles = favourite::titlesInTableOrder(m_state.titles);
    const QString error = m_state.store.writeRanking(titles);
    if (!error.isEmpty()) {
        // The list stays empty, like the file, and the offer comes again at the next opening.
        m_dialogs.messageBox(error + QStringLiteral("\r\n\r\nランキングは作成されていません。"),
                             Dialogs::OkOnly + Dialogs::Exclamation, QStringLiteral("保存できません"));
        return;
    }
    m_state.favourites = titles;
    m_favourites->setTitles(titles);
}

void RankPanel::setUnsavedOrder(bool unsaved)
{
    m_unsavedOrder = unsaved;
    unsavedorder::mark(m_cmdRankHozon, unsaved);
}
