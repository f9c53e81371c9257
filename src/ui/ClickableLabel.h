#pragma once

#include <QLabel>

// A label (text or picture) that answers a click like a button does: clicked() on the release of the left button
// over the label, after a press on it. Given a focus policy, it takes the keyboard focus like a button too: it
// shows a frame while it has the focus, and Enter or Space is a click.
class ClickableLabel : public QLabel {
    Q_OBJECT
public:
    explicit ClickableLabel(QWidget* parent = nullptr);

signals:
    void clicked();

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    bool m_pressed = false;
};
