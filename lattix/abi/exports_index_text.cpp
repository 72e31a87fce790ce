// Exports of the index-text family.
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
    lattix::miller2Bravais(dir != 0, *in, *out);
}

LATTIX_API void LATTIX_CALL Bravais2Miller(uint8_t dir, const TIndices* in, TIndices* out) {
    lattix::bravais2Miller(dir != 0, *in, *out);
}

LATTIX_API TLtxBool LATTIX_CALL ValidateHKLUVW(const TIndexText hkl, const TIndexText uvw) {
    return lattix::abi::guarded<TLtxBool>(0, [&]() -> TLtxBool {
        TIndices plane{}, direction{};
        // An unreadable text names no plane or direction, so it cannot be a
        // valid pair; zero indices would otherwise pass as "contained".
        if (!lattix::parseIndices(lattix::indexTextView(hkl), false, plane)) return 0;
        if (!lattix::parseIndices(lattix::indexTextView(uvw), true, direction)) return 0;
        __extension__ using Wide = __int128;  // three int32 products cannot overflow it
        const Wide sum = Wide{plane.v[0]} * direction.v[0] + Wide{plane.v[1]} * direction.v[1] +
                         Wide{plane.v[2]} * direction.v[2];
        return sum == 0 ? 1 : 0;
    });
}

}  // extern "C"
