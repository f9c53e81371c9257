#pragma once

#include <QCoreApplication>
#include <QCursor>
#include <QGuiApplication>

// The hourglass pointer for the lifetime of the object, restored however the scope is left.
class WaitCursor final {
public:
    WaitCursor() { QGuiApplication::setOverrideCursor(Qt::WaitCursor); }
    ~WaitCursor() { QGuiApplication::restoreOverrideCursor(); }
    WaitCursor(const WaitCursor&) = delete;
    WaitCursor& operator=(const WaitCursor&) = delete;
};

// Repaints without taking user input, so that no second command starts in the middle of a long one.
inline void letWindowRepaint()
{
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}
