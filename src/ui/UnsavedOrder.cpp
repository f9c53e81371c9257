#include "ui/UnsavedOrder.h"

#include <QPalette>
#include <QWidget>

namespace unsavedorder {

void mark(QWidget* button, bool unsaved)
{
    // A default palette gives the button the window's own face back.
    QPalette palette;
    if (unsaved) {
        palette = button->palette();
        palette.setColor(QPalette::Button, Colour);
    }
    button->setPalette(palette);
}

} // namespace unsavedorder
