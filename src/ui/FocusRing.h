#pragma once

#include <QObject>
#include <QPointer>

class QWidget;

// A ring drawn around whichever button or box of the program has the keyboard focus, clear on every background,
// so that a keyboard user always sees where the next key goes. The ring is a frame of its own laid over the
// focused control's edge: the controls keep their own look, and the ring takes no clicks and no focus. It follows
// the focus in every window of the application for as long as this object lives (create it once, after the
// application object).
class FocusRing final : public QObject {
    Q_OBJECT
public:
    FocusRing();
    ~FocusRing() override;

    // The control the ring is drawn around, or nullptr while none is.
    QWidget* target() const;
    // The ring itself (objectName "focusRing"), or nullptr before it is first needed.
    QWidget* ring() const;

    static constexpr int Width = 2;

private:
    void follow(QWidget* focused);

    QPointer<QWidget> m_ring;
};
