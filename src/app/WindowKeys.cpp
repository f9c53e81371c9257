#include "app/WindowKeys.h"

#include <QAbstractButton>
#include <QApplication>
#include <QKeyEvent>
#include <QMainWindow>
#include <QScrollBar>
#include <QShortcut>
#include <algorithm>

WindowKeys::WindowKeys(QMainWindow& window) : QObject(&window), m_window(window)
{
    // Sees the window's events after its layout has placed the client area.
    window.installEventFilter(this);

    auto* help = new QShortcut(QKeySequence(Qt::Key_F1), &window);
    connect(help, &QShortcut::activated, this, [this] {
        if (auto* button = qobject_cast<QAbstractButton*>(find("cmdHelp")))
            button->click();
    });
    for (const QKeySequence& keys : {QKeySequence(Qt::Key_Escape), QKeySequence(Qt::CTRL | Qt::Key_W)}) {
        auto* close = new QShortcut(keys, &window);
        connect(close, &QShortcut::activated, this, &WindowKeys::closeOverPanel);
    }
    // The page keys must reach the page before the focused box, which would otherwise take them to change its
    // own (saved) value.
    qApp->installEventFilter(this);
}

QWidget* WindowKeys::find(const char* name) const
{
    return m_window.findChild<QWidget*>(QString::fromLatin1(name));
}

bool WindowKeys::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == &m_window && (event->type() == QEvent::Resize || event->type() == QEvent::LayoutRequest)) {
        centreClient();
        return false;
    }
    if (event->type() == QEvent::KeyPress && watched->isWidgetType()) {
        const auto* key = static_cast<QKeyEvent*>(event);
        if ((key->key() == Qt::Key_PageUp || key->key() == Qt::Key_PageDown) &&
            (key->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier &&
            pageMainPage(static_cast<QWidget*>(watched), key->key()))
            return true;
    }
    return QObject::eventFilter(watched, event);
}

bool WindowKeys::pageMainPage(QWidget* receiver, int key)
{
    if (receiver->window() != &m_window)
        return false;
    QWidget* page = find("fraMain");
    auto* scrollBar = qobject_cast<QScrollBar*>(find("hsbData"));
    if (!page || !scrollBar || !page->isVisible())
        return false;
    // Inside the panels over the page the keys keep their meaning (the memo text scrolls).
    for (const char* name : {"fraMemo", "fraPicget"}) {
        QWidget* panel = find(name);
        if (panel && (panel == receiver || panel->isAncestorOf(receiver)))
            return false;
    }
    scrollBar->triggerAction(key == Qt::Key_PageUp ? QAbstractSlider::SliderPageStepSub
                                                   : QAbstractSlider::SliderPageStepAdd);
    return true;
}

void WindowKeys::centreClient()
{
    // The layout puts the fixed-size client area in the top left corner of whatever room the window has.
    QWidget* client = m_window.centralWidget();
    if (!client)
        return;
    const QRect room = m_window.rect();
    client->move(std::max(0, (room.width() - client->width()) / 2),
                 std::max(0, (room.height() - client->height()) / 2));
}

void WindowKeys::closeOverPanel()
{
    const struct {
        const char* panel;
        const char* closeButton;
    } panels[] = {{"fraPicget", "cmdYame"}, {"fraMemo", "cmdKan"}};
    // The panel holding the focus first, then the one drawn on top.
    QWidget* focus = QApplication::focusWidget();
    const auto* chosen = std::find_if(std::begin(panels), std::end(panels), [&](const auto& entry) {
        QWidget* panel = find(entry.panel);
        return panel && panel->isVisible() && focus && panel->isAncestorOf(focus);
    });
    if (chosen == std::end(panels))
        chosen = std::find_if(std::begin(panels), std::end(panels), [&](const auto& entry) {
            QWidget* panel = find(entry.panel);
            return panel && panel->isVisible();
        });
    if (chosen == std::end(panels))
        return;
    if (auto* button = qobject_cast<QAbstractButton*>(find(chosen->closeButton)))
        button->click();
}
