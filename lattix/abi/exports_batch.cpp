// Exports of the array interface (lattixBatch.h).
#include "batch.h"
#include "guard.h"
#include "lattixBatch.h"

namespace {

template <typename Body>
int32_t batchGuarded(Body&& body) noexcept {
    return lattix::abi::guardedConcurrent<int32_t>(LTX_BATCH_INTERNAL_ERROR, body);
}

}  // namespace

extern "C" {

LATTIX_API int32_t LATTIX_CALL BatchEuler2Matrix(const TVec3D* e, TMat3D* g, int64_t n) {
    return batchGuarded([&] { return lattix::batch::euler2Matrix(e, g, n); });
}

LATTIX_API int32_t LATTIX_CALL BatchMatrix2Euler(const TMat3D* g, TVec3D* e, int64_t n) {
    return batchGuarded([&] { return lattix::batch::matrix2Euler(g, e, n); });
}

LATTIX_API int32_t LATTIX_CALL BatchEuler2Quat(const TVec3D* e, TQuat* q, int64_t n) {
    return batchGuarded([&] { return lattix::batch::euler2Quat(e, q, n); });
}

LATTIX_API int32_t LATTIX_CALL BatchQuat2Euler(const TQuat* q, TVec3D* e, int64_t n) {
    return batchGuarded([&] { return lattix::batch::quat2Euler(q, e, n); });
}

LATTIX_API int32_t LATTIX_CALL BatchMatrix2Quat(const TMat3D* g, TQuat* q, int64_t n) {
    return batchGuarded([&] { return lattix::batch::matrix2Quat(g, q, n); });
}

LATTIX_API int32_t LATTIX_CALL BatchQuat2Matrix(const TQuat* q, TMat3D* g, int64_t n) {
    return batchGuarded([&] { return lattix::batch::quat2Matrix(q, g, n); });
}

LATTIX_API int32_t LATTIX_CALL BatchMisorientation(const TCrySet* cs, const TMat3D* a,
                                                   const TMat3D* b, int64_t n, double* angle,
                                                   TVec3D* axis, int32_t threads) {
    return batchGuarded(
        [&] { return lattix::batch::misorientation(cs, a, b, n, angle, axis, threads); });
}

LATTIX_API int32_t LATTIX_CALL BatchMisorientationQuat(const TCrySet* cs, const TQuat* a,
                                                       const TQuat* b, int64_t n, double* angle,
                                                       TVec3D* axis, int32_t threads) {
    return batchGuarded(
        [&] { return lattix::batch::misorientationQuat(cs, a, b, n, angle, axis, threads); });
}

LATTIX_API int32_t LATTIX_CALL BatchGridMisorientation(const TCrySet* cs, const TMat3D* g,
                                                       int32_t width, int32_t height, double* right,
                                                       double* down, int32_t threads) {
    return batchGuarded([&] {
        return lattix::batch::gridMisorientation(cs, g, width, height, right, down, threads);
    });
}

LATTIX_API int32_t LATTIX_CALL BatchNormalizeEuler(const TCrySet* cs, TVec3D* e, int64_t n,
                                                   int32_t threads) {
    return batchGuarded([&] { return lattix::batch::normalizeEuler(cs, e, n, threads); });
}

}  // extern "C"
