#pragma once

#include <QThreadPool>

#include <utility>

// Frees value on a worker thread. A table or index of tens of thousands of strings takes the window's thread
// several milliseconds to free, and nothing waits on it. The worker only frees, so it never holds a pooled
// thread that other work waits for; the value must share nothing that is not safe to release from another
// thread (implicitly shared Qt values are).
template <typename T> void releaseLater(T&& value)
{
    QThreadPool::globalInstance()->start([held = std::forward<T>(value)]() mutable { held = std::decay_t<T>(); });
}
