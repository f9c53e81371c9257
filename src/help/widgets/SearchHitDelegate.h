#pragma once

#include <QStyledItemDelegate>

// Draws a search result as two parts: the page title in bold on its own line, and below it the words around
// the match as the page writes them. The item's text stays "title\nsnippet" for anything that reads it.
class SearchHitDelegate final : public QStyledItemDelegate {
public:
    static constexpr int TitleRole = Qt::UserRole + 1;
    static constexpr int SnippetRole = Qt::UserRole + 2;

    using QStyledItemDelegate::QStyledItemDelegate;

    void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override;
    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override;

private:
    static constexpr int Margin = 4;
    static QFont titleFont(const QStyleOptionViewItem& option);
};
