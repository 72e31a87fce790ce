// Symmetry sets of orientations and directions, and the reduction of Euler triples into a group's
// zone.
#include "symmetry.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstdint>
#include <numbers>

#include "library_state.h"
#include "orientation.h"
#include "vecmath.h"

namespace lattix {

namespace {

constexpr double kPi = std::numbers::pi;
constexpr double kHalfPi = std::numbers::pi / 2.0;
// Two equivalents whose dot product is beyond this count as the same
// direction (or as opposite senses); an equal value is not beyond it.
constexpr double kSameDirectionDot = 0.99999999995;

// (S.M).diag(sx, sy, sz): right-multiplying by a diagonal two-fold only
// changes column signs, so it is done without a product.
TMat3D withColumnSigns(const TMat3D& m, double sx, double sy, double sz) {
    TMat3D out = m;
    out.col[0] = scale(sx, m.col[0]);
    out.col[1] = scale(sy, m.col[1]);
    out.col[2] = scale(sz, m.col[2]);
    return out;
}

int specimenBlocks(int specimenCode) {
    if (specimenCode == kSpecimenMonoclinic) return 2;
    if (specimenCode == kSpecimenOrthorhombic) return 4;
    return 1;
}

// Boundary of the cubic zone in Phi as a function of phi2.
double cubicBoundary(double x) {
    const double c = std::cos(x);
    return arcCos(c / std::sqrt(c * c + 1.0));
}

// phi2 into one period of the group's rotation about Z.
void reducePhi2(TVec3D& e, const TVec3D& limits) {
    e.z = modulus(e.z, limits.z);
}

// Cubic groups: a triple beyond Phi max is turned over by the two-fold about Y.
void reflectCubicPhi(TVec3D& e, const TVec3D& limits) {
    if (e.y > limits.y) {
        e.x = modulus(e.x + kPi, limits.x);
        e.y = 2.0 * limits.y - e.y;
        e.z = limits.z - e.z;
    }
}

// Non-cubic groups: phi1 beyond its maximum.  Removing an odd number of half
// turns from phi1 is the two-fold about Y, so only then are Phi and phi2
// turned over as well; removing whole turns changes phi1 alone.  (Turning
// them over for whole turns would give an orientation that is not
// equivalent, for example in groups without a two-fold about Y.)
TVec3D reducedPhi1(const TVec3D& e, const TVec3D& limits) {
    TVec3D r = e;
    r.x = modulus(e.x, limits.x);
    const double halfTurns = std::round((e.x - r.x) / kPi);
    if (std::fmod(halfTurns, 2.0) != 0.0) {
        r.y = limits.y - e.y;
        r.z = limits.z - e.z;
    }
    return r;
}

bool passesThreeFoldTest(const TVec3D& e) {
    return cubicBoundary(e.z) > e.y && cubicBoundary(kHalfPi - e.z) >= e.y;
}

// The orientation m turned by the crystal three-fold about [111] by k times
// 120 degrees, as a triple.
TVec3D threeFoldTurn(const TMat3D& m, const TVec3D& e, int k) {
    const double r = 1.0 / std::sqrt(3.0);
    const TVec3D axis{r, r, r};
    TMat3D turned;
    for (int j = 0; j < 3; ++j) {
        turned.col[j] = coneVector(axis, m.col[j], k * 2.0 * kPi / 3.0);
        unityVector(turned.col[j]);
    }
    TVec3D out = e;
    matrixToEuler(turned, out);
    return out;
}

// The triple, then its 120 and 240 degree three-fold turns.
void threeFoldCandidates(const TVec3D& e, TVec3D* candidates) {
    const TMat3D m = euler2Matrix(e);
    candidates[0] = e;
    candidates[1] = threeFoldTurn(m, e, 1);
    candidates[2] = threeFoldTurn(m, e, 2);
}

// Strict running minimum of Phi from pi/2: the earliest candidate wins ties;
// -1 when none lies below pi/2.
int smallestPhiBelowHalfPi(const TVec3D* candidates, int count) {
    double best = kHalfPi;
    int index = -1;
    for (int k = 0; k < count; ++k) {
        if (candidates[k].y < best) {
            best = candidates[k].y;
            index = k;
        }
    }
    return index;
}

TVec3D threeFoldChoice(const TVec3D& e) {
    // About a third of all triples pass as they are; the turns are formed
    // only when needed, which gives the same result.
    if (passesThreeFoldTest(e)) return e;
    TVec3D candidates[3];
    threeFoldCandidates(e, candidates);
    for (int k = 1; k < 3; ++k) {
        if (passesThreeFoldTest(candidates[k])) return candidates[k];
    }
    const int index = smallestPhiBelowHalfPi(candidates, 3);
    return candidates[index >= 0 ? index : 2];
}

// The triples of e's symmetry set strictly inside the box, in slot order;
// returns their number.  last receives the set's last triple (e when the set
// is empty).
int keptSetTriples(const TCrySet& cs, const TVec3D& e, TVec3D* kept, TVec3D& last) {
    TVec3D set[kSymSetCapacity];
    const int n = symSetEul(cs, kSpecimenNone, e, set);
    const TVec3D& limits = cs.EulerLimits;
    int count = 0;
    for (int i = 0; i < n; ++i) {
        const TVec3D& t = set[i];
        if (t.x < limits.x && t.y < limits.y && t.z < limits.z) kept[count++] = t;
    }
    last = n > 0 ? set[n - 1] : e;
    return count;
}

TVec3D setChoice(const TCrySet& cs, const TVec3D& e) {
    TVec3D kept[kSymSetCapacity];
    TVec3D last;
    const int count = keptSetTriples(cs, e, kept, last);
    for (int k = 0; k < count; ++k) {
        const TVec3D& t = kept[k];
        if (cubicBoundary(t.z) > t.y && cubicBoundary(kHalfPi - t.z) >= t.y &&
            cubicBoundary(kPi - t.z) > t.y) {
            return t;
        }
    }
    if (count == 0) return last;
    const int index = smallestPhiBelowHalfPi(kept, count);
    return kept[index >= 0 ? index : count - 1];
}

}  // namespace

void matrixToEuler(const TMat3D& g, TVec3D& e) {
    if (!matrix2Euler(g, e)) showMessageBox("Error Matrix2Euler", "");
}

int operatorCount(const TCrySet& cs) {
    return std::clamp(cs.SymOpCount, 0, kSymSetCapacity);
}

int symSetMat(const TCrySet& cs, int specimenCode, const TMat3D& m, TMat3D* out) {
    const int blocks = specimenBlocks(specimenCode);
    const int n = std::min(operatorCount(cs), kSymSetCapacity / blocks);
    for (int i = 0; i < n; ++i)
        out[i] = matMul3x3(cs.SymOps[i], m);
    if (blocks == 2) {
        for (int i = 0; i < n; ++i)
            out[n + i] = withColumnSigns(out[i], -1.0, -1.0, 1.0);
    } else if (blocks == 4) {
        for (int i = 0; i < n; ++i) {
            out[n + i] = withColumnSigns(out[i], 1.0, -1.0, -1.0);
            out[2 * n + i] = withColumnSigns(out[i], -1.0, 1.0, -1.0);
            out[3 * n + i] = withColumnSigns(out[i], -1.0, -1.0, 1.0);
        }
    }
    return n * blocks;
}

int symSetEul(const TCrySet& cs, int specimenCode, const TVec3D& e, TVec3D* out) {
    TMat3D set[kSymSetCapacity];
    const int n = symSetMat(cs, specimenCode, euler2Matrix(e), set);
    for (int i = 0; i < n; ++i) {
        out[i] = TVec3D{0.0, 0.0, 0.0};
        matrixToEuler(set[i], out[i]);
    }
    return n;
}

int symSetDir(const TCrySet& cs, bool dropAntiparallel, const TVec3D& d, bool& hasAntiparallel,
              TVec3D* out) {
    hasAntiparallel = false;
    const int n = operatorCount(cs);
    bool live[kSymSetCapacity];
    for (int i = 0; i < n; ++i) {
        out[i] = matMul3x1(cs.SymOps[i], d);
        live[i] = true;
    }
    for (int a = 0; a + 1 < n; ++a) {
        if (!live[a]) continue;
        for (int b = a + 1; b < n; ++b) {
            if (!live[b]) continue;
            const double p = dot(out[a], out[b]);
            if (p > kSameDirectionDot) {
                live[b] = false;
            } else if (p < -kSameDirectionDot) {
                hasAntiparallel = true;
                if (dropAntiparallel) live[b] = false;
            }
        }
    }
    int count = 0;
    for (int i = 0; i < n; ++i) {
        if (live[i]) out[count++] = out[i];
    }
    return count;
}

namespace {
// On the bits: a NaN or infinite value has all exponent bits set.  Integer
// tests run beside the floating-point work of this hot path.
bool allFinite(const TVec3D& v) {
    constexpr std::uint64_t kExponent = std::uint64_t{0x7ff} << 52;
    const auto finite = [](double d) {
        return (std::bit_cast<std::uint64_t>(d) & kExponent) != kExponent;
    };
    return finite(v.x) & finite(v.y) & finite(v.z);
}
}  // namespace

void normalizeEuler(const TCrySet& cs, TVec3D& e) {
    // No angle to reduce: any result would be an invented orientation.
    if (!allFinite(e)) return;
    const TVec3D& limits = cs.EulerLimits;
    reducePhi2(e, limits);
    if (cs.LaueGroup >= 10) {
        reflectCubicPhi(e, limits);
        if (cs.LaueGroup == 11) {
            e = threeFoldChoice(e);
        } else if (cs.LaueGroup == 10) {
            e = setChoice(cs, e);
        }
        return;
    }
    if (e.x > limits.x) e = reducedPhi1(e, limits);
}

void specialNormalizeEuler(const TCrySet& cs, const TVec3D& e, TVec3D* out, std::int32_t& count) {
    const TVec3D& limits = cs.EulerLimits;
    TVec3D copy = e;
    reducePhi2(copy, limits);
    if (cs.LaueGroup >= 10) {
        reflectCubicPhi(copy, limits);
        if (cs.LaueGroup == 11) {
            threeFoldCandidates(copy, out);
            count = 3;
        } else if (cs.LaueGroup == 10) {
            TVec3D last;
            count = keptSetTriples(cs, copy, out, last);
        }
        return;
    }
    if (copy.x > limits.x) {
        out[0] = reducedPhi1(copy, limits);
        count = 1;
    }
}

}  // namespace lattix
