// Misorientation of many orientation pairs: AxisAngleMat's results with closed forms for the cubic
// and hexagonal groups and an operator search that skips most of the arithmetic elsewhere.
#include "batch_misorientation.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <limits>

#include "orientation.h"
#include "quaternion.h"
#include "symmetry.h"
#include "vecmath.h"

namespace lattix {

namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
// Below 0.01 rad the arc cosine of a trace magnifies its rounding, so there
// the angle is taken from the winning operator's trace exactly as
// AxisAngleMat forms it (cos(0.005) is the half-angle bound).
constexpr double kNearIdentityHalfCos = 0.99998750002604166;

// ---- AxisAngleMat's own arithmetic, in the same order, so that the winner
// and the trace are the same to the last bit.

inline void timesTransposed(const TMat3D& a, const TMat3D& b, double* po) {
    const double* pa = &a.col[0].x;
    const double* pb = &b.col[0].x;
    for (int j = 0; j < 3; ++j) {
        for (int i = 0; i < 3; ++i)
            po[3 * j + i] = pa[i] * pb[j] + pa[3 + i] * pb[3 + j] + pa[6 + i] * pb[6 + j];
    }
}

template <typename T>
inline T productElement(const T* s, const T* d, int i, int j) {
    return s[i] * d[3 * j] + s[3 + i] * d[3 * j + 1] + s[6 + i] * d[3 * j + 2];
}

inline TVec3D antisymmetricPart(const double* s, const double* d) {
    return TVec3D{productElement(s, d, 1, 2) - productElement(s, d, 2, 1),
                  productElement(s, d, 2, 0) - productElement(s, d, 0, 2),
                  productElement(s, d, 0, 1) - productElement(s, d, 1, 0)};
}

template <typename T>
inline T traceOfProduct(const T* s, const T* d) {
    const T d0 = s[0] * d[0] + s[3] * d[1] + s[6] * d[2];
    const T d1 = s[1] * d[3] + s[4] * d[4] + s[7] * d[5];
    const T d2 = s[2] * d[6] + s[5] * d[7] + s[8] * d[8];
    return d0 + d1 + d2;
}

inline double angleFromTrace(double trace) {
    return arcCos(std::clamp((trace - 1.0) / 2.0, -1.0, 1.0));
}

// ---- Series of the arc sine about 0: a_n = C(2n, n) / 4^n / (2n + 1).
constexpr int kSeriesTerms = 19;  // enough for y <= 0.16 to 1e-17

constexpr std::array<double, kSeriesTerms> arcSineSeries() {
    std::array<double, kSeriesTerms> c{};
    double a = 1.0;
    for (int n = 0; n < kSeriesTerms; ++n) {
        if (n > 0) a *= (2.0 * n - 1.0) / (2.0 * n);
        c[n] = a / (2.0 * n + 1.0);
    }
    return c;
}
constexpr std::array<double, kSeriesTerms> kArcSine = arcSineSeries();

// c[r] + z c[r+4] + z^2 c[r+8] + ..., one Horner chain, unrolled.
template <int r, typename T>
[[gnu::always_inline]] inline T seriesChain(T z) {
    if constexpr (r + 4 >= kSeriesTerms) {
        return z * 0.0 + kArcSine[r];
    } else {
        return kArcSine[r] + z * seriesChain<r + 4>(z);
    }
}

// asin(sqrt(y)) / sqrt(y) for y <= 0.16: four interleaved Horner chains in
// y^4 rather than one long one.
template <typename T>
[[gnu::always_inline]] inline T arcSineOverRoot(T y) {
    const T y2 = y * y, y4 = y2 * y2;
    return (seriesChain<0>(y4) + y * seriesChain<1>(y4)) +
           y2 * (seriesChain<2>(y4) + y * seriesChain<3>(y4));
}

// Two pairs side by side: the closed forms and the series run on both lanes
// of one SSE2 register (plain element-wise operations, no fused multiply-add,
// so each lane rounds as the scalar code does).
using Lanes = double __attribute__((vector_size(16)));

inline Lanes laneMax(Lanes a, Lanes b) {
    return a > b ? a : b;
}
inline double laneMax(double a, double b) {
    return a > b ? a : b;
}

// The largest of t[0..n) by a pairwise tree: a chain of n dependent maxima
// would cost more than all the arithmetic before it.
template <int n, typename T>
inline T treeMax(const T* t) {
    if constexpr (n == 1) {
        return t[0];
    } else {
        return laneMax(treeMax<n / 2>(t), treeMax<n - n / 2>(t + n / 2));
    }
}

// The 24 rotations of the cube are the signed permutation matrices of
// determinant +1: trace(S.D) = sum_i s_i D(p(i), i) with prod s_i = sign(p).
// The four sign choices of each permutation, even permutations first.
template <typename T>
[[gnu::always_inline]] inline void cubicTraces(const T* d, T* t) {
    const int even[3][3] = {{0, 4, 8}, {1, 5, 6}, {2, 3, 7}};
    const int odd[3][3] = {{0, 5, 7}, {2, 4, 6}, {1, 3, 8}};
    for (int p = 0; p < 3; ++p) {
        const T a = d[even[p][0]], b = d[even[p][1]], c = d[even[p][2]];
        t[4 * p] = a + b + c;
        t[4 * p + 1] = a - b - c;
        t[4 * p + 2] = -a + b - c;
        t[4 * p + 3] = -a - b + c;
    }
    for (int p = 0; p < 3; ++p) {
        const T a = d[odd[p][0]], b = d[odd[p][1]], c = d[odd[p][2]];
        t[12 + 4 * p] = -a - b - c;
        t[12 + 4 * p + 1] = -a + b + c;
        t[12 + 4 * p + 2] = a - b + c;
        t[12 + 4 * p + 3] = a + b - c;
    }
}

// 6/mmm with the six-fold along Z and two-folds every 30 degrees from X:
// turns by k.60 degrees about Z give D33 + cos.P + sin.Q, the two-folds
// -D33 + cos.P' + sin.Q'.
template <typename T>
[[gnu::always_inline]] inline void hexagonalTraces(const T* d, T* t) {
    constexpr double h = 0.86602540378443865;  // sqrt(3)/2
    const T p = d[0] + d[4], q = d[1] - d[3];
    const T p2 = d[0] - d[4], q2 = d[1] + d[3];
    const T z = d[8];
    t[0] = z + p;
    t[1] = z + 0.5 * p + h * q;
    t[2] = z - 0.5 * p + h * q;
    t[3] = z - p;
    t[4] = z - 0.5 * p - h * q;
    t[5] = z + 0.5 * p - h * q;
    t[6] = -z + p2;
    t[7] = -z + 0.5 * p2 + h * q2;
    t[8] = -z - 0.5 * p2 + h * q2;
    t[9] = -z - p2;
    t[10] = -z - 0.5 * p2 - h * q2;
    t[11] = -z + 0.5 * p2 - h * q2;
}

struct CubicFamily {
    static constexpr int size = 24;
    template <typename T>
    [[gnu::always_inline]] static void traces(const T* d, T* t) {
        cubicTraces(d, t);
    }
};
struct HexagonalFamily {
    static constexpr int size = 12;
    template <typename T>
    [[gnu::always_inline]] static void traces(const T* d, T* t) {
        hexagonalTraces(d, t);
    }
};

// AxisAngleMat's scan: the largest trace, the lowest index among equal ones.
int scanWinner(const MisorientationPlan& plan, const double* d, double& bestTrace) {
    int best = 0;
    bestTrace = -1000.0;
    for (int k = 0; k < plan.operatorCount; ++k) {
        const double t = traceOfProduct(&plan.crySet->SymOps[k].col[0].x, d);
        if (t > bestTrace) {
            bestTrace = t;
            best = k;
        }
    }
    return best;
}

// The winner of the scan from the closed form: when the best trace stands
// clear of the next one, its operator is the scan's winner and only its
// trace is formed exactly; near-ties (zone boundaries) get the full scan.
template <typename Family>
int familyWinner(const MisorientationPlan& plan, const double* d, double& bestTrace) {
    double t[Family::size];
    Family::traces(d, t);
    const double top = treeMax<Family::size>(t);
    const double margin = 1e-9 * (1.0 + std::fabs(top));
    // Counted and located without branches: a mispredicted jump per pair
    // costs more than the whole search.
    int near = 0, position = 0;
    for (int j = 0; j < Family::size; ++j) {
        const int isNear = t[j] > top - margin ? 1 : 0;
        near += isNear;
        position += isNear * j;
    }
    if (near != 1) return scanWinner(plan, d, bestTrace);
    const int k = plan.operatorOfTrace[position];
    bestTrace = traceOfProduct(&plan.crySet->SymOps[k].col[0].x, d);
    return k;
}

int exactWinner(const MisorientationPlan& plan, const double* d, double& bestTrace) {
    switch (plan.family) {
        case MisorientationPlan::Family::cubic:
            return familyWinner<CubicFamily>(plan, d, bestTrace);
        case MisorientationPlan::Family::hexagonal:
            return familyWinner<HexagonalFamily>(plan, d, bestTrace);
        default:
            return scanWinner(plan, d, bestTrace);
    }
}

// The angle of a trace: the series where it is exact, AxisAngleMat's formula
// near 0 and near pi.
double angleOfTrace(double trace) {
    const double halfCos = 0.5 * std::sqrt(std::max(1.0 + trace, 0.0));
    if (halfCos >= 0.68 && halfCos <= kNearIdentityHalfCos) return 2.0 * fastArcCos(halfCos);
    return angleFromTrace(trace);
}

bool finiteDiagonal(const double* d) {
    // Every element of A and B enters one diagonal element of A.B^T.
    return std::isfinite(d[0] + d[4] + d[8]);
}

// Fills operatorOfTrace when the operators are exactly the family: against
// D = S^T every operator's trace is 3 in one position of the closed form and
// clearly less in all others, and no two operators share a position.
template <typename Family>
bool matchFamily(const TCrySet& cs, MisorientationPlan& plan) {
    if (plan.operatorCount != Family::size) return false;
    bool taken[Family::size] = {};
    for (int k = 0; k < Family::size; ++k) {
        double d[9];
        for (int i = 0; i < 3; ++i) {
            for (int j = 0; j < 3; ++j)
                d[3 * j + i] = at(cs.SymOps[k], j, i);
        }
        double t[Family::size];
        Family::traces(d, t);
        int position = -1;
        for (int j = 0; j < Family::size; ++j) {
            if (std::fabs(t[j] - 3.0) < 1e-9) {
                if (position >= 0) return false;
                position = j;
            } else if (!(t[j] < 2.5)) {
                return false;
            }
        }
        if (position < 0 || taken[position]) return false;
        taken[position] = true;
        plan.operatorOfTrace[position] = static_cast<std::uint8_t>(k);
    }
    return true;
}

// One pair the slow way: the exact winner's trace (NaN for NaN input).
template <typename Family>
double exactFamilyAngle(const MisorientationPlan& plan, const TMat3D& a, const TMat3D& b) {
    double d[9];
    timesTransposed(a, b, d);
    if (!finiteDiagonal(d)) return kNaN;
    double trace = 0.0;
    familyWinner<Family>(plan, d, trace);
    return angleOfTrace(trace);
}

// Angles of pairs two at a time.  The best trace of the closed form gives the
// angle through the series; a lane near the identity (or holding a NaN) is
// done again the exact way.
template <typename Family>
void familyAngles(const MisorientationPlan& plan, const TMat3D* a, const TMat3D* b,
                  std::int64_t count, double* angle) {
    // A last odd pair shares both lanes, so that every pair gets the same
    // arithmetic wherever a range starts or ends.
    for (std::int64_t i = 0; i < count; i += 2) {
        const std::int64_t i1 = i + 1 < count ? i + 1 : i;
        const double* a0 = &a[i].col[0].x;
        const double* a1 = &a[i1].col[0].x;
        const double* b0 = &b[i].col[0].x;
        const double* b1 = &b[i1].col[0].x;
        Lanes va[9], vb[9];
        for (int k = 0; k < 9; ++k) {
            va[k] = Lanes{a0[k], a1[k]};
            vb[k] = Lanes{b0[k], b1[k]};
        }
        Lanes d[9];
        for (int j = 0; j < 3; ++j) {
            for (int r = 0; r < 3; ++r)
                d[3 * j + r] = va[r] * vb[j] + va[3 + r] * vb[3 + j] + va[6 + r] * vb[6 + j];
        }
        Lanes t[Family::size];
        Family::traces(d, t);
        const Lanes top = treeMax<Family::size>(t);
        const Lanes f = laneMax(1.0 + top, Lanes{0.0, 0.0});
        const Lanes halfCos = 0.5 * Lanes{std::sqrt(f[0]), std::sqrt(f[1])};
        const Lanes y = 0.5 * (1.0 - halfCos);
        const Lanes result = 4.0 * Lanes{std::sqrt(y[0]), std::sqrt(y[1])} * arcSineOverRoot(y);
        const Lanes diagonal = d[0] + d[4] + d[8];
        for (int lane = 0; lane < (i1 > i ? 2 : 1); ++lane) {
            const bool series = halfCos[lane] >= 0.68 && halfCos[lane] <= kNearIdentityHalfCos &&
                                std::isfinite(diagonal[lane]);
            angle[i + lane] =
                series ? result[lane] : exactFamilyAngle<Family>(plan, a[i + lane], b[i + lane]);
        }
    }
}

inline Lanes laneAbs(Lanes a) {
    return a < 0.0 ? -a : a;
}
inline Lanes laneMin(Lanes a, Lanes b) {
    return a < b ? a : b;
}

// The best |w| over the group of the misorientation quaternion p = a * conj(b)
// (the quaternion of A.B^T), for unit p.
struct CubicQuaternion {
    // The largest of |p_i|, (|p_i| + |p_j|)/sqrt 2 and (|p0| + |p1| + |p2| + |p3|)/2.
    static Lanes bestW(const Lanes* p) {
        constexpr double r = 0.70710678118654752;  // 1/sqrt 2
        const Lanes m0 = laneAbs(p[0]), m1 = laneAbs(p[1]), m2 = laneAbs(p[2]), m3 = laneAbs(p[3]);
        const Lanes high01 = laneMax(m0, m1), low01 = laneMin(m0, m1);
        const Lanes high23 = laneMax(m2, m3), low23 = laneMin(m2, m3);
        const Lanes first = laneMax(high01, high23);
        const Lanes second = laneMax(laneMin(high01, high23), laneMax(low01, low23));
        return laneMax(laneMax(first, (first + second) * r), 0.5 * ((m0 + m1) + (m2 + m3)));
    }
};

// 6/mmm: turns by k.60 degrees about Z mix (w, z), the two-folds every 30
// degrees in the plane mix (x, y), each at the half angles k.30 degrees.
struct HexagonalQuaternion {
    static Lanes bestW(const Lanes* p) {
        constexpr double h = 0.86602540378443865;  // cos 30
        auto best = [](Lanes u, Lanes v) {
            const Lanes a = laneMax(laneAbs(u), laneAbs(v));
            const Lanes b = laneMax(laneAbs(h * u + 0.5 * v), laneAbs(0.5 * u + h * v));
            const Lanes c = laneMax(laneAbs(h * v - 0.5 * u), laneAbs(0.5 * v - h * u));
            return laneMax(a, laneMax(b, c));
        };
        return laneMax(best(p[0], p[3]), best(p[1], p[2]));
    }
};

// Angles of quaternion pairs two at a time from the misorientation quaternion;
// near the identity (or for NaN) a lane takes the exact way through the
// matrices of its quaternions.
template <typename Family, typename Closed>
void familyQuaternionAngles(const MisorientationPlan& plan, const TQuat* qa, const TQuat* qb,
                            std::int64_t count, double* angle) {
    for (std::int64_t i = 0; i < count; i += 2) {
        const std::int64_t i1 = i + 1 < count ? i + 1 : i;
        const Lanes w1{qa[i].w, qa[i1].w}, x1{qa[i].x, qa[i1].x}, y1{qa[i].y, qa[i1].y},
            z1{qa[i].z, qa[i1].z};
        const Lanes w2{qb[i].w, qb[i1].w}, x2{-qb[i].x, -qb[i1].x}, y2{-qb[i].y, -qb[i1].y},
            z2{-qb[i].z, -qb[i1].z};
        Lanes p[4] = {w1 * w2 - x1 * x2 - y1 * y2 - z1 * z2, w1 * x2 + x1 * w2 + y1 * z2 - z1 * y2,
                      w1 * y2 - x1 * z2 + y1 * w2 + z1 * x2, w1 * z2 + x1 * y2 - y1 * x2 + z1 * w2};
        const Lanes norm2 = (p[0] * p[0] + p[1] * p[1]) + (p[2] * p[2] + p[3] * p[3]);
        const Lanes inverse = 1.0 / Lanes{std::sqrt(norm2[0]), std::sqrt(norm2[1])};
        for (auto& component : p)
            component *= inverse;
        const Lanes halfCos = Closed::bestW(p);
        const Lanes y = 0.5 * (1.0 - halfCos);
        const Lanes result = 4.0 * Lanes{std::sqrt(y[0]), std::sqrt(y[1])} * arcSineOverRoot(y);
        for (int lane = 0; lane < (i1 > i ? 2 : 1); ++lane) {
            const std::int64_t k = i + lane;
            if (halfCos[lane] >= 0.68 && halfCos[lane] <= kNearIdentityHalfCos) {
                angle[k] = result[lane];
            } else {
                const TMat3D a = quat2Matrix(qa[k]);
                const TMat3D b = quat2Matrix(qb[k]);
                angle[k] = exactFamilyAngle<Family>(plan, a, b);
            }
        }
    }
}

void axisAngleOf(const MisorientationPlan& plan, const double* d, int winner, double trace,
                 double& angle, TVec3D& axis) {
    angle = angleOfTrace(trace);
    axis = antisymmetricPart(&plan.crySet->SymOps[winner].col[0].x, d);
    unityVector(axis);
}

// Two pairs whose winners are known, side by side: the same operations per
// lane as traceOfProduct, angleOfTrace, antisymmetricPart and unityVector.
void winnerAxisAngles(const MisorientationPlan& plan, const double* d0, const double* d1, int k0,
                      int k1, double* angle, TVec3D* axis, int lanes) {
    const double* s0 = &plan.crySet->SymOps[k0].col[0].x;
    const double* s1 = &plan.crySet->SymOps[k1].col[0].x;
    Lanes s[9], d[9];
    for (int e = 0; e < 9; ++e) {
        s[e] = Lanes{s0[e], s1[e]};
        d[e] = Lanes{d0[e], d1[e]};
    }
    const Lanes trace = traceOfProduct(s, d);
    const Lanes halfCos = 0.5 * Lanes{std::sqrt(std::max(1.0 + trace[0], 0.0)),
                                      std::sqrt(std::max(1.0 + trace[1], 0.0))};
    const Lanes y = 0.5 * (1.0 - halfCos);
    const Lanes series = 4.0 * Lanes{std::sqrt(y[0]), std::sqrt(y[1])} * arcSineOverRoot(y);
    const Lanes v[3] = {productElement(s, d, 1, 2) - productElement(s, d, 2, 1),
                        productElement(s, d, 2, 0) - productElement(s, d, 0, 2),
                        productElement(s, d, 0, 1) - productElement(s, d, 1, 0)};
    const Lanes length = v[0] * v[0] + v[1] * v[1] + v[2] * v[2];
    const Lanes root{std::sqrt(length[0]), std::sqrt(length[1])};
    const Lanes r = 1.0 / root;
    for (int lane = 0; lane < lanes; ++lane) {
        const bool inSeries = halfCos[lane] >= 0.68 && halfCos[lane] <= kNearIdentityHalfCos;
        angle[lane] = inSeries ? series[lane] : angleFromTrace(trace[lane]);
        axis[lane] = root[lane] > 1e-8
                         ? TVec3D{v[0][lane] * r[lane], v[1][lane] * r[lane], v[2][lane] * r[lane]}
                         : TVec3D{1.0, 0.0, 0.0};
    }
}

// Axes and angles of a block of pairs in two passes: the closed form on two
// lanes finds each pair's winner, then each pair's exact trace and axis.
// (One pair at a time, every step waits for the one before.)
template <typename Family>
void familyAxisAngles(const MisorientationPlan& plan, const TMat3D* a, const TMat3D* b,
                      std::int64_t count, double* angle, TVec3D* axis) {
    using Mask = long long __attribute__((vector_size(16)));
    constexpr int kBlock = 32;
    for (std::int64_t start = 0; start < count; start += kBlock) {
        const int n = static_cast<int>(std::min<std::int64_t>(kBlock, count - start));
        double d[kBlock][9];
        int winner[kBlock];
        for (int i = 0; i < n; i += 2) {
            const int i1 = i + 1 < n ? i + 1 : i;
            const double* a0 = &a[start + i].col[0].x;
            const double* a1 = &a[start + i1].col[0].x;
            const double* b0 = &b[start + i].col[0].x;
            const double* b1 = &b[start + i1].col[0].x;
            Lanes va[9], vb[9], dl[9];
            for (int k = 0; k < 9; ++k) {
                va[k] = Lanes{a0[k], a1[k]};
                vb[k] = Lanes{b0[k], b1[k]};
            }
            for (int j = 0; j < 3; ++j) {
                for (int r = 0; r < 3; ++r)
                    dl[3 * j + r] = va[r] * vb[j] + va[3 + r] * vb[3 + j] + va[6 + r] * vb[6 + j];
            }
            for (int k = 0; k < 9; ++k) {
                d[i][k] = dl[k][0];
                d[i1][k] = dl[k][1];
            }
            Lanes t[Family::size];
            Family::traces(dl, t);
            const Lanes top = treeMax<Family::size>(t);
            const Lanes above = top - 1e-9 * (1.0 + (top < 0.0 ? -top : top));
            Mask near = Mask{0, 0}, position = Mask{0, 0};
            for (int j = 0; j < Family::size; ++j) {
                const Mask isNear = t[j] > above;  // -1 where near
                near += isNear;
                position += isNear & Mask{j, j};
            }
            // Exactly one operator near the top: it wins; otherwise the scan.
            winner[i] = near[0] == -1 ? static_cast<int>(position[0]) : -1;
            winner[i1] = near[1] == -1 ? static_cast<int>(position[1]) : -1;
        }
        for (int i = 0; i < n; i += 2) {
            const int i1 = i + 1 < n ? i + 1 : i;
            const bool simple =
                winner[i] >= 0 && winner[i1] >= 0 && finiteDiagonal(d[i]) && finiteDiagonal(d[i1]);
            if (simple) {
                winnerAxisAngles(plan, d[i], d[i1], plan.operatorOfTrace[winner[i]],
                                 plan.operatorOfTrace[winner[i1]], angle + start + i,
                                 axis + start + i, i1 > i ? 2 : 1);
                continue;
            }
            for (int k = i; k <= i1; ++k)
                misorientationAxisAngle(plan, d[k], angle[start + k], axis[start + k]);
        }
    }
}

}  // namespace

double fastArcCos(double x) {
    if (!(x >= 0.68 && x <= 1.0)) return std::acos(x);
    const double y = 0.5 * (1.0 - x);  // sin^2 of half the angle; exact subtraction
    return 2.0 * std::sqrt(y) * arcSineOverRoot(y);
}

void planMisorientation(const TCrySet& cs, MisorientationPlan& plan) {
    plan.crySet = &cs;
    plan.operatorCount = operatorCount(cs);
    plan.family = MisorientationPlan::Family::none;
    if (matchFamily<CubicFamily>(cs, plan))
        plan.family = MisorientationPlan::Family::cubic;
    else if (matchFamily<HexagonalFamily>(cs, plan))
        plan.family = MisorientationPlan::Family::hexagonal;
}

void misorientationAngles(const MisorientationPlan& plan, const TMat3D* a, const TMat3D* b,
                          std::int64_t count, double* angle) {
    switch (plan.family) {
        case MisorientationPlan::Family::cubic:
            familyAngles<CubicFamily>(plan, a, b, count, angle);
            return;
        case MisorientationPlan::Family::hexagonal:
            familyAngles<HexagonalFamily>(plan, a, b, count, angle);
            return;
        default:
            break;
    }
    for (std::int64_t i = 0; i < count; ++i) {
        double d[9];
        timesTransposed(a[i], b[i], d);
        double trace = 0.0;
        if (finiteDiagonal(d)) scanWinner(plan, d, trace);
        angle[i] = finiteDiagonal(d) ? angleOfTrace(trace) : kNaN;
    }
}

bool misorientationAnglesQuat(const MisorientationPlan& plan, const TQuat* a, const TQuat* b,
                              std::int64_t count, double* angle) {
    switch (plan.family) {
        case MisorientationPlan::Family::cubic:
            familyQuaternionAngles<CubicFamily, CubicQuaternion>(plan, a, b, count, angle);
            return true;
        case MisorientationPlan::Family::hexagonal:
            familyQuaternionAngles<HexagonalFamily, HexagonalQuaternion>(plan, a, b, count, angle);
            return true;
        default:
            return false;
    }
}

void misorientationAxisAngles(const MisorientationPlan& plan, const TMat3D* a, const TMat3D* b,
                              std::int64_t count, double* angle, TVec3D* axis) {
    switch (plan.family) {
        case MisorientationPlan::Family::cubic:
            familyAxisAngles<CubicFamily>(plan, a, b, count, angle, axis);
            return;
        case MisorientationPlan::Family::hexagonal:
            familyAxisAngles<HexagonalFamily>(plan, a, b, count, angle, axis);
            return;
        default:
            for (std::int64_t i = 0; i < count; ++i)
                misorientationAxisAngle(plan, a[i], b[i], angle[i], axis[i]);
    }
}

void misorientationAxisAngle(const MisorientationPlan& plan, const TMat3D& a, const TMat3D& b,
                             double& angle, TVec3D& axis) {
    double d[9];
    timesTransposed(a, b, d);
    misorientationAxisAngle(plan, d, angle, axis);
}

void misorientationAxisAngle(const MisorientationPlan& plan, const double* d, double& angle,
                             TVec3D& axis) {
    if (!finiteDiagonal(d)) {
        angle = kNaN;
        axis = TVec3D{kNaN, kNaN, kNaN};
        return;
    }
    double trace = 0.0;
    const int winner = exactWinner(plan, d, trace);
    axisAngleOf(plan, d, winner, trace, angle, axis);
}

}  // namespace lattix
