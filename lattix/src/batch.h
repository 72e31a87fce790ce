// Array forms of the orientation conversions, misorientation and Euler reduction, with the status
// codes of the array exports.
#pragma once

#include <cstdint>

#include "lattixBatch.h"

namespace lattix::batch {

// Each returns an LTX_BATCH_* status and writes nothing unless it is
// LTX_BATCH_OK.  threads as in lattixBatch.h.
std::int32_t euler2Matrix(const TVec3D* e, TMat3D* g, std::int64_t n);
std::int32_t matrix2Euler(const TMat3D* g, TVec3D* e, std::int64_t n);
std::int32_t euler2Quat(const TVec3D* e, TQuat* q, std::int64_t n);
std::int32_t quat2Euler(const TQuat* q, TVec3D* e, std::int64_t n);
std::int32_t matrix2Quat(const TMat3D* g, TQuat* q, std::int64_t n);
std::int32_t quat2Matrix(const TQuat* q, TMat3D* g, std::int64_t n);
std::int32_t misorientation(const TCrySet* cs, const TMat3D* a, const TMat3D* b, std::int64_t n,
                            double* angle, TVec3D* axis, std::int32_t threads);
std::int32_t misorientationQuat(const TCrySet* cs, const TQuat* a, const TQuat* b, std::int64_t n,
                                double* angle, TVec3D* axis, std::int32_t threads);
std::int32_t gridMisorientation(const TCrySet* cs, const TMat3D* g, std::int32_t width,
                                std::int32_t height, double* right, double* down,
                                std::int32_t threads);
std::int32_t normalizeEuler(const TCrySet* cs, TVec3D* e, std::int64_t n, std::int32_t threads);

}  // namespace lattix::batch
