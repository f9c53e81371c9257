#include "help/widgets/SearchHitDelegate.h"

#include <QApplication>
#include <QPainter>

QFont SearchHitDelegate::titleFont(const QStyleOptionViewItem& option)
{
    QFont font = option.font;
    font.setBold(true);
    return font;
}

void SearchHitDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const
{
    QStyleOptionViewItem background = option;
    initStyleOption(&background, index);
    background.text.clear();
    const QWidget* widget = option.widget;
    QStyle* style = widget ? widget->style() : QApplication::style();
    style->drawControl(QStyle::CE_ItemViewItem, &background, painter, widget);

    const bool selected = option.state & QStyle::State_Selected;
    const QRect area = option.rect.adjusted(Margin, Margin, -Margin, -Margin);
    const QFont bold = titleFont(option);
    const int titleHeight = QFontMetrics(bold).height();
    painter->save();
    painter->setPen(option.palette.color(selected ? QPalette::HighlightedText : QPalette::Text));
    painter->setFont(bold);
    painter->drawText(QRect(area.topLeft(), QSize(area.width(), titleHeight)), Qt::AlignLeft | Qt::AlignTop,
                      QFontMetrics(bold).elidedText(index.data(TitleRole).toString(), Qt::ElideRight, area.width()));
    painter->setFont(option.font);
    if (!selected)
        painter->setPen(option.palette.color(QPalette::PlaceholderText));
    painter->drawText(area.adjusted(0, titleHeight + 2, 0, 0), Qt::AlignLeft | Qt::AlignTop | Qt::TextWordWrap,
                      index.data(SnippetRole).toString());
    painter->restore();
}

QSize SearchHitDelegate::sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const
{
    const int width = option.widget ? option.widget->width() - 2 * Margin - 24 : 240;
    const QRect snippet =
        QFontMetrics(option.font)
            .boundingRect(QRect(0, 0, qMax(width, 80), 10000), Qt::TextWordWrap, index.data(SnippetRole).toString());
    return QSize(width, QFontMetrics(titleFont(option)).height() + 2 + snippet.height() + 2 * Margin);
}
