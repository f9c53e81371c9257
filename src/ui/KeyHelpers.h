#pragma once

#include <QAbstractItemView>
#include <optional>

class QKeyEvent;

// Small keyboard additions shared by the screens: each is installed once on a widget and leaves its mouse
// behaviour as it is.
namespace keys {

// Enter (either key) on view does what a double-click on its current cell does: the view's doubleClicked() is
// emitted for that cell, so that both reach the same handler. When titleColumn is given, Enter acts on the
// current row's cell in that column instead. Tab leaves the view rather than walking its cells.
void enterDoubleClicks(QAbstractItemView* view, std::optional<int> titleColumn = std::nullopt);

// Escape and Ctrl+W close window.
void closeWithKeys(QWidget* window);

// One keyboard move of the selected entry of a list rearranged by dragging. A drag puts the dragged entry in
// front of the entry it is dropped on, so a move up drags the entry onto the one above it, and a move down drags
// the entry below onto the selected one; afterwards the moved entry is selected again.
struct DragStep {
    int from = -1;
    int target = -1;
    int selectAfter = -1;
};
// Ctrl+Up and Ctrl+Down on a list of count entries whose selected row is selected; nullopt for any other key,
// and for a move past either end.
std::optional<DragStep> dragStep(const QKeyEvent& event, int selected, int count);
// Whether the key is Ctrl+Up or Ctrl+Down (taken by a rearrangeable list even where it cannot move).
bool isDragKey(const QKeyEvent& event);

} // namespace keys
