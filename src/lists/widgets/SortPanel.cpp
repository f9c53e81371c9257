#include "lists/widgets/SortPanel.h"

#include "lists/RowRecord.h"
#include "lists/SortModel.h"
#include "lists/widgets/SortDirection.h"
#include "ui/Dialogs.h"
#include "ui/KeyHelpers.h"
#include "ui/MainOrder.h"
#include "ui/ScreenHost.h"
#include "ui/Twips.h"
#include "ui/WaitCursor.h"
#include "ui/logic/AppState.h"
#include "ui/logic/TourTexts.h"

#include <QApplication>
#include <QHeaderView>
#include <QPainter>
#include <QPushButton>
#include <QStyledItemDelegate>
#include <QTableView>

namespace {

constexpr int GridLeft = 150;
constexpr int GridTop = 225;
constexpr int GridWidth = 11415;
constexpr int GridHeight = 6795;
constexpr int ButtonTop = GridTop + GridHeight + 75;
constexpr int ButtonHeight = 420;

const QString HeaderStyle = QStringLiteral("QHeaderView::section { background-color: rgb(255, 255, 240); color: black;"
                                           " border: none; border-right: 1px solid #a0a0a0;"
                                           " border-bottom: 1px solid #a0a0a0; padding: 0px 2px; }");

// A cell of msgIchiran: its text in full, the font narrowed where the text would not fit the column (a date in a
// 1,150-twip column with a font wider than the one the widths were made for), so that no text is cut short.
class FittingDelegate final : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override
    {
        QStyleOptionViewItem cell = option;
        initStyleOption(&cell, index);
        const QString text = cell.text;
        cell.text.clear();
        const QWidget* view = option.widget;
        QStyle* style = view ? view->style() : QApplication::style();
        style->drawControl(QStyle::CE_ItemViewItem, &cell, painter, view);
        if (text.isEmpty())
            return;
        const QRect room = cell.rect.adjusted(2, 0, -2, 0);
        QFont font = cell.font;
        const int width = QFontMetrics(font).horizontalAdvance(text);
        if (width > room.width() && room.width() > 0)
            font.setPointSizeF(std::max(5.0, font.pointSizeF() * room.width() / width));
        painter->save();
        painter->setFont(font);
        painter->setPen(cell.palette.color(QPalette::Text));
        painter->drawText(room, int(cell.displayAlignment), text);
        painter->restore();
    }
};

} // namespace

SortPanel::SortPanel(AppState& state, Dialogs& dialogs, ScreenHost& host, QWidget* parent)
    : QFrame(parent), m_state(state), m_dialogs(dialogs), m_host(host), m_model(new SortListModel(this))
{
    setObjectName(QStringLiteral("fraIchiran"));
    setFont(twips::uiFont());
    buildControls();
    LayOutSortGrid();
    hide();
}

SortPanel::~SortPanel() = default;

void SortPanel::buildControls()
{
    m_msgIchiran = new QTableView(this);
    m_msgIchiran->setObjectName(QStringLiteral("msgIchiran"));
    m_msgIchiran->setModel(m_model);
    m_msgIchiran->setGeometry(twips::rect(GridLeft, GridTop, GridWidth, GridHeight));
    // The current cell is the only mark; no range is ever selected.
    m_msgIchiran->setSelectionMode(QAbstractItemView::NoSelection);
    m_msgIchiran->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_msgIchiran->setWordWrap(false);
    m_msgIchiran->setCornerButtonEnabled(false);
    m_msgIchiran->setItemDelegate(new FittingDelegate(m_msgIchiran));
    m_msgIchiran->verticalHeader()->hide();
    QHeaderView* header = m_msgIchiran->horizontalHeader();
    header->setStyleSheet(HeaderStyle);
    header->setSectionsClickable(true);
    header->setHighlightSections(false);
    header->setSectionResizeMode(QHeaderView::Fixed);
    header->setMinimumSectionSize(1);
    header->setStretchLastSection(false);

    connect(m_msgIchiran, &QAbstractItemView::clicked, this,
            [this](const QModelIndex& index) { msgIchiran_Click(index.row() + 1, index.column()); });
    connect(header, &QHeaderView::sectionClicked, this, [this](int section) { msgIchiran_Click(0, section); });
    connect(m_msgIchiran, &QAbstractItemView::doubleClicked, this,
            [this](const QModelIndex& index) { msgIchiran_DblClick(index.row() + 1, index.column()); });
    // Enter opens the current row's title whichever cell of the row is current.
    keys::enterDoubleClicks(m_msgIchiran, sortlist::TitleColumn);
    showSortDirection(*header, *m_model);

    const struct {
        const char* name;
        const char* caption;
        int left;
        int width;
        void (SortPanel::*handler)();
    } buttons[] = {
        {"cmdSort1", "題名", GridLeft, 1200, &SortPanel::cmdSort1_Click},
        {"cmdSortCng1", "メインに反映", GridLeft + GridWidth - 2250, 2250, &SortPanel::cmdSortCng1_Click},
    };
    for (const auto& entry : buttons) {
        auto* button = new QPushButton(QString::fromUtf8(entry.caption), this);
        button->setObjectName(QString::fromLatin1(entry.name));
        button->setGeometry(twips::rect(entry.left, ButtonTop, entry.width, ButtonHeight));
        connect(button, &QPushButton::clicked, this, entry.handler);
    }
}

void SortPanel::LayOutSortGrid()
{
    m_msgIchiran->setFont(twips::uiFont(10));
    m_model->setRowCount(m_state.titles.count());
    const int rowHeight = m_msgIchiran->fontMetrics().height() + 4;
    m_msgIchiran->verticalHeader()->setDefaultSectionSize(rowHeight);
    QHeaderView* header = m_msgIchiran->horizontalHeader();
    header->setFont(m_msgIchiran->font());
    header->setFixedHeight(rowHeight);
    header->setDefaultAlignment(Qt::AlignCenter);
    for (int c = 0; c < sortlist::Columns; ++c)
        m_msgIchiran->setColumnWidth(c, twips::toPixels(sortlist::Look[size_t(c)].widthTwips));
}

void SortPanel::cmdIchiran_Click()
{
    if (!isHidden())
        return;
    LayOutSortGrid();
    m_host.HidePanels();
    show();
    letWindowRepaint();
    if (!m_state.stale.SortListStale)
        return;

    {
        const WaitCursor wait;
        m_model->setRows(sortlist::fill(m_state.titles));
        letWindowRepaint();
    }
    m_state.stale.SortListStale = false;

    m_state.TourText = tour::sortScreen();
    m_host.ShowTourMessage();
}

void SortPanel::cmdSort1_Click()
{
    m_msgIchiran->setCurrentIndex(m_model->index(std::max(m_msgIchiran->currentIndex().row(), 0), 0));
    if (!m_TitleSortDescending) {
        m_model->sortRows(sortlist::TitleColumn, SortListModel::Order::StringAscending);
        m_TitleSortDescending = true;
    } else {
        m_model->sortRows(sortlist::TitleColumn, SortListModel::Order::StringDescending);
        m_TitleSortDescending = false;
    }
}

void SortPanel::msgIchiran_Click(int row, int column)
{
    if (column <= sortlist::TitleColumn || column >= sortlist::Columns || row < 0 || row > m_model->rowCount())
        return;
    bool& descending = m_ColumnSortDescending[size_t(column)];
    using Order = SortListModel::Order;
    if (column == sortlist::VolumeColumn)
        m_model->sortRows(column, descending ? Order::NumericAscending : Order::NumericDescending);
    else
        m_model->sortRows(column, descending ? Order::StringAscending : Order::StringDescending);
    descending = !descending;
}

void SortPanel::msgIchiran_DblClick(int row, int column)
{
    if (column != sortlist::TitleColumn || row < 1 || row > m_model->rowCount())
        return;
    const sortlist::SortRow& shown = m_model->rows().at(row - 1);
    if (const int found = listrow::recordOf(m_state.titles, shown.cells[sortlist::TitleColumn], shown.record))
        m_state.PickedIndex = qint16(found);
    if (!m_state.titles.isValidIndex(m_state.PickedIndex))
        return;
    m_host.showMainPage(m_state.PickedIndex);
    letWindowRepaint();
}

void SortPanel::cmdSortCng1_Click()
{
    const auto reorder = [this] { return sortlist::reorder(m_model->rows(), m_state.titles); };
    const auto written = [this](const recordorder::Result& order, const QString& problem) {
        m_model->setRecords(order.rowRecords);
        // Reloading the table marks this screen stale, yet the grid now shows the table row for row, unless rows
        // found no record or records no row stood for.
        m_state.stale.SortListStale = !order.oneToOne || !problem.isEmpty();
    };
    if (!mainorder::apply(m_state, m_dialogs, m_host,
                          QStringLiteral("この順番はメインに反映できません。反映すると、読み込めなかったコミックが"
                                         "データから消えてしまいます。"),
                          QStringLiteral("現在表示中の順番でメインのデータも並び替えますか？"),
                          QStringLiteral("並び順のメインへの反映"), backup::Reason::BeforeSortOrder, reorder, written))
        return;
    emit mainPageIndexRequested(m_state.titles.count());
    emit mainPageIndexRequested(1);
    mainorder::reportDone(m_state, m_dialogs);
}
