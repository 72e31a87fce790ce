// Exports of the index-text family.
#include <cstdint>

#include "guard.h"
#include "index_text.h"
#include "lattixLib.h"

extern "C" {

LATTIX_API TLtxBool LATTIX_CALL ValidateIndices(uint8_t dir, const char* text, TIndices* out) {
    return lattix::abi::guarded<TLtxBool>(0, [&]() -> TLtxBool {
        return lattix::parseIndices(lattix::textView(text), dir != 0, *out) ? 1 : 0;
    });
}

LATTIX_API void LATTIX_CALL Miller2Bravais(uint8_t dir, const TIndices* in, TIndices* out) {
    lattix::abi::guarded([&] { lattix::miller2Bravais(dir != 0, *in, *out); });
}

LATTIX_API void LATTIX_CALL Bravais2Miller(uint8_t dir, const TIndices* in, TIndices* out) {
    lattix::abi::guarded([&] { lattix::bravais2Miller(dir != 0, *in, *out); });
}

LATTIX_API TLtxBool LATTIX_CALL ValidateHKLUVW(const TIndexText hkl, const TIndexText uvw) {
    return lattix::abi::guarded<TLtxBool>(0, [&]() -> TLtxBool {
        TIndices plane{}, direction{};
        // An unreadable text names no plane or direction, so it cannot be a
        // valid pair; zero indices would otherwise pass as "contained".
        if (!lattix::parseIndices(lattix::indexTextView(hkl), false, plane)) return 0;
        if (!lattix::parseIndices(lattix::indexTextView(uvw), true, direction)) return 0;
        // Each int32 product is exact in 64 bits; the sum of three stays below
        // 2^64 in size, so adding modulo 2^64 tells an exact zero.
        auto product = [](std::int32_t x, std::int32_t y) {
            return static_cast<std::uint64_t>(std::int64_t{x} * std::int64_t{y});
        };
        const std::uint64_t sum = product(plane.v[0], direction.v[0]) +
                                  product(plane.v[1], direction.v[1]) +
                                  product(plane.v[2], direction.v[2]);
        return sum == 0 ? 1 : 0;
    });
}

}  // extern "C"
