// Exports of the symmetry-set family: matrix, Euler and direction sets, Euler reduction.
#include "guard.h"
#include "lattixLib.h"
#include "symmetry.h"

extern "C" {

LATTIX_API int32_t LATTIX_CALL SymSetMat(const TCrySet* cs, int32_t specimenCode, const TMat3D* M,
                                         TMat3D* out) {
    return lattix::abi::guarded(0, [&] { return lattix::symSetMat(*cs, specimenCode, *M, out); });
}

LATTIX_API int32_t LATTIX_CALL SymSetEul(const TCrySet* cs, int32_t specimenCode, const TVec3D* e,
                                         TVec3D* out) {
    return lattix::abi::guarded(0, [&] { return lattix::symSetEul(*cs, specimenCode, *e, out); });
}

LATTIX_API int32_t LATTIX_CALL SymSetDir(const TCrySet* cs, uint8_t dropAntiparallel,
                                         const TVec3D* d, uint8_t* hasAntiparallel, TVec3D* out) {
    return lattix::abi::guarded(0, [&] {
        bool anti = false;
        const int n = lattix::symSetDir(*cs, dropAntiparallel != 0, *d, anti, out);
        *hasAntiparallel = anti ? 1 : 0;
        return n;
    });
}

LATTIX_API void LATTIX_CALL NormalizeEuler(const TCrySet* cs, TVec3D* e) {
    lattix::abi::guarded([&] { lattix::normalizeEuler(*cs, *e); });
}

LATTIX_API void LATTIX_CALL SpecialNormalizeEuler(const TCrySet* cs, const TVec3D* e, TVec3D* out,
                                                  int32_t* count) {
    lattix::abi::guarded([&] { lattix::specialNormalizeEuler(*cs, *e, out, *count); });
}

}  // extern "C"
