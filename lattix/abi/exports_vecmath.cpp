// Exports of the vector and matrix family: thin wrappers over vecmath.
#include "guard.h"
#include "lattixLib.h"
#include "vecmath.h"

extern "C" {

LATTIX_API void LATTIX_CALL MatMul3x1(const TMat3D* M, const TVec3D* v, TVec3D* out) {
    lattix::abi::guarded([&] { *out = lattix::matMul3x1(*M, *v); });
}

LATTIX_API void LATTIX_CALL MatMul3x3(const TMat3D* A, const TMat3D* B, TMat3D* out) {
    lattix::abi::guarded([&] { *out = lattix::matMul3x3(*A, *B); });
}

LATTIX_API double LATTIX_CALL Dot(const TVec3D* a, const TVec3D* b) {
    return lattix::abi::guarded(0.0, [&]() -> double { return lattix::dot(*a, *b); });
}

LATTIX_API double LATTIX_CALL Det3x3(const TMat3D* M) {
    return lattix::abi::guarded(0.0, [&]() -> double { return lattix::det3x3(*M); });
}

LATTIX_API TLtxBool LATTIX_CALL UnityVector(TVec3D* v) {
    return lattix::abi::guarded(TLtxBool{0},
                                [&]() -> TLtxBool { return lattix::unityVector(*v) ? 1 : 0; });
}

LATTIX_API void LATTIX_CALL OppositVector(TVec3D* v) {
    lattix::abi::guarded([&] { *v = lattix::scale(-1.0, *v); });
}

LATTIX_API void LATTIX_CALL MulVector(double s, const TVec3D* v, TVec3D* out) {
    lattix::abi::guarded([&] { *out = lattix::scale(s, *v); });
}

LATTIX_API void LATTIX_CALL AddVector(const TVec3D* a, const TVec3D* b, TVec3D* out) {
    lattix::abi::guarded([&] { *out = lattix::add(*a, *b); });
}

LATTIX_API void LATTIX_CALL SubVector(const TVec3D* a, const TVec3D* b, TVec3D* out) {
    lattix::abi::guarded([&] { *out = lattix::subtract(*a, *b); });
}

LATTIX_API TLtxBool LATTIX_CALL Cross(const TVec3D* a, const TVec3D* b, TVec3D* out,
                                      uint8_t normalise) {
    return lattix::abi::guarded(TLtxBool{0}, [&]() -> TLtxBool {
        *out = lattix::cross(*a, *b);
        if (normalise == 0) return 1;
        return lattix::unityVector(*out) ? 1 : 0;
    });
}

LATTIX_API void LATTIX_CALL Transpose(const TMat3D* src, TMat3D* dst) {
    lattix::abi::guarded([&] { *dst = lattix::transpose(*src); });
}

LATTIX_API TLtxBool LATTIX_CALL InverseMatrix(const TMat3D* src, TMat3D* dst) {
    return lattix::abi::guarded(
        TLtxBool{0}, [&]() -> TLtxBool { return lattix::inverseMatrix(*src, *dst) ? 1 : 0; });
}

LATTIX_API void LATTIX_CALL ConeVector(const TVec3D* axis, const TVec3D* v, TVec3D* out, double w) {
    lattix::abi::guarded([&] { *out = lattix::coneVector(*axis, *v, w); });
}

LATTIX_API void LATTIX_CALL RotateUnityMatrix(uint8_t k, double w, TMat3D* out) {
    lattix::abi::guarded([&] { lattix::rotateUnityMatrix(k, w, *out); });
}

LATTIX_API void LATTIX_CALL Mirror(const TVec3D* n, const TVec3D* v, TVec3D* out) {
    lattix::abi::guarded([&] { *out = lattix::mirror(*n, *v); });
}

LATTIX_API TLtxBool LATTIX_CALL OrthogonalMatrix(TMat3D* M) {
    return lattix::abi::guarded(TLtxBool{0},
                                [&]() -> TLtxBool { return lattix::orthogonalMatrix(*M) ? 1 : 0; });
}

LATTIX_API double LATTIX_CALL Modulus(double a, double b) {
    return lattix::abi::guarded(0.0, [&]() -> double { return lattix::modulus(a, b); });
}

}  // extern "C"
