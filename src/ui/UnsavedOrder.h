#pragma once

#include <QColor>

class QWidget;

// A button that saves an order the user has dragged into shape shows, by its face colour, that the order on
// screen is not yet the saved one. Every such button uses the same colour, so that the sign reads the same
// on every screen.
namespace unsavedorder {

inline const QColor Colour{255, 224, 192};

// Gives button that colour while unsaved holds, else the window's own button face.
void mark(QWidget* button, bool unsaved);

} // namespace unsavedorder
