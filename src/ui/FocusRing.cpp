#include "ui/FocusRing.h"

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QAbstractSpinBox>
#include <QApplication>
#include <QComboBox>
#include <QEvent>
#include <QLineEdit>
#include <QPainter>
#include <QPlainTextEdit>
#include <QTextEdit>

namespace {

const QColor RingColor(0, 95, 204);

// The control a ring goes around for a focused widget (an editable combo box holds the focus itself, not its
// text field); nullptr for widgets that show their focus themselves or are no button or box.
QWidget* ringTarget(QWidget* focused)
{
    if (!focused || focused->isWindow() || !focused->parentWidget() || focused->window()->windowType() == Qt::Popup)
        return nullptr;
    if (qobject_cast<QAbstractButton*>(focused) || qobject_cast<QLineEdit*>(focused) ||
        qobject_cast<QComboBox*>(focused) || qobject_cast<QAbstractSpinBox*>(focused) ||
        qobject_cast<QPlainTextEdit*>(focused) || qobject_cast<QTextEdit*>(focused) ||
        qobject_cast<QAbstractItemView*>(focused))
        return focused;
    return nullptr;
}

// The frame, a sibling laid over the target's edge and kept there while the target moves or changes size.
class RingFrame final : public QWidget {
public:
    RingFrame()
    {
        setObjectName(QStringLiteral("focusRing"));
        setAttribute(Qt::WA_TransparentForMouseEvents);
        setAttribute(Qt::WA_NoSystemBackground);
        setFocusPolicy(Qt::NoFocus);
        hide();
    }

    QWidget* target() const { return m_target; }

    void follow(QWidget* target)
    {
        if (m_target)
            m_target->removeEventFilter(this);
        m_target = target;
        if (m_target)
            m_target->installEventFilter(this);
        place();
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (watched == m_target) {
            switch (event->type()) {
            case QEvent::Move:
            case QEvent::Resize:
            case QEvent::Show:
            case QEvent::Hide:
            case QEvent::ParentChange:
                place();
                break;
            default:
                break;
            }
        }
        return QWidget::eventFilter(watched, event);
    }

    void paintEvent(QPaintEvent*) override
    {
        QPainter painter(this);
        const QRect all = rect();
        painter.setClipRegion(QRegion(all).subtracted(
            QRegion(all.adjusted(FocusRing::Width, FocusRing::Width, -FocusRing::Width, -FocusRing::Width))));
        painter.fillRect(all, RingColor);
    }

private:
    void place()
    {
        QWidget* parent = m_target ? m_target->parentWidget() : nullptr;
        if (!parent || !m_target->isVisible()) {
            hide();
            return;
        }
        if (parentWidget() != parent)
            setParent(parent);
        const int w = FocusRing::Width;
        setGeometry(m_target->geometry().adjusted(-w, -w, w, w));
        show();
        raise();
    }

    QPointer<QWidget> m_target;
};

} // namespace

FocusRing::FocusRing()
{
    connect(qApp, &QApplication::focusChanged, this, [this](QWidget*, QWidget* now) { follow(now); });
    follow(QApplication::focusWidget());
}

FocusRing::~FocusRing()
{
    delete m_ring.data();
}

QWidget* FocusRing::target() const
{
    return m_ring ? static_cast<RingFrame*>(m_ring.data())->target() : nullptr;
}

QWidget* FocusRing::ring() const
{
    return m_ring;
}

void FocusRing::follow(QWidget* focused)
{
    QWidget* target = ringTarget(focused);
    if (!target && !m_ring)
        return;
    // The ring lives inside the focused control's window and goes with it when that window is destroyed.
    if (!m_ring)
        m_ring = new RingFrame;
    static_cast<RingFrame*>(m_ring.data())->follow(target);
}
