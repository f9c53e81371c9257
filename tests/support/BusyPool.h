#pragma once

#include <QSemaphore>
#include <QThreadPool>

// While it lives, every thread of the global pool is held by a task that waits: work handed to the pool stays
// queued, and runs only where the code waiting for it runs it itself.
class BusyPool final {
public:
    BusyPool() : m_threads(pool().maxThreadCount())
    {
        for (int t = 0; t < m_threads; ++t)
            pool().start([this] {
                m_started.release();
                m_release.acquire();
            });
        m_started.acquire(m_threads);
    }
    ~BusyPool()
    {
        m_release.release(m_threads);
        pool().waitForDone();
    }
    BusyPool(const BusyPool&) = delete;
    BusyPool& operator=(const BusyPool&) = delete;

private:
    static QThreadPool& pool() { return *QThreadPool::globalInstance(); }

    const int m_threads;
    QSemaphore m_started;
    QSemaphore m_release;
};
