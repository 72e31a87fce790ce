// A process-wide pool of worker threads that splits an index range into equal contiguous parts.
#include "thread_pool.h"

#include <algorithm>
#include <condition_variable>
#include <mutex>
#include <thread>
#include <vector>

namespace lattix {

namespace {

std::int64_t partBegin(std::int64_t n, int parts, int p) {
    const std::int64_t base = n / parts;
    const std::int64_t rest = n % parts;
    return p * base + std::min<std::int64_t>(p, rest);
}

class WorkerPool {
  public:
    WorkerPool() {
        const int workers = hardwareThreads() - 1;
        try {
            m_workers.reserve(static_cast<std::size_t>(workers));
            for (int w = 0; w < workers; ++w)
                m_workers.emplace_back([this, w] { workerLoop(w + 1); });
        } catch (...) {
            // Fewer workers than hoped (or none): the calling thread does the rest.
        }
    }

    // Joined by the library's static destructor, so no worker outlives the
    // code it runs.
    ~WorkerPool() {
        {
            std::lock_guard<std::mutex> lock(m_mutex);
            m_stop = true;
        }
        m_wake.notify_all();
        for (auto& t : m_workers)
            t.join();
    }

    WorkerPool(const WorkerPool&) = delete;
    WorkerPool& operator=(const WorkerPool&) = delete;

    int participants() const { return static_cast<int>(m_workers.size()) + 1; }

    // False when another caller's job holds the pool.
    bool tryRun(std::int64_t n, int parts, RangeBody body, void* context) {
        std::unique_lock<std::mutex> dispatch(m_dispatch, std::try_to_lock);
        if (!dispatch.owns_lock()) return false;
        {
            std::lock_guard<std::mutex> lock(m_mutex);
            m_n = n;
            m_parts = parts;
            m_body = body;
            m_context = context;
            m_pending = parts - 1;
            ++m_generation;
        }
        m_wake.notify_all();
        body(context, 0, partBegin(n, parts, 1));
        std::unique_lock<std::mutex> lock(m_mutex);
        m_done.wait(lock, [this] { return m_pending == 0; });
        return true;
    }

  private:
    void workerLoop(int index) {
        std::uint64_t seen = 0;
        for (;;) {
            std::unique_lock<std::mutex> lock(m_mutex);
            m_wake.wait(lock, [&] { return m_stop || m_generation != seen; });
            if (m_stop) return;
            seen = m_generation;
            if (index >= m_parts) continue;
            const std::int64_t n = m_n;
            const int parts = m_parts;
            RangeBody body = m_body;
            void* context = m_context;
            lock.unlock();
            body(context, partBegin(n, parts, index), partBegin(n, parts, index + 1));
            lock.lock();
            if (--m_pending == 0) m_done.notify_one();
        }
    }

    std::mutex m_dispatch;  // one job at a time
    std::mutex m_mutex;     // guards the job fields below
    std::condition_variable m_wake;
    std::condition_variable m_done;
    std::vector<std::thread> m_workers;
    std::uint64_t m_generation = 0;
    std::int64_t m_n = 0;
    int m_parts = 0;
    int m_pending = 0;
    RangeBody m_body = nullptr;
    void* m_context = nullptr;
    bool m_stop = false;
};

WorkerPool* sharedPool() {
    try {
        static WorkerPool pool;
        return &pool;
    } catch (...) {
        return nullptr;
    }
}

}  // namespace

int hardwareThreads() {
    const unsigned count = std::thread::hardware_concurrency();
    return count == 0 ? 1 : static_cast<int>(std::min(count, 256u));
}

void parallelFor(std::int64_t n, int threads, RangeBody body, void* context,
                 std::int64_t minimumPart) {
    if (n <= 0) return;
    int parts = threads <= 0 ? hardwareThreads() : std::min(threads, hardwareThreads());
    parts = static_cast<int>(std::min<std::int64_t>(
        parts, std::max<std::int64_t>(1, n / std::max<std::int64_t>(1, minimumPart))));
    if (parts > 1) {
        WorkerPool* pool = sharedPool();
        if (pool != nullptr) {
            parts = std::min(parts, pool->participants());
            if (parts > 1 && pool->tryRun(n, parts, body, context)) return;
        }
    }
    body(context, 0, n);
}

}  // namespace lattix
