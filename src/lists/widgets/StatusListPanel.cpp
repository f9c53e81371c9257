#include "lists/widgets/StatusListPanel.h"

#include "history/RecordChanges.h"
#include "lists/ListModels.h"
#include "lists/widgets/ListExports.h"
#include "lists/widgets/ListGrid.h"
#include "lists/widgets/QrListButton.h"
#include "lists/widgets/WebPageButtons.h"
#include "ui/Dialogs.h"
#include "ui/ScreenHost.h"
#include "ui/Twips.h"
#include "ui/WaitCursor.h"
#include "ui/logic/AppState.h"
#include "ui/logic/MainPageLogic.h"

#include <QCoreApplication>
#include <QLabel>
#include <QPushButton>

namespace {

// Both grids share one place on the panel.
constexpr int StatusGridLeft = 150;
constexpr int StatusGridTop = 525;
constexpr int StatusGridWidth = 11415;
constexpr int StatusGridHeight = 6330;

const char* const LabelNames[] = {"lblSou", "lblSyu", "lblZan", "lblSouD", "lblKans", "lblMisyu"};
// The volume totals a toggle refreshes are the first three captions.
constexpr int VolumeCaptions = 3;

} // namespace

StatusListPanel::StatusListPanel(AppState& state, Dialogs& dialogs, ScreenHost& host, QWidget* parent)
    : QFrame(parent), m_state(state), m_dialogs(dialogs), m_host(host), m_statusModel(new StatusListModel(this)),
      m_uncollectedModel(new UncollectedModel(this))
{
    setObjectName(QStringLiteral("fraList"));
    setFont(twips::uiFont());
    m_exports = new ListExports(m_state, m_dialogs, m_host, *m_statusModel, this);
    buildControls();
    showCaptions(int(m_totalLabels.size()));
}

StatusListPanel::~StatusListPanel() = default;

void StatusListPanel::buildControls()
{
    m_msgList = new ListGrid(QStringLiteral("msgList"), this);
    m_msgList->setModel(m_statusModel);
    m_msgList2 = new ListGrid(QStringLiteral("msgList2"), this);
    m_msgList2->setModel(m_uncollectedModel);
    for (ListGrid* grid : {m_msgList, m_msgList2})
        grid->setGeometry(twips::rect(StatusGridLeft, StatusGridTop, StatusGridWidth, StatusGridHeight));
    m_msgList2->hide();
    connect(m_msgList, &ListGrid::cellClicked, this, &StatusListPanel::msgList_Click);
    connect(m_msgList, &ListGrid::rowDoubleClicked, this, &StatusListPanel::msgList_DblClick);
    connect(m_msgList2, &ListGrid::rowDoubleClicked, this, &StatusListPanel::msgList2_DblClick);

    for (size_t i = 0; i < m_totalLabels.size(); ++i) {
        auto* label = new QLabel(this);
        label->setObjectName(QString::fromLatin1(LabelNames[i]));
        label->setFont(twips::uiFont(10));
        label->setGeometry(twips::rect(StatusGridLeft + int(i) * 1900, 120, 1850, 330));
        m_totalLabels[i] = label;
    }

    const struct {
        const char* name;
        const char* caption;
        int left;
        void (StatusListPanel::*handler)();
    } buttons[] = {
        {"cmdZanDsp", "未収集データ表示", StatusGridLeft, &StatusListPanel::cmdZanDsp_Click},
        {"cmdAllDsp", "全データ表示", StatusGridLeft + 2400, &StatusListPanel::cmdAllDsp_Click},
        {"cmdHozon1", "未収集データ保存", StatusGridLeft + StatusGridWidth - 4650, &StatusListPanel::cmdHozon1_Click},
        {"cmdHozon2", "全データ保存", StatusGridLeft + StatusGridWidth - 2250, &StatusListPanel::cmdHozon2_Click},
    };
    for (const auto& entry : buttons) {
        auto* button = new QPushButton(QString::fromUtf8(entry.caption), this);
        button->setObjectName(QString::fromLatin1(entry.name));
        button->setGeometry(twips::rect(entry.left, StatusGridTop + StatusGridHeight + 105, 2250, 465));
        connect(button, &QPushButton::clicked, this, entry.handler);
    }
    // cmdQr takes the free room between cmdAllDsp and cmdHozon1, and shows only with the uncollected view.
    new QrListButton(this, m_msgList2, twips::rect(StatusGridLeft + 4800, StatusGridTop + StatusGridHeight + 105, 1800, 465),
                     *m_uncollectedModel, m_dialogs, [this]() -> ListPrinter& { return m_exports->printer(); });
    // cmdWebPage and cmdWebShare take the same room while the full grid shows.
    m_web = new WebPageButtons(this, m_msgList, twips::rect(StatusGridLeft + 4710, StatusGridTop + StatusGridHeight + 105, 2010, 465),
                               m_state, m_dialogs);
}

void StatusListPanel::setPrinter(std::unique_ptr<ListPrinter> printer)
{
    m_exports->setPrinter(std::move(printer));
}

void StatusListPanel::setToday(std::function<QDate()> today)
{
    m_web->setToday(today);
    m_exports->setToday(std::move(today));
}

void StatusListPanel::showCaptions(int count)
{
    const QStringList captions = statuslist::captions(m_totals);
    for (int i = 0; i < count; ++i)
        m_totalLabels[size_t(i)]->setText(captions[i]);
}

void StatusListPanel::LayOutStatusGrid()
{
    m_msgList->layOut();
}

void StatusListPanel::LayOutUncollectedGrid()
{
    m_msgList2->layOut();
}

void StatusListPanel::cmdList_Click()
{
    if (!isHidden())
        return;
    StaleFlags& stale = m_state.stale;
    if (stale.StatusGridStale)
        clearGrid();
    m_host.HidePanels();
    show();
    letWindowRepaint();
    if (!stale.StatusListStale && !stale.StatusGridStale)
        return;

    fillCells();
    letWindowRepaint();
    m_state.TourText = statuslist::tourText();
    m_host.ShowTourMessage();
}

void StatusListPanel::msgList_Click(int row, int column)
{
    if (row < 1 || row > m_statusModel->rowCount() || column < 1 || column > statuslist::Columns)
        return;
    const statuslist::StatusRow& shown = m_statusModel->row(row);
    if (column > shown.volumeCount)
        return;

    // The click asks for the other state of the cell the user sees, applied to the file as it is now; a step of
    // its own, so that undo takes back this click and nothing else.
    const QString title = shown.title;
    const QString fileName = mainpage::volumeFileName(title);
    // A state the cell shows as green (other than 0) toggles as the main page toggles it, while the file still
    // holds what the cell shows.
    const qint16 now = m_state.store.readVolumeFile(fileName)[column];
    const qint16 wanted =
        (now == 1) == shown.isMissing(column) ? mainpage::toggledState(now) : qint16(shown.isMissing(column) ? 0 : 1);
    const ChangeHistory::Result result = m_state.history.perform(
        std::make_unique<VolumeToggle>(m_state.changes, title, column, wanted, ChangeOutcome::Screen::StatusList));
    const VolumeStates states = m_state.store.readVolumeFile(fileName);
    showRowStates(row, states);
    if (!result.error.isEmpty()) {
        m_dialogs.messageBox(result.error, Dialogs::OkOnly + Dialogs::Exclamation, QStringLiteral("保存できません"));
        return;
    }

    // The main page's states are replaced only when they belong to this very file; the states of another
    // title must never be left where the page would save them under its own title.
    if (fileName.toCaseFolded() == m_state.VolumeFilePath.toCaseFolded()) {
        m_state.VolumeStatus = states;
        emit mainPageVolumesChanged();
    }
    m_state.stale.UncollectedStale = true;
    m_state.PickedIndex = qint16(row);
}

void StatusListPanel::showRowStates(int row, const VolumeStates& states)
{
    // The totals count the pink cells, so they follow the cells rather than other values on disk.
    const statuslist::StatusRow shown = m_statusModel->row(row);
    for (int column = 1; column <= std::min(int(shown.volumeCount), int(statuslist::Columns)); ++column) {
        const bool missing = states[column] == 1;
        const bool wasMissing = shown.isMissing(column);
        if (missing == wasMissing)
            continue;
        m_statusModel->setMissing(row, column, missing);
        m_totals.missingVolumes += int(missing) - int(wasMissing);
    }
    showCaptions(VolumeCaptions);
}

void StatusListPanel::refreshCells()
{
    if (isHidden()) {
        cmdList_Click();
        return;
    }
    if (!m_state.stale.StatusListStale && !m_state.stale.StatusGridStale)
        return;
    fillCells();
    letWindowRepaint();
}

void StatusListPanel::clearGrid()
{
    m_statusModel->clear();
    LayOutStatusGrid();
    m_msgList2->hide();
    m_msgList->show();
}

const QList<statuslist::StatusRow>& StatusListPanel::currentRows()
{
    const StaleFlags& stale = m_state.stale;
    if (stale.StatusGridStale)
        clearGrid();
    if (stale.StatusListStale || stale.StatusGridStale)
        fillCells();
    return m_statusModel->rows();
}

void StatusListPanel::fillCells()
{
    StaleFlags& stale = m_state.stale;
    {
        const WaitCursor wait;
        statuslist::Fill fill = statuslist::fill(m_state.store, m_state.titles);
        m_statusModel->setRows(std::move(fill.rows));
        m_totals = fill.totals;
        showCaptions(int(m_totalLabels.size()));
    }
    stale.StatusListStale = false;
    stale.StatusGridStale = false;
    stale.UncollectedStale = true;
    // The uncollected view is derived from this grid; when it is the grid on show it must not keep showing
    // what the fill has just replaced.
    if (!m_msgList2->isHidden())
        rebuildUncollected();
}

void StatusListPanel::msgList_DblClick(int row)
{
    if (row < 1 || row > m_statusModel->rowCount() || !m_state.titles.isValidIndex(row))
        return;
    m_host.showMainPage(row);
    m_state.PickedIndex = qint16(row);
}

void StatusListPanel::rebuildUncollected()
{
    {
        const WaitCursor wait;
        m_uncollectedModel->rebuild(m_statusModel->rows());
        m_msgList2->show();
        letWindowRepaint();
    }
    m_state.stale.UncollectedStale = false;
}

void StatusListPanel::cmdZanDsp_Click()
{
    if (!m_msgList2->isHidden())
        return;
    const bool stale = m_state.stale.UncollectedStale;
    if (stale) {
        m_uncollectedModel->clear();
        LayOutUncollectedGrid();
    }
    m_msgList->hide();
    m_msgList2->hide();
    if (!stale) {
        m_msgList2->show();
        return;
    }
    rebuildUncollected();
}

void StatusListPanel::cmdAllDsp_Click()
{
    if (!m_msgList->isHidden())
        return;
    m_msgList2->hide();
    m_msgList->show();
}

void StatusListPanel::msgList2_DblClick(int row)
{
    if (row < 1 || row > m_uncollectedModel->rowCount())
        return;
    if (const int found = m_state.titles.indexOfTitle(m_uncollectedModel->rows().at(row - 1).title))
        m_state.PickedIndex = qint16(found);
    if (!m_state.titles.isValidIndex(m_state.PickedIndex))
        return;
    m_host.showMainPage(m_state.PickedIndex);
    letWindowRepaint();
}

void StatusListPanel::cmdHozon_Click()
{
    m_exports->cmdHozon_Click();
}

void StatusListPanel::cmdHozon1_Click()
{
    m_exports->cmdHozon1_Click();
}

void StatusListPanel::cmdHozon2_Click()
{
    m_exports->cmdHozon2_Click();
}
