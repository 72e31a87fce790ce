// Array forms of the orientation conversions, misorientation and Euler reduction, with the status
// codes of the array exports.
#include "batch.h"

#include <algorithm>
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

// Arrays of no elements may be null (an empty std::vector's data()).
std::int32_t checkArrays(std::int64_t n, std::initializer_list<const void*> pointers) {
    if (n < 0) return LTX_BATCH_BAD_COUNT;
    for (const void* p : pointers) {
        if (p == nullptr && n > 0) return LTX_BATCH_NULL_POINTER;
    }
    return LTX_BATCH_OK;
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

// Quaternions go through their matrices in small blocks on the stack.
constexpr std::int64_t kBlock = 64;

void pairRange(void* context, std::int64_t begin, std::int64_t end) noexcept {
    const auto& job = *static_cast<const PairJob*>(context);
    if (job.qa != nullptr && job.axis == nullptr &&
        misorientationAnglesQuat(*job.plan, job.qa + begin, job.qb + begin, end - begin,
                                 job.angle + begin))
        return;
    for (std::int64_t start = begin; start < end; start += kBlock) {
        const std::int64_t count = std::min(kBlock, end - start);
        TMat3D blockA[kBlock], blockB[kBlock];
        const TMat3D* a = job.a + start;
        const TMat3D* b = job.b + start;
        if (job.qa != nullptr) {
            for (std::int64_t i = 0; i < count; ++i) {
                blockA[i] = lattix::quat2Matrix(job.qa[start + i]);
                blockB[i] = lattix::quat2Matrix(job.qb[start + i]);
            }
            a = blockA;
            b = blockB;
        }
        if (job.axis == nullptr) {
            misorientationAngles(*job.plan, a, b, count, job.angle + start);
            continue;
        }
        misorientationAxisAngles(*job.plan, a, b, count, job.angle + start, job.axis + start);
    }
}

struct GridJob {
    const MisorientationPlan* plan;
    const TMat3D* g;
    std::int64_t width;
    std::int64_t height;
    double* right;
    double* down;
};

// Rows [begin, end): the right neighbours of a row and the row below are
// contiguous runs of pairs.
void gridRows(void* context, std::int64_t begin, std::int64_t end) noexcept {
    const auto& job = *static_cast<const GridJob*>(context);
    const std::int64_t w = job.width;
    for (std::int64_t row = begin; row < end; ++row) {
        const TMat3D* g = job.g + row * w;
        double* right = job.right + row * w;
        double* down = job.down + row * w;
        misorientationAngles(*job.plan, g, g + 1, w - 1, right);
        right[w - 1] = kNaN;
        if (row + 1 < job.height) {
            misorientationAngles(*job.plan, g, g + w, w, down);
        } else {
            for (std::int64_t c = 0; c < w; ++c)
                down[c] = kNaN;
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
    parallelFor(n, threads, pairRange, &job);
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
    if (width < 0 || height < 0) return LTX_BATCH_BAD_COUNT;
    const std::int64_t pixels = static_cast<std::int64_t>(width) * height;
    if (const auto status = checkArrays(pixels, {g, right, down})) return status;
    MisorientationPlan plan;
    planMisorientation(*cs, plan);
    if (width == 0 || height == 0) return LTX_BATCH_OK;
    GridJob job{&plan, g, width, height, right, down};
    parallelFor(height, threads, gridRows, &job, std::max<std::int64_t>(1, 4096 / width));
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
