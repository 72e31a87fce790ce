// Exports of texture components, fibres, f factors and Schmid factors.
#include "guard.h"
#include "lattixLib.h"
#include "schmid_ffactor.h"
#include "texture.h"

extern "C" {

LATTIX_API void LATTIX_CALL TexCompEulerInit(TTexCompSet* tc) {
    lattix::abi::guarded([&] { lattix::texCompEulerInit(*tc); });
}

LATTIX_API TLtxBool LATTIX_CALL TexCompHKLUVWInit(TTexCompSet* tc) {
    return lattix::abi::guarded<TLtxBool>(0,
                                          [&] { return lattix::texCompHKLUVWInit(*tc) ? 1 : 0; });
}

LATTIX_API TLtxBool LATTIX_CALL TexCompComplete(const TTexCompSet* tc, const TVec3D* orientation,
                                                double* deviation) {
    return lattix::abi::guarded<TLtxBool>(
        0, [&] { return lattix::texCompComplete(*tc, *orientation, *deviation) ? 1 : 0; });
}

LATTIX_API void LATTIX_CALL TexCompFiberInit(TTexCompSet* tc) {
    lattix::abi::guarded([&] { lattix::texCompFiberInit(*tc); });
}

LATTIX_API TLtxBool LATTIX_CALL TexCompFiber(const TTexCompSet* tc, const TVec3D* orientation,
                                             double* deviation) {
    return lattix::abi::guarded<TLtxBool>(
        0, [&] { return lattix::texCompFiber(*tc, *orientation, *deviation) ? 1 : 0; });
}

LATTIX_API void LATTIX_CALL fFactorInit(TFFactorSet* ff) {
    lattix::abi::guarded([&] { lattix::fFactorInit(*ff); });
}

LATTIX_API void LATTIX_CALL fFactor(const TFFactorSet* ff, const TVec3D* orientation,
                                    TVec3D* factors) {
    lattix::abi::guarded([&] { *factors = lattix::fFactor(*ff, *orientation); });
}

LATTIX_API void LATTIX_CALL SchmidFactorInit(TSchmidSet* ss) {
    lattix::abi::guarded([&] { lattix::schmidFactorInit(*ss); });
}

LATTIX_API double LATTIX_CALL SchmidFactor(const TSchmidSet* ss, const TVec3D* orientation,
                                           TSchmidTrace* trace) {
    return lattix::abi::guarded(0.0,
                                [&] { return lattix::schmidFactor(*ss, *orientation, *trace); });
}

}  // extern "C"
