// White-box tests of the worker pool: every index exactly once, whatever the
// split, the pacing of the calls, or a second caller finding the pool busy.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <chrono>
#include <cstdint>
#include <random>
#include <thread>
#include <vector>

#include "thread_pool.h"

namespace {

// Each index is written by one thread only; a second visit shows as a 2.
void mark(void* context, std::int64_t begin, std::int64_t end) noexcept {
    auto& marks = *static_cast<std::vector<std::uint8_t>*>(context);
    for (std::int64_t i = begin; i < end; ++i)
        ++marks[static_cast<std::size_t>(i)];
}

// Calls with random sizes, thread counts and pauses (none, inside the
// workers' spin, long enough for them to sleep); the number of bad calls.
int pacedCalls(unsigned seed) {
    std::mt19937 pick(seed);
    std::vector<std::uint8_t> marks;
    int bad = 0;
    for (int call = 0; call < 150; ++call) {
        const std::int64_t n = std::array<std::int64_t, 4>{1, 4097, 9000, 50000}[pick() % 4];
        const int threads = std::array<int, 4>{0, 1, 2, 7}[pick() % 4];
        const std::int64_t minimumPart = std::array<std::int64_t, 3>{1, 64, 4096}[pick() % 3];
        const int pauseUs = std::array<int, 4>{0, 10, 300, 3000}[pick() % 4];
        std::this_thread::sleep_for(std::chrono::microseconds(pauseUs));
        marks.assign(static_cast<std::size_t>(n), 0);
        lattix::parallelFor(n, threads, mark, &marks, minimumPart);
        if (!std::all_of(marks.begin(), marks.end(), [](std::uint8_t m) { return m == 1; })) ++bad;
    }
    return bad;
}

TEST(ThreadPool, PacedCallsCoverEveryIndexOnce) {
    EXPECT_EQ(pacedCalls(1), 0);
}

TEST(ThreadPool, TwoCallersAtOnceBothCoverEveryIndexOnce) {
    int second = -1;
    std::thread other([&] { second = pacedCalls(2); });
    const int first = pacedCalls(3);
    other.join();
    EXPECT_EQ(first, 0);
    EXPECT_EQ(second, 0);
}

}  // namespace
