#pragma once

#include <QListView>

// lstBicho: a list box whose selection follows the mouse while a button is held, like the list boxes the
// display-order drag was made for. The press and the release are reported after the list has moved its
// selection, so that a handler reads the entry under the mouse as the selected one. Ctrl+Up and Ctrl+Down move
// the selected entry one place by the same press and release.
class OrderListView final : public QListView {
    Q_OBJECT
public:
    explicit OrderListView(QWidget* parent = nullptr);

    // Whether the last press landed on an entry (a press on the empty space below the last entry selects
    // nothing new).
    bool pressedOnEntry() const { return m_pressedOnEntry; }

signals:
    void mouseDown();
    void mouseUp();

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    bool m_pressedOnEntry = false;
};
