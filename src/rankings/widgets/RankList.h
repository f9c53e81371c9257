#pragma once

#include <QListView>
#include <QTimer>

// lstRank: a single-selection list that the user rearranges by dragging an entry with the mouse, made of plain
// mouse events rather than a drag-and-drop session. A press on an entry (any button) selects it; while the button
// is held the selection follows the pointer, the list scrolling when the pointer is above or below it, and a
// line marks where the dragged entry would land; the release leaves the entry under the pointer selected. Below
// the last entry counts as the last entry. Each press and each release is reported after the selection has
// followed it. Ctrl+Up and Ctrl+Down move the selected entry one place by the same press and release.
class RankList final : public QListView {
    Q_OBJECT
public:
    explicit RankList(QWidget* parent = nullptr);

    // The selected row, -1 when none.
    int selectedRow() const;
    void selectRow(int row);

signals:
    void mouseDown();
    void mouseUp();

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    // The row a held pointer at pos (viewport coordinates) points at; pressed: only a row actually under it.
    int rowAt(QPoint pos, bool pressed) const;
    void followPointer();

    Qt::MouseButton m_held = Qt::NoButton;
    int m_pressedRow = -1;
    QPoint m_pointer;
    QTimer m_scrollTimer;
};
