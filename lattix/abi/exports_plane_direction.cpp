// Exports of plane-direction pairs and small indices.
#include "guard.h"
#include "index_text.h"
#include "lattixLib.h"
#include "plane_direction.h"

extern "C" {

LATTIX_API TLtxBool LATTIX_CALL HKLUVW2Matrix(const TCrySet* cs, const TIndexText hkl,
                                              const TIndexText uvw, TMat3D* out) {
    return lattix::abi::guarded<TLtxBool>(0, [&] {
        return lattix::hkluvw2Matrix(*cs, lattix::indexTextView(hkl), lattix::indexTextView(uvw),
                                     *out)
                   ? 1
                   : 0;
    });
}

LATTIX_API TLtxBool LATTIX_CALL ValidateTrulyHKLUVW(const TCrySet* cs, const TIndexText hkl,
                                                    const TIndexText uvw) {
    return lattix::abi::guarded<TLtxBool>(0, [&] {
        TMat3D scratch{};
        return lattix::hkluvw2Matrix(*cs, lattix::indexTextView(hkl), lattix::indexTextView(uvw),
                                     scratch)
                   ? 1
                   : 0;
    });
}

// The caller's text buffer holds at least 32 bytes; longer index texts are cut.
LATTIX_API void LATTIX_CALL Axis2Indices(const TCrySet* cs, const TVec3D* v, uint8_t four,
                                         const char* limits, char* text, double* angle) {
    lattix::abi::guarded([&] {
        lattix::axis2Indices(*cs, *v, four != 0, limits, text, LATTIX_AXIS_TEXT_SIZE, *angle);
    });
}

}  // extern "C"
