#pragma once

#include <condition_variable>
#include <deque>
#include <mutex>
#include <optional>

// Hands batches of work from one thread to another. The producer puts batches and then closes the queue; the
// consumer takes them in order, and take() gives nothing only once the queue is closed and empty.
template <typename Batch> class BatchQueue final {
public:
    void put(Batch batch)
    {
        {
            const std::lock_guard lock(m_mutex);
            m_batches.push_back(std::move(batch));
        }
        m_ready.notify_one();
    }

    void close()
    {
        {
            const std::lock_guard lock(m_mutex);
            m_closed = true;
        }
        m_ready.notify_all();
    }

    std::optional<Batch> take()
    {
        std::unique_lock lock(m_mutex);
        m_ready.wait(lock, [this] { return !m_batches.empty() || m_closed; });
        if (m_batches.empty())
            return std::nullopt;
        Batch batch = std::move(m_batches.front());
        m_batches.pop_front();
        return batch;
    }

private:
    std::mutex m_mutex;
    std::condition_variable m_ready;
    std::deque<Batch> m_batches;
    bool m_closed = false;
};
