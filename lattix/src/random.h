// The library's pseudo-random generator; its seed is library-wide state that outlives calls.
#pragma once

#include <cstdint>

namespace lattix {

// Seed value at load, and the value a reset restores.
constexpr std::uint32_t kInitialRandomSeed = 1;

// A linear congruential step (seed * 134775813 + 1 mod 2^32); the result is
// uniform in [0, range) from the new seed's high bits.  range 0 gives 0.
std::uint32_t randomBelow(std::uint32_t range);
void resetRandomSeed();

}  // namespace lattix
