#include "help/HelpPlacement.h"

#include <algorithm>

namespace helpplacement {

QRect place(const QRect& available, const QRect& owner, const QSize& preferred, const QSize& frame)
{
    // The frame (client plus decorations) must fit inside the available area.
    const QSize room = available.size() - frame;
    QSize client(std::clamp(preferred.width(), 1, std::max(1, room.width())),
                 std::clamp(preferred.height(), 1, std::max(1, room.height())));

    int left = available.left() + (available.width() - client.width() - frame.width()) / 2;
    int top = available.top() + (available.height() - client.height() - frame.height()) / 2;
    if (owner.isValid()) {
        // Beside the owner: right of it when the room there is enough to read in, narrowed to that room if
        // need be; else left of it; else against the side with more room, over part of the owner. The top edge
        // follows the owner's as far as the height allows.
        const int rightRoom = available.right() - owner.right() - frame.width();
        const int leftRoom = owner.left() - available.left() - frame.width();
        const int readable = std::min(client.width(), MinimumBesideWidth);
        if (rightRoom >= readable) {
            client.setWidth(std::min(client.width(), rightRoom));
            left = owner.right() + 1;
        } else if (leftRoom >= readable) {
            client.setWidth(std::min(client.width(), leftRoom));
            left = owner.left() - client.width() - frame.width();
        } else {
            left = rightRoom >= leftRoom ? available.right() + 1 - client.width() - frame.width() : available.left();
        }
        top = owner.top();
    }
    const int outerWidth = client.width() + frame.width();
    const int outerHeight = client.height() + frame.height();
    left = std::clamp(left, available.left(), std::max(available.left(), available.right() + 1 - outerWidth));
    top = std::clamp(top, available.top(), std::max(available.top(), available.bottom() + 1 - outerHeight));
    // The frame's top-left corner is at (left, top); the title bar is on top, equal borders on the other sides.
    const int side = frame.width() / 2;
    return QRect(QPoint(left + side, top + frame.height() - side), client);
}

} // namespace helpplacement
