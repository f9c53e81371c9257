#include "ui/VolumeGrid.h"

#include "ui/Twips.h"

#include <QMouseEvent>

VolumeLabel::VolumeLabel(QWidget* parent) : QLabel(parent)
{
    setAlignment(Qt::AlignCenter);
    setFrameShape(QFrame::Box);
    setAutoFillBackground(true);
    setFont(twips::volumeFont());
    setCursor(Qt::PointingHandCursor);
    setFocusPolicy(Qt::StrongFocus);
}

void VolumeLabel::keyPressEvent(QKeyEvent* event)
{
    switch (event->key()) {
    case Qt::Key_Space:
    case Qt::Key_Return:
    case Qt::Key_Enter:
        emit clicked();
        return;
    case Qt::Key_Left:
        emit moveFocus(-1);
        return;
    case Qt::Key_Right:
        emit moveFocus(1);
        return;
    case Qt::Key_Up:
        emit moveFocus(-10);
        return;
    case Qt::Key_Down:
        emit moveFocus(10);
        return;
    default:
        QLabel::keyPressEvent(event);
    }
}

void VolumeLabel::focusInEvent(QFocusEvent* event)
{
    setLineWidth(3);
    QLabel::focusInEvent(event);
}

void VolumeLabel::focusOutEvent(QFocusEvent* event)
{
    setLineWidth(1);
    QLabel::focusOutEvent(event);
}

void VolumeLabel::setBackground(const QColor& color)
{
    QPalette p = palette();
    p.setColor(QPalette::Window, color);
    // Black marks a state the program never writes; keep its number readable.
    p.setColor(QPalette::WindowText, color.lightness() < 96 ? Qt::white : Qt::black);
    setPalette(p);
}

void VolumeLabel::mousePressEvent(QMouseEvent* event)
{
    m_pressed = event->button() == Qt::LeftButton;
    event->accept();
}

void VolumeLabel::mouseReleaseEvent(QMouseEvent* event)
{
    const bool click = m_pressed && event->button() == Qt::LeftButton && rect().contains(event->position().toPoint());
    m_pressed = false;
    event->accept();
    if (click)
        emit clicked();
}

// Left edges of the ten columns; the rows below repeat them.
static constexpr std::array<int, 10> ColumnLeft = {150, 884, 1618, 2352, 3086, 3820, 4554, 5288, 6022, 6750};
static constexpr int RowTop = 300;
static constexpr int RowPitch = 600;
static constexpr int LabelWidth = 720;
static constexpr int LabelHeight = 540;

VolumeGrid::VolumeGrid(QWidget* parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("VolumeGrid"));
    for (int k = 1; k <= volumefile::Volumes; ++k) {
        auto* label = new VolumeLabel(this);
        label->setObjectName(QStringLiteral("lblKan_%1").arg(k));
        const int row = (k - 1) / 10;
        const int column = (k - 1) % 10;
        label->setGeometry(twips::rect(ColumnLeft[column], RowTop + row * RowPitch, LabelWidth, LabelHeight));
        label->hide();
        connect(label, &VolumeLabel::clicked, this, [this, k] { emit volumeClicked(k); });
        connect(label, &VolumeLabel::moveFocus, this, [this, k](int step) {
            const int target = k + step;
            if (target >= 1 && target <= volumefile::Volumes && m_labels[target]->isVisible())
                m_labels[target]->setFocus(Qt::OtherFocusReason);
        });
        m_labels[k] = label;
    }
    setFixedSize(twips::toPixels(ColumnLeft.back() + LabelWidth + 150),
                 twips::toPixels(RowTop + 4 * RowPitch + LabelHeight + 150));
}

void VolumeGrid::apply(const std::array<mainpage::VolumeCell, 51>& cells)
{
    for (int k = 1; k <= volumefile::Volumes; ++k) {
        VolumeLabel* label = m_labels[k];
        if (!cells[k].visible) {
            label->hide();
            continue;
        }
        label->setText(cells[k].caption);
        label->setBackground(cells[k].color);
        label->show();
    }
}

void VolumeGrid::hideAll()
{
    for (int k = 1; k <= volumefile::Volumes; ++k)
        m_labels[k]->hide();
}
