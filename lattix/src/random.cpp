// The library's pseudo-random generator; its seed is library-wide state that outlives calls.
#include "random.h"

namespace lattix {

namespace {
std::uint32_t seed = kInitialRandomSeed;
}

std::uint32_t randomBelow(std::uint32_t range) {
    seed = seed * 134775813u + 1u;  // unsigned: wraps modulo 2^32
    return static_cast<std::uint32_t>((std::uint64_t{seed} * range) >> 32);
}

void resetRandomSeed() {
    seed = kInitialRandomSeed;
}

}  // namespace lattix
