#pragma once

#include <QRect>
#include <QSize>

// Where the help window opens: as large as its pages want (preferred), but never larger than the screen's
// available area (the part not taken by panels and docks), and beside the window it belongs to so that both
// stay in view. Frames drawn by the window manager are allowed for by frame (the size of the decorations).
namespace helpplacement {

// Narrower than this, the pages are not worth reading beside the owner: the window then covers part of it.
constexpr int MinimumBesideWidth = 640;

// available: the screen's available area. owner: the frame of the window the help belongs to, or a null rect.
// Returns the help window's client geometry.
QRect place(const QRect& available, const QRect& owner, const QSize& preferred, const QSize& frame);

} // namespace helpplacement
