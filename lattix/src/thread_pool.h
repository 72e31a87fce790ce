// A process-wide pool of worker threads that splits an index range into equal contiguous parts.
#pragma once

#include <cstdint>

namespace lattix {

// Works on [begin, end) of a job; must not throw.
using RangeBody = void (*)(void* context, std::int64_t begin, std::int64_t end) noexcept;

// The number of hardware threads (at least 1).
int hardwareThreads();

// Runs body over [0, n) split into at most `threads` equal parts (0 = every
// hardware thread), the calling thread taking the first part.  Each index is
// handled exactly once whatever the split.  Short ranges, a pool that could
// not start, or a pool busy with another caller's job run on the calling
// thread alone.  The workers start with the first call that wants them and
// live until the library is unloaded.  A part is never shorter than
// minimumPart indices.
void parallelFor(std::int64_t n, int threads, RangeBody body, void* context,
                 std::int64_t minimumPart = 4096);

}  // namespace lattix
