// Misorientation of many orientation pairs: AxisAngleMat's results with closed forms for the cubic
// and hexagonal groups and an operator search that skips most of the arithmetic elsewhere.
#include "batch_misorientation.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <limits>

#include "orientation.h"
#include "symmetry.h"
#include "vecmath.h"

namespace lattix {

namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
// Below 0.01 rad the arc cosine of a trace magnifies its rounding, so there
// the angle is taken from the winning operator's trace exactly as
// AxisAngleMat forms it (cos(0.005) is the half-angle bound).
constexpr double kNearIdentityHalfCos = 0.99998750002604166;
// Operator entries below this are rounding left by the generator expansion.
constexpr double kZeroEntry = 1e-12;

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

inline double productElement(const double* s, const double* d, int i, int j) {
    return s[i] * d[3 * j] + s[3 + i] * d[3 * j + 1] + s[6 + i] * d[3 * j + 2];
}

inline TVec3D antisymmetricPart(const double* s, const double* d) {
    return TVec3D{productElement(s, d, 1, 2) - productElement(s, d, 2, 1),
                  productElement(s, d, 2, 0) - productElement(s, d, 0, 2),
                  productElement(s, d, 0, 1) - productElement(s, d, 1, 0)};
}

inline double traceOfProduct(const double* s, const double* d) {
    const double d0 = s[0] * d[0] + s[3] * d[1] + s[6] * d[2];
    const double d1 = s[1] * d[3] + s[4] * d[4] + s[7] * d[5];
    const double d2 = s[2] * d[6] + s[5] * d[7] + s[8] * d[8];
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

// The largest of +-a +-b +-c whose sign product is +1 (even) or -1 (odd):
// the best trace among the four signed forms of one permutation.
inline double bestSignedSum(double a, double b, double c, bool odd) {
    const double fa = std::fabs(a), fb = std::fabs(b), fc = std::fabs(c);
    const bool negativeProduct = (a < 0.0) != ((b < 0.0) != (c < 0.0));
    const double sum = fa + fb + fc;
    return negativeProduct == odd ? sum : sum - 2.0 * std::min(fa, std::min(fb, fc));
}

// The 24 rotations of the cube are the signed permutation matrices of
// determinant +1: trace(S.D) = sum_i s_i D(p(i), i) with prod s_i = sign(p).
inline double cubicBestTrace(const double* d) {
    const double even = std::max(
        std::max(bestSignedSum(d[0], d[4], d[8], false), bestSignedSum(d[1], d[5], d[6], false)),
        bestSignedSum(d[2], d[3], d[7], false));
    const double odd = std::max(
        std::max(bestSignedSum(d[0], d[5], d[7], true), bestSignedSum(d[2], d[4], d[6], true)),
        bestSignedSum(d[1], d[3], d[8], true));
    return std::max(even, odd);
}

// 6/mmm with the six-fold along Z and two-folds every 30 degrees from X:
// turns by k.60 about Z give D33 + cos.P + sin.Q, the two-folds -D33 +
// cos.P' + sin.Q', and the six angles come in opposite pairs.
inline double hexagonalBestTrace(const double* d) {
    constexpr double h = 0.86602540378443865;  // sqrt(3)/2
    const double p = d[0] + d[4], q = d[1] - d[3];
    const double p2 = d[0] - d[4], q2 = d[1] + d[3];
    const double turns =
        std::max(std::fabs(p), std::max(std::fabs(0.5 * p + h * q), std::fabs(0.5 * p - h * q)));
    const double flips = std::max(
        std::fabs(p2), std::max(std::fabs(0.5 * p2 + h * q2), std::fabs(0.5 * p2 - h * q2)));
    return std::max(turns + d[8], flips - d[8]);
}

double shortcutTrace(MisorientationPlan::Shortcut shortcut, const double* d) {
    return shortcut == MisorientationPlan::Shortcut::cubic ? cubicBestTrace(d)
                                                           : hexagonalBestTrace(d);
}

// The operator AxisAngleMat picks (largest trace, lowest index among equal
// ones) and its trace.  The short forms find the few operators near the top;
// only those get the full product.
int exactWinner(const MisorientationPlan& plan, const double* d, double& bestTrace) {
    double approx[96];
    double top = -std::numeric_limits<double>::infinity();
    double size = 0.0;
    for (int i = 0; i < 9; ++i)
        size = std::max(size, std::fabs(d[i]));
    for (int k = 0; k < plan.operatorCount; ++k) {
        const auto& form = plan.forms[k];
        double t = 0.0;
        for (int m = 0; m < form.count; ++m)
            t += form.coefficient[m] * d[form.index[m]];
        approx[k] = t;
        top = std::max(top, t);
    }
    const double margin = 1e-9 * (1.0 + size);
    int best = 0;
    bestTrace = -1000.0;
    for (int k = 0; k < plan.operatorCount; ++k) {
        if (approx[k] < top - margin) continue;
        const double t = traceOfProduct(&plan.crySet->SymOps[k].col[0].x, d);
        if (t > bestTrace) {
            bestTrace = t;
            best = k;
        }
    }
    return best;
}

// The angle of a trace: the series where it is exact, AxisAngleMat's formula
// near 0 and near pi.
double angleOfTrace(double trace) {
    const double halfCos = 0.5 * std::sqrt(std::max(1.0 + trace, 0.0));
    if (halfCos >= 0.68 && halfCos <= kNearIdentityHalfCos) return 2.0 * fastArcCos(halfCos);
    return angleFromTrace(trace);
}

// True when the closed form gives the exact scan's best trace on a spread of
// rotations: the operators are the expected group in the expected frame.
bool shortcutMatches(const MisorientationPlan& plan, MisorientationPlan::Shortcut shortcut) {
    for (int sample = 0; sample < 16; ++sample) {
        const TVec3D e{0.37 + 0.91 * sample, 0.23 + 0.19 * sample, 1.3 + 0.57 * sample};
        const TMat3D g = euler2Matrix(e);
        double d[9];
        for (int i = 0; i < 9; ++i)
            d[i] = (&g.col[0].x)[i];
        double exact = 0.0;
        exactWinner(plan, d, exact);
        if (!(std::fabs(shortcutTrace(shortcut, d) - exact) < 1e-9)) return false;
    }
    return true;
}

bool finiteDiagonal(const double* d) {
    // Every element of A and B enters one diagonal element of A.B^T.
    return std::isfinite(d[0] + d[4] + d[8]);
}

}  // namespace

double fastArcCos(double x) {
    if (!(x >= 0.68 && x <= 1.0)) return std::acos(x);
    const double y = 0.5 * (1.0 - x);  // sin^2 of half the angle; exact subtraction
    double sum = kArcSine[kSeriesTerms - 1];
    for (int n = kSeriesTerms - 2; n >= 0; --n)
        sum = sum * y + kArcSine[n];
    return 2.0 * std::sqrt(y) * sum;
}

void planMisorientation(const TCrySet& cs, MisorientationPlan& plan) {
    plan.crySet = &cs;
    plan.operatorCount = operatorCount(cs);
    for (int k = 0; k < plan.operatorCount; ++k) {
        // trace(S.D) = sum over (i, j) of S(i, j) D(j, i); D(j, i) is d[3i + j].
        auto& form = plan.forms[k];
        form.count = 0;
        for (int i = 0; i < 3; ++i) {
            for (int j = 0; j < 3; ++j) {
                const double s = at(cs.SymOps[k], i, j);
                if (std::fabs(s) < kZeroEntry) continue;
                form.index[form.count] = static_cast<std::uint8_t>(3 * i + j);
                form.coefficient[form.count] = s;
                ++form.count;
            }
        }
    }
    plan.shortcut = MisorientationPlan::Shortcut::none;
    if (plan.operatorCount == 24 && shortcutMatches(plan, MisorientationPlan::Shortcut::cubic))
        plan.shortcut = MisorientationPlan::Shortcut::cubic;
    else if (plan.operatorCount == 12 &&
             shortcutMatches(plan, MisorientationPlan::Shortcut::hexagonal))
        plan.shortcut = MisorientationPlan::Shortcut::hexagonal;
}

double misorientationAngle(const MisorientationPlan& plan, const TMat3D& a, const TMat3D& b) {
    double d[9];
    timesTransposed(a, b, d);
    if (!finiteDiagonal(d)) return kNaN;
    if (plan.shortcut != MisorientationPlan::Shortcut::none) {
        const double trace = shortcutTrace(plan.shortcut, d);
        const double halfCos = 0.5 * std::sqrt(std::max(1.0 + trace, 0.0));
        if (halfCos >= 0.68 && halfCos <= kNearIdentityHalfCos) return 2.0 * fastArcCos(halfCos);
    }
    double trace = 0.0;
    exactWinner(plan, d, trace);
    return angleOfTrace(trace);
}

void misorientationAxisAngle(const MisorientationPlan& plan, const TMat3D& a, const TMat3D& b,
                             double& angle, TVec3D& axis) {
    double d[9];
    timesTransposed(a, b, d);
    if (!finiteDiagonal(d)) {
        angle = kNaN;
        axis = TVec3D{kNaN, kNaN, kNaN};
        return;
    }
    double trace = 0.0;
    const int winner = exactWinner(plan, d, trace);
    angle = angleOfTrace(trace);
    axis = antisymmetricPart(&plan.crySet->SymOps[winner].col[0].x, d);
    unityVector(axis);
}

}  // namespace lattix
