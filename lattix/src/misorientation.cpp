// Misorientation between two orientations of one phase, all its symmetric solutions, and twin
// tests.
#include "misorientation.h"

#include <algorithm>
#include <cmath>
#include <utility>

#include "crystal_set.h"
#include "index_text.h"
#include "orientation.h"
#include "random.h"
#include "symmetry.h"
#include "vecmath.h"

namespace lattix {

namespace {

// Angle from a rotation's trace; a trace pushed outside [-1, 3] by rounding
// is clamped through the cosine.
double angleFromTrace(double trace) {
    return arcCos(std::clamp((trace - 1.0) / 2.0, -1.0, 1.0));
}

// The antisymmetric part of R: (R23 - R32, R31 - R13, R12 - R21), normalised.
bool axisOf(const TMat3D& r, TVec3D& axis) {
    const double* e = &r.col[0].x;
    axis = TVec3D{e[7] - e[5], e[2] - e[6], e[3] - e[1]};
    return unityVector(axis);
}

// A.B^T with every element summed in the order MatMul3x3(A, Transpose(B))
// would use, so the result is the same to the last bit.
inline TMat3D timesTransposed(const TMat3D& a, const TMat3D& b) {
    const double* pa = &a.col[0].x;
    const double* pb = &b.col[0].x;
    TMat3D out;
    double* po = &out.col[0].x;
    for (int j = 0; j < 3; ++j) {
        for (int i = 0; i < 3; ++i)
            po[3 * j + i] = pa[i] * pb[j] + pa[3 + i] * pb[3 + j] + pa[6 + i] * pb[6 + j];
    }
    return out;
}

// Element (i, j) of S.D, in storage indices, summed as MatMul3x3 does.
inline double productElement(const double* s, const double* d, int i, int j) {
    return s[i] * d[3 * j] + s[3 + i] * d[3 * j + 1] + s[6 + i] * d[3 * j + 2];
}

// The axis vector of R = S.D from the six off-diagonal elements only.
inline TVec3D antisymmetricPart(const double* s, const double* d) {
    return TVec3D{productElement(s, d, 1, 2) - productElement(s, d, 2, 1),
                  productElement(s, d, 2, 0) - productElement(s, d, 0, 2),
                  productElement(s, d, 0, 1) - productElement(s, d, 1, 0)};
}

// Trace of S.D from its three diagonal elements, each summed in the order a
// full product would use.
inline double traceOfProduct(const double* s, const double* d) {
    const double d0 = s[0] * d[0] + s[3] * d[1] + s[6] * d[2];
    const double d1 = s[1] * d[3] + s[4] * d[4] + s[7] * d[5];
    const double d2 = s[2] * d[6] + s[5] * d[7] + s[8] * d[8];
    return d0 + d1 + d2;
}

void exchange(TVec3D* axes, double* angles, int i, int j) {
    std::swap(angles[i], angles[j]);
    std::swap(axes[i], axes[j]);
}

void quickSort(TVec3D* axes, double* angles, int lo, int hi) {
    int p = lo + static_cast<int>(randomBelow(static_cast<std::uint32_t>(hi - lo + 1)));
    int i = lo;
    int j = hi;
    do {
        // The bounds only matter for comparisons that are not an ordering
        // (NaN angles); with real angles the pivot stops both scans.
        while (i < hi && angles[i] < angles[p])
            ++i;
        while (j > lo && angles[p] < angles[j])
            --j;
        if (i <= j) {
            if (p == i) {
                p = j;
            } else if (p == j) {
                p = i;
            }
            exchange(axes, angles, i, j);
            ++i;
            --j;
        }
    } while (i <= j);
    if (lo < j) quickSort(axes, angles, lo, j);
    if (i < hi) quickSort(axes, angles, i, hi);
}

bool identicalTriples(const TVec3D& a, const TVec3D& b) {
    return a.x == b.x && a.y == b.y && a.z == b.z;
}

}  // namespace

bool axisAngleMat(const TCrySet& cs, const TMat3D& a, const TMat3D& b, TVec3D& axis,
                  double& angle) {
    const TMat3D d = timesTransposed(a, b);
    const double* dd = &d.col[0].x;
    const int n = operatorCount(cs);
    int bestIndex = 0;
    double bestTrace = -1000.0;
    for (int i = 0; i < n; ++i) {
        const double t = traceOfProduct(&cs.SymOps[i].col[0].x, dd);
        if (t > bestTrace) {  // strict: the lowest-numbered operator wins ties
            bestTrace = t;
            bestIndex = i;
        }
    }
    angle = angleFromTrace(bestTrace);
    axis = antisymmetricPart(&cs.SymOps[bestIndex].col[0].x, dd);
    return unityVector(axis);
}

bool axisAngleEul(const TCrySet& cs, const TVec3D& a, const TVec3D& b, TVec3D& axis,
                  double& angle) {
    if (identicalTriples(a, b)) {
        axis = TVec3D{1.0, 0.0, 0.0};
        angle = 0.0;
        return false;
    }
    return axisAngleMat(cs, euler2Matrix(a), euler2Matrix(b), axis, angle);
}

bool axisAngleMatAll(const TCrySet& cs, const TMat3D& a, const TMat3D& b, std::int32_t& count,
                     TVec3D* axes, double* angles) {
    const TMat3D d = matMul3x3(a, transpose(b));
    TMat3D set[kSymSetCapacity];
    const int n = symSetMat(cs, kSpecimenNone, d, set);
    count = n;
    bool result = false;
    for (int i = 0; i < n; ++i) {
        const TMat3D& r = set[i];
        angles[i] = angleFromTrace(at(r, 0, 0) + at(r, 1, 1) + at(r, 2, 2));
        result = axisOf(r, axes[i]);
    }
    sortByAngle(axes, angles, n, false);
    return result;
}

bool axisAngleEulAll(const TCrySet& cs, const TVec3D& a, const TVec3D& b, std::int32_t& count,
                     TVec3D* axes, double* angles) {
    if (identicalTriples(a, b)) {
        for (int i = 0; i < kSymSetCapacity; ++i) {
            axes[i] = TVec3D{1.0, 0.0, 0.0};
            angles[i] = 0.0;
        }
        // Written so that a caller looping over the count never meets an
        // uninitialised value.
        count = operatorCount(cs);
        return false;
    }
    return axisAngleMatAll(cs, euler2Matrix(a), euler2Matrix(b), count, axes, angles);
}

void sortByAngle(TVec3D* axes, double* angles, int count, bool resetSeed) {
    if (resetSeed) resetRandomSeed();
    if (count > 1) quickSort(axes, angles, 0, count - 1);
}

TVec3D convertCommonAxisToCS1(const TVec3D& euler, const TVec3D& axis) {
    return matMul3x1(transpose(euler2Matrix(euler)), axis);
}

void sgbTwinInit(TTwinSet& twin) {
    TVec3D axis;
    str2Vec(twin.CrySet, true, indexTextView(twin.TwinAxisText), axis);
    bool hasAntiparallel = false;
    twin.TwinAxisCount = symSetDir(twin.CrySet, true, axis, hasAntiparallel, twin.TwinAxes);
    twin.CosAxisTolerance = std::cos(twin.AxisTolerance);
}

bool sgbTwin(const TTwinSet& twin, double& deviation, const TVec3D& axis, double angle) {
    deviation = 0.0;
    // Equal to the tolerance is outside it.
    if (!(std::fabs(angle - twin.TwinAngle) < twin.AngleTolerance)) return false;
    const int count = std::min(twin.TwinAxisCount, kSymSetCapacity);
    for (int k = 0; k < count; ++k) {
        const double d = std::fabs(dot(axis, twin.TwinAxes[k]));
        if (d > twin.CosAxisTolerance) {  // strict: equal to the cosine is outside
            deviation = arcCos(std::min(d, 1.0));
            return true;
        }
    }
    return false;
}

}  // namespace lattix
