// Exports of misorientation and twin tests.
#include "guard.h"
#include "lattixLib.h"
#include "misorientation.h"

extern "C" {

LATTIX_API TLtxBool LATTIX_CALL AxisAngleMat(const TCrySet* cs, const TMat3D* A, const TMat3D* B,
                                             TVec3D* axis, double* angle) {
    return lattix::abi::guarded<TLtxBool>(
        0, [&] { return lattix::axisAngleMat(*cs, *A, *B, *axis, *angle) ? 1 : 0; });
}

LATTIX_API TLtxBool LATTIX_CALL AxisAngleEul(const TCrySet* cs, const TVec3D* A, const TVec3D* B,
                                             TVec3D* axis, double* angle) {
    return lattix::abi::guarded<TLtxBool>(
        0, [&] { return lattix::axisAngleEul(*cs, *A, *B, *axis, *angle) ? 1 : 0; });
}

LATTIX_API TLtxBool LATTIX_CALL AxisAngleMatAll(const TCrySet* cs, const TMat3D* A, const TMat3D* B,
                                                int32_t* count, TVec3D* axes, double* angles) {
    return lattix::abi::guarded<TLtxBool>(
        0, [&] { return lattix::axisAngleMatAll(*cs, *A, *B, *count, axes, angles) ? 1 : 0; });
}

LATTIX_API TLtxBool LATTIX_CALL AxisAngleEulAll(const TCrySet* cs, const TVec3D* A, const TVec3D* B,
                                                int32_t* count, TVec3D* axes, double* angles) {
    return lattix::abi::guarded<TLtxBool>(
        0, [&] { return lattix::axisAngleEulAll(*cs, *A, *B, *count, axes, angles) ? 1 : 0; });
}

LATTIX_API void LATTIX_CALL ConvertCommonAxisToCS1(const void* /*unused1*/, const void* /*unused2*/,
                                                   const TVec3D* euler, const TVec3D* axis,
                                                   TVec3D* out) {
    lattix::abi::guarded([&] { *out = lattix::convertCommonAxisToCS1(*euler, *axis); });
}

LATTIX_API void LATTIX_CALL SGBTwinInit(TTwinSet* twin) {
    lattix::abi::guarded([&] { lattix::sgbTwinInit(*twin); });
}

LATTIX_API TLtxBool LATTIX_CALL SGBTwin(const TTwinSet* twin, double* deviation, const TVec3D* axis,
                                        const double* angle) {
    return lattix::abi::guarded<TLtxBool>(
        0, [&] { return lattix::sgbTwin(*twin, *deviation, *axis, *angle) ? 1 : 0; });
}

}  // extern "C"
