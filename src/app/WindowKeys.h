#pragma once

#include <QObject>

class QMainWindow;
class QWidget;

// The window-wide keys, each doing what a click does: PageUp and PageDown page the main page as the page scroll
// bar does; F1 is the help button; Escape and Ctrl+W close the panel open over the main page (the cover import
// panel, else the memo) through its own close button. Also keeps the fixed-size client area centred when the
// window is made larger than it.
class WindowKeys final : public QObject {
    Q_OBJECT
public:
    explicit WindowKeys(QMainWindow& window);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QWidget* find(const char* name) const;
    bool pageMainPage(QWidget* receiver, int key);
    void closeOverPanel();
    void centreClient();

    QMainWindow& m_window;
};
