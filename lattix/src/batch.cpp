// Array forms of the orientation conversions, misorientation and Euler reduction, with the status
// codes of the array exports.
#include "batch.h"

#include <cmath>
#include <initializer_list>
#include <limits>

#include "batch_misorientation.h"
#include "orientation.h"
#include "quaternion.h"
#include "symmetry.h"
#include "thread_pool.h"

namespace lattix::batch {

namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

std::int32_t checkArrays(std::int64_t n, std::initializer_list<const void*> pointers) {
    for (const void* p : pointers) {
        if (p == nullptr) return LTX_BATCH_NULL_POINTER;
    }
    return n < 0 ? LTX_BATCH_BAD_COUNT : LTX_BATCH_OK;
}

std::int32_t checkCrySet(const TCrySet* cs, std::int32_t threads) {
    if (cs == nullptr) return LTX_BATCH_NULL_POINTER;
    if (threads < 0) return LTX_BATCH_BAD_COUNT;
    if (cs->SymOpCount < 1 || cs->SymOpCount > 96) return LTX_BATCH_BAD_CRYSTAL_SET;
    return LTX_BATCH_OK;
}

TVec3D nanTriple() {
    return TVec3D{kNaN, kNaN, kNaN};
}

// Matrix2Euler without the message box: a failure gives NaN angles.
TVec3D eulerOrNaN(const TMat3D& g) {
    TVec3D e{};
    return lattix::matrix2Euler(g, e) ? e : nanTriple();
}

bool finiteTriple(const TVec3D& e) {
    return std::isfinite(e.x) && std::isfinite(e.y) && std::isfinite(e.z);
}

struct PairJob {
    const MisorientationPlan* plan;
    const TMat3D* a;
    const TMat3D* b;
    const TQuat* qa;
    const TQuat* qb;
    double* angle;
    TVec3D* axis;
};

void pairRange(void* context, std::int64_t begin, std::int64_t end) noexcept {
    const auto& job = *static_cast<const PairJob*>(context);
    for (std::int64_t i = begin; i < end; ++i) {
        TMat3D qa, qb;
        if (job.qa != nullptr) {
            qa = lattix::quat2Matrix(job.qa[i]);
            qb = lattix::quat2Matrix(job.qb[i]);
        }
        const TMat3D& a = job.qa != nullptr ? qa : job.a[i];
        const TMat3D& b = job.qa != nullptr ? qb : job.b[i];
        if (job.axis != nullptr)
            misorientationAxisAngle(*job.plan, a, b, job.angle[i], job.axis[i]);
        else
            job.angle[i] = misorientationAngle(*job.plan, a, b);
    }
}

// Angle-only matrices: the loop the maps spend their time in, kept free of
// the quaternion and axis branches.
void angleRange(void* context, std::int64_t begin, std::int64_t end) noexcept {
    const auto& job = *static_cast<const PairJob*>(context);
    for (std::int64_t i = begin; i < end; ++i)
        job.angle[i] = misorientationAngle(*job.plan, job.a[i], job.b[i]);
}

struct GridJob {
    const MisorientationPlan* plan;
    const TMat3D* g;
    std::int64_t width;
    std::int64_t height;
    double* right;
    double* down;
};

void gridRange(void* context, std::int64_t begin, std::int64_t end) noexcept {
    const auto& job = *static_cast<const GridJob*>(context);
    std::int64_t row = begin / job.width;
    std::int64_t column = begin % job.width;
    for (std::int64_t i = begin; i < end; ++i) {
        job.right[i] =
            column + 1 < job.width ? misorientationAngle(*job.plan, job.g[i], job.g[i + 1]) : kNaN;
        job.down[i] = row + 1 < job.height
                          ? misorientationAngle(*job.plan, job.g[i], job.g[i + job.width])
                          : kNaN;
        if (++column == job.width) {
            column = 0;
            ++row;
        }
    }
}

struct NormalizeJob {
    const TCrySet* cs;
    TVec3D* e;
};

void normalizeRange(void* context, std::int64_t begin, std::int64_t end) noexcept {
    const auto& job = *static_cast<const NormalizeJob*>(context);
    for (std::int64_t i = begin; i < end; ++i) {
        if (finiteTriple(job.e[i]))
            lattix::normalizeEuler(*job.cs, job.e[i]);
        else
            job.e[i] = nanTriple();
    }
}

std::int32_t runPairs(const TCrySet* cs, PairJob job, std::int64_t n, std::int32_t threads) {
    MisorientationPlan plan;
    planMisorientation(*cs, plan);
    job.plan = &plan;
    const bool plain = job.qa == nullptr && job.axis == nullptr;
    parallelFor(n, threads, plain ? angleRange : pairRange, &job);
    return LTX_BATCH_OK;
}

}  // namespace

std::int32_t euler2Matrix(const TVec3D* e, TMat3D* g, std::int64_t n) {
    if (const auto status = checkArrays(n, {e, g})) return status;
    for (std::int64_t i = 0; i < n; ++i)
        g[i] = lattix::euler2Matrix(e[i]);
    return LTX_BATCH_OK;
}

std::int32_t matrix2Euler(const TMat3D* g, TVec3D* e, std::int64_t n) {
    if (const auto status = checkArrays(n, {g, e})) return status;
    for (std::int64_t i = 0; i < n; ++i)
        e[i] = eulerOrNaN(g[i]);
    return LTX_BATCH_OK;
}

std::int32_t euler2Quat(const TVec3D* e, TQuat* q, std::int64_t n) {
    if (const auto status = checkArrays(n, {e, q})) return status;
    for (std::int64_t i = 0; i < n; ++i)
        q[i] = lattix::euler2Quat(e[i]);
    return LTX_BATCH_OK;
}

std::int32_t quat2Euler(const TQuat* q, TVec3D* e, std::int64_t n) {
    if (const auto status = checkArrays(n, {q, e})) return status;
    for (std::int64_t i = 0; i < n; ++i)
        e[i] = eulerOrNaN(lattix::quat2Matrix(q[i]));
    return LTX_BATCH_OK;
}

std::int32_t matrix2Quat(const TMat3D* g, TQuat* q, std::int64_t n) {
    if (const auto status = checkArrays(n, {g, q})) return status;
    for (std::int64_t i = 0; i < n; ++i)
        q[i] = lattix::matrix2Quat(g[i]);
    return LTX_BATCH_OK;
}

std::int32_t quat2Matrix(const TQuat* q, TMat3D* g, std::int64_t n) {
    if (const auto status = checkArrays(n, {q, g})) return status;
    for (std::int64_t i = 0; i < n; ++i)
        g[i] = lattix::quat2Matrix(q[i]);
    return LTX_BATCH_OK;
}

std::int32_t misorientation(const TCrySet* cs, const TMat3D* a, const TMat3D* b, std::int64_t n,
                            double* angle, TVec3D* axis, std::int32_t threads) {
    if (const auto status = checkCrySet(cs, threads)) return status;
    if (const auto status = checkArrays(n, {a, b, angle})) return status;
    return runPairs(cs, PairJob{nullptr, a, b, nullptr, nullptr, angle, axis}, n, threads);
}

std::int32_t misorientationQuat(const TCrySet* cs, const TQuat* a, const TQuat* b, std::int64_t n,
                                double* angle, TVec3D* axis, std::int32_t threads) {
    if (const auto status = checkCrySet(cs, threads)) return status;
    if (const auto status = checkArrays(n, {a, b, angle})) return status;
    return runPairs(cs, PairJob{nullptr, nullptr, nullptr, a, b, angle, axis}, n, threads);
}

std::int32_t gridMisorientation(const TCrySet* cs, const TMat3D* g, std::int32_t width,
                                std::int32_t height, double* right, double* down,
                                std::int32_t threads) {
    if (const auto status = checkCrySet(cs, threads)) return status;
    if (const auto status = checkArrays(0, {g, right, down})) return status;
    if (width < 0 || height < 0) return LTX_BATCH_BAD_COUNT;
    MisorientationPlan plan;
    planMisorientation(*cs, plan);
    GridJob job{&plan, g, width, height, right, down};
    parallelFor(static_cast<std::int64_t>(width) * height, threads, gridRange, &job);
    return LTX_BATCH_OK;
}

std::int32_t normalizeEuler(const TCrySet* cs, TVec3D* e, std::int64_t n, std::int32_t threads) {
    if (const auto status = checkCrySet(cs, threads)) return status;
    if (const auto status = checkArrays(n, {e})) return status;
    NormalizeJob job{cs, e};
    parallelFor(n, threads, normalizeRange, &job);
    return LTX_BATCH_OK;
}

}  // namespace lattix::batch
