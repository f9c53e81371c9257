#include "lists/widgets/ListGrid.h"

#include "ui/KeyHelpers.h"
#include "ui/Twips.h"

#include <QHeaderView>
#include <QKeyEvent>
#include <QPainter>
#include <QStyledItemDelegate>

namespace {

constexpr int TitleColumnTwips = 2875;
constexpr int VolumeColumnTwips = 320;

const QString FixedStyle = QStringLiteral("QHeaderView::section { background-color: rgb(255, 255, 240); color: black;"
                                          " border: none; border-right: 1px solid #a0a0a0;"
                                          " border-bottom: 1px solid #a0a0a0; padding: 0px 2px; }");
const QString CornerStyle = QStringLiteral("QTableCornerButton::section { background-color: rgb(255, 255, 240);"
                                           " border: none; border-right: 1px solid #a0a0a0;"
                                           " border-bottom: 1px solid #a0a0a0; }");

// Two pixels of black inside the cell, clear on either volume colour and on white.
void drawCurrentFrame(QPainter* painter, const QRect& cell)
{
    painter->save();
    painter->setPen(QPen(Qt::black, 2));
    painter->setBrush(Qt::NoBrush);
    painter->drawRect(cell.adjusted(1, 1, -1, -1));
    painter->restore();
}

// A volume cell: its background and its number centred, the font narrowed when a number of three or more digits
// would not fit the 320-twip column, so that no digit is cut off.
class VolumeCellDelegate final : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override
    {
        const QVariant background = index.data(Qt::BackgroundRole);
        if (background.canConvert<QBrush>())
            painter->fillRect(option.rect, background.value<QBrush>());
        // The current cell of the grid with the focus: the cell Space toggles.
        if (option.state & QStyle::State_HasFocus)
            drawCurrentFrame(painter, option.rect);
        const QString text = index.data(Qt::DisplayRole).toString();
        if (text.isEmpty())
            return;
        QFont font = option.font;
        const int room = option.rect.width() - 2;
        const int width = QFontMetrics(font).horizontalAdvance(text);
        if (width > room && room > 0)
            font.setPointSizeF(qMax(5.0, font.pointSizeF() * room / width));
        painter->save();
        painter->setFont(font);
        painter->setPen(Qt::black);
        painter->drawText(option.rect, Qt::AlignCenter, text);
        painter->restore();
    }
};

} // namespace

ListGrid::ListGrid(const QString& objectName, QWidget* parent) : QTableView(parent)
{
    setObjectName(objectName);
    setSelectionMode(QAbstractItemView::NoSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setWordWrap(false);
    setTextElideMode(Qt::ElideNone);
    setCornerButtonEnabled(false);
    setItemDelegate(new VolumeCellDelegate(this));
    setStyleSheet(CornerStyle);
    for (QHeaderView* header : {horizontalHeader(), verticalHeader()}) {
        header->setStyleSheet(FixedStyle);
        header->setSectionsClickable(false);
        header->setHighlightSections(false);
        header->setSectionResizeMode(QHeaderView::Fixed);
        header->setMinimumSectionSize(1);
    }

    connect(this, &QAbstractItemView::clicked, this,
            [this](const QModelIndex& index) { emit cellClicked(index.row() + 1, index.column() + 1); });
    connect(this, &QAbstractItemView::doubleClicked, this,
            [this](const QModelIndex& index) { emit rowDoubleClicked(index.row() + 1); });
    connect(verticalHeader(), &QHeaderView::sectionDoubleClicked, this, [this](int section) {
        if (section >= 0)
            emit rowDoubleClicked(section + 1);
    });
    keys::enterDoubleClicks(this);
    layOut();
}

void ListGrid::keyPressEvent(QKeyEvent* event)
{
    const QModelIndex current = currentIndex();
    if (event->key() == Qt::Key_Space && event->modifiers() == Qt::NoModifier && current.isValid()) {
        emit clicked(current);
        return;
    }
    QTableView::keyPressEvent(event);
}

void ListGrid::layOut()
{
    setFont(twips::uiFont(10));
    const int rowHeight = fontMetrics().height() + 4;
    QHeaderView* columns = horizontalHeader();
    columns->setFont(font());
    columns->setDefaultSectionSize(twips::toPixels(VolumeColumnTwips));
    columns->setFixedHeight(rowHeight);
    columns->setDefaultAlignment(Qt::AlignCenter);
    QHeaderView* titles = verticalHeader();
    titles->setFont(font());
    titles->setDefaultSectionSize(rowHeight);
    titles->setFixedWidth(twips::toPixels(TitleColumnTwips));
    titles->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
}
