#include "ui/ButtonRow.h"

#include <QPainter>
#include <QStyleOptionButton>
#include <QStylePainter>

static constexpr int IconSize = 24;

IconButton::IconButton(const QIcon& icon, const QString& caption, QWidget* parent) : QPushButton(parent)
{
    setIcon(icon);
    setText(caption);
    setIconSize(QSize(IconSize, IconSize));
}

QSize IconButton::sizeHint() const
{
    const QFontMetrics fm(font());
    return QSize(std::max(IconSize, fm.horizontalAdvance(text())) + 12, IconSize + fm.height() + 12);
}

void IconButton::paintEvent(QPaintEvent*)
{
    QStylePainter painter(this);
    QStyleOptionButton option;
    initStyleOption(&option);
    painter.drawControl(QStyle::CE_PushButtonBevel, option);

    const QRect area = rect().adjusted(3, 4, -3, -3);
    const QIcon::Mode mode = isEnabled() ? QIcon::Normal : QIcon::Disabled;
    const QPixmap pixmap = icon().pixmap(iconSize(), devicePixelRatio(), mode);
    const int left = area.left() + (area.width() - iconSize().width()) / 2;
    painter.drawPixmap(left, area.top(), pixmap);

    const QRect textArea(area.left(), area.top() + iconSize().height() + 1, area.width(),
                         area.height() - iconSize().height() - 1);
    painter.drawItemText(textArea, Qt::AlignHCenter | Qt::AlignTop, palette(), isEnabled(), text(),
                         QPalette::ButtonText);
}

PictureCheckBox::PictureCheckBox(const QIcon& icon, QWidget* parent) : QCheckBox(parent)
{
    setIcon(icon);
    setIconSize(QSize(36, 36));
}

QSize PictureCheckBox::sizeHint() const
{
    return iconSize() + QSize(16, 16);
}

void PictureCheckBox::paintEvent(QPaintEvent*)
{
    QStylePainter painter(this);
    QStyleOptionButton option;
    option.initFrom(this);
    option.state |= isChecked() ? QStyle::State_Sunken | QStyle::State_On : QStyle::State_Raised | QStyle::State_Off;
    if (isDown())
        option.state |= QStyle::State_Sunken;
    painter.drawControl(QStyle::CE_PushButtonBevel, option);

    const QPixmap pixmap = icon().pixmap(iconSize(), devicePixelRatio(), isEnabled() ? QIcon::Normal : QIcon::Disabled,
                                         isChecked() ? QIcon::On : QIcon::Off);
    const QPoint at((width() - iconSize().width()) / 2, (height() - iconSize().height()) / 2);
    painter.drawPixmap(at, pixmap);
    if (hasFocus()) {
        QStyleOptionFocusRect focus;
        focus.initFrom(this);
        focus.rect = rect().adjusted(3, 3, -3, -3);
        painter.drawPrimitive(QStyle::PE_FrameFocusRect, focus);
    }
}

bool PictureCheckBox::hitButton(const QPoint& pos) const
{
    return rect().contains(pos);
}
