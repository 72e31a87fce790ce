// A process-wide pool of worker threads that splits an index range into equal contiguous parts.
#include "thread_pool.h"

#include <algorithm>
#include <atomic>
#include <chrono>
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

// How long a worker looks for the next job, and a caller for the end of its
// job, before sleeping: back-to-back calls then skip the wake-up (tens of
// microseconds), while an idle pool still sleeps.
constexpr auto kSpin = std::chrono::microseconds(50);

void cpuRelax() {
#if defined(__x86_64__) || defined(__i386__)
    __builtin_ia32_pause();
#elif defined(__aarch64__)
    asm volatile("yield");
#else
    std::this_thread::yield();
#endif
}

// Polls `done` for at most kSpin; true once it holds.
template <class Done>
bool spinUntil(Done done) {
    const auto start = std::chrono::steady_clock::now();
    for (;;) {
        for (int i = 0; i < 64; ++i) {
            if (done()) return true;
            cpuRelax();
        }
        if (std::chrono::steady_clock::now() - start > kSpin) return done();
    }
}

// Parts are claimed, not assigned: the caller and whichever workers are awake
// take the next unclaimed part until none is left, so a job finishes even if
// no worker ever wakes (after a fork, the child has none).
class WorkerPool {
  public:
    WorkerPool() {
        const int workers = hardwareThreads() - 1;
        try {
            m_workers.reserve(static_cast<std::size_t>(workers));
            for (int w = 0; w < workers; ++w)
                m_workers.emplace_back([this] { workerLoop(); });
        } catch (...) {
            // Fewer workers than hoped (or none): the calling thread does the rest.
        }
    }

    // Joined by the library's static destructor, so no worker outlives the
    // code it runs.
    ~WorkerPool() {
        {
            std::lock_guard<std::mutex> lock(m_mutex);
            m_stop.store(true, std::memory_order_relaxed);
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
        std::uint64_t generation = 0;
        bool sleepers = false;
        {
            std::lock_guard<std::mutex> lock(m_mutex);
            m_job = Job{n, parts, body, context};
            m_finished.store(0);
            generation = m_generation.load(std::memory_order_relaxed) + 1;
            m_claim.store((generation & 0xffffffffu) << 32, std::memory_order_relaxed);
            m_generation.store(generation, std::memory_order_release);
            sleepers = m_sleepers > 0;
        }
        // Spinning workers see the new generation without a notification.
        if (sleepers) m_wake.notify_all();
        runParts(generation, m_job);
        const auto finished = [&] { return m_finished.load() == parts; };
        if (!spinUntil(finished)) {
            std::unique_lock<std::mutex> lock(m_mutex);
            m_callerSleeps.store(true);
            m_done.wait(lock, finished);
            m_callerSleeps.store(false);
        }
        return true;
    }

  private:
    struct Job {
        std::int64_t n = 0;
        int parts = 0;
        RangeBody body = nullptr;
        void* context = nullptr;
    };

    // Claims parts of job `generation` until none is left; a late worker
    // holding an older generation claims nothing.
    void runParts(std::uint64_t generation, const Job& job) {
        for (;;) {
            std::uint64_t claim = m_claim.load(std::memory_order_acquire);
            int part = 0;
            do {
                if ((claim >> 32) != (generation & 0xffffffffu)) return;
                part = static_cast<int>(claim & 0xffffffffu);
                if (part >= job.parts) return;
            } while (!m_claim.compare_exchange_weak(claim, claim + 1, std::memory_order_acq_rel));
            job.body(job.context, partBegin(job.n, job.parts, part),
                     partBegin(job.n, job.parts, part + 1));
            // Sequentially consistent with the caller's flag: either the caller
            // sees the count or this sees the flag and wakes it.
            if (m_finished.fetch_add(1) + 1 == job.parts && m_callerSleeps.load()) {
                { std::lock_guard<std::mutex> lock(m_mutex); }
                m_done.notify_one();
            }
        }
    }

    void workerLoop() {
        std::uint64_t seen = 0;
        for (;;) {
            const auto news = [&] {
                return m_stop.load(std::memory_order_relaxed) ||
                       m_generation.load(std::memory_order_acquire) != seen;
            };
            spinUntil(news);
            std::unique_lock<std::mutex> lock(m_mutex);
            if (!news()) {
                ++m_sleepers;
                m_wake.wait(lock, news);
                --m_sleepers;
            }
            if (m_stop.load(std::memory_order_relaxed)) return;
            seen = m_generation.load(std::memory_order_relaxed);
            const Job job = m_job;
            lock.unlock();
            runParts(seen, job);
        }
    }

    std::mutex m_dispatch;  // one job at a time
    std::mutex m_mutex;     // guards m_job and m_sleepers; orders sleeping with waking
    std::condition_variable m_wake;
    std::condition_variable m_done;
    std::vector<std::thread> m_workers;
    std::atomic<std::uint64_t> m_claim{0};  // generation << 32 | next part
    std::atomic<std::uint64_t> m_generation{0};
    std::atomic<int> m_finished{0};
    std::atomic<bool> m_stop{false};
    std::atomic<bool> m_callerSleeps{false};  // the caller blocks on m_done
    Job m_job;
    int m_sleepers = 0;  // workers blocked on m_wake
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
