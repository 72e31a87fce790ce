// Orientation from a plane and a direction in it, and small indices for an arbitrary direction.
#include "plane_direction.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>

#include "crystal_set.h"
#include "index_text.h"
#include "symmetry.h"
#include "vecmath.h"

namespace lattix {

namespace {

// A direction counts as lying in the plane below this |dot| (equal: not).
constexpr double kInPlaneDot = 0.001;

// The library-wide limit cache of Axis2Indices: the last limit text (compared
// without letter case) and its three limits.  Fixed storage, so nothing is
// allocated on the per-pointer path and nothing is left to free at unload.
struct LimitCache {
    bool holdsText = true;
    char text[kLimitTextCapacity + 1] = "000";
    std::int64_t limits[3] = {0, 0, 0};
};
LimitCache limitCache;

char lowerAscii(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

bool sameIgnoringCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (lowerAscii(a[i]) != lowerAscii(b[i])) return false;
    }
    return true;
}

// An unparsable limit text gives zero limits: no candidate is tried.
void refreshLimits(std::string_view text) {
    if (limitCache.holdsText && sameIgnoringCase(text, limitCache.text)) return;
    TIndices idx{};
    const bool parsed = parseIndices(text, true, idx);
    for (int i = 0; i < 3; ++i) {
        // Magnitudes in 64 bits (|INT_MIN| does not fit), then kept within
        // int32 so candidate indices cannot overflow.
        const std::int64_t m = parsed ? std::llabs(std::int64_t{idx.v[i]}) : 0;
        limitCache.limits[i] = std::min<std::int64_t>(m, INT32_MAX);
    }
    limitCache.holdsText = text.size() <= kLimitTextCapacity;
    if (limitCache.holdsText) {
        std::memcpy(limitCache.text, text.data(), text.size());
        limitCache.text[text.size()] = '\0';
    }
}

// The reciprocal axis (a*, b*, c*) most nearly parallel to v; the earlier
// wins ties.
int leadingAxis(const TCrySet& cs, const TVec3D& v) {
    int p = 0;
    double best = -1.0;
    for (int j = 0; j < 3; ++j) {
        TVec3D axis = cs.Recip.col[j];
        unityVector(axis);
        const double d = std::fabs(dot(axis, v));
        if (d > best) {
            best = d;
            p = j;
        }
    }
    return p;
}

// The integers around b (f and f+1 above zero, f-1 and f below), only f when
// |f| is at the limit.  False when |f| exceeds the limit.
bool integerChoices(double b, std::int64_t limit, std::int64_t* choices, int& count) {
    if (!(std::fabs(b) < static_cast<double>(limit) + 1.0)) return false;  // also NaN
    const auto f = static_cast<std::int64_t>(std::trunc(b));
    if (std::llabs(f) > limit) return false;
    if (std::llabs(f) == limit) {
        choices[0] = f;
        count = 1;
    } else if (b >= 0.0) {
        choices[0] = f;
        choices[1] = f + 1;
        count = 2;
    } else {
        choices[0] = f - 1;
        choices[1] = f;
        count = 2;
    }
    return true;
}

struct BestCandidate {
    int indices[3] = {0, 0, 0};
    double dot = 0.0;
};

void consider(const TCrySet& cs, const TVec3D& v, const std::int64_t* candidate,
              BestCandidate& best) {
    TVec3D w = matMul3x1(
        cs.Direct, TVec3D{static_cast<double>(candidate[0]), static_cast<double>(candidate[1]),
                          static_cast<double>(candidate[2])});
    unityVector(w);
    const double d = dot(w, v);
    if (d > best.dot) {  // ties keep the earlier candidate, so smaller k wins
        best.dot = d;
        for (int i = 0; i < 3; ++i)
            best.indices[i] = static_cast<int>(candidate[i]);
    }
}

BestCandidate searchSmallIndices(const TCrySet& cs, const TVec3D& v, const std::int64_t* limits) {
    BestCandidate best;
    const int p = leadingAxis(cs, v);
    const TVec3D raw = matMul3x1(cs.DirectInv, v);
    const double tp = component(raw, p);
    if (!(std::fabs(tp) > 0.0) || !std::isfinite(raw.x + raw.y + raw.z)) return best;
    const TVec3D t = scale(1.0 / std::fabs(tp), raw);
    const int q1 = p == 0 ? 1 : 0;
    const int q2 = p == 2 ? 1 : 2;
    for (std::int64_t k = 1; k <= limits[p]; ++k) {
        const double kd = static_cast<double>(k);
        std::int64_t choices1[2], choices2[2];
        int n1 = 0, n2 = 0;
        if (!integerChoices(kd * component(t, q1), limits[q1], choices1, n1)) break;
        if (!integerChoices(kd * component(t, q2), limits[q2], choices2, n2)) break;
        std::int64_t candidate[3];
        candidate[p] = std::llround(kd * component(t, p));
        for (int a = 0; a < n1; ++a) {
            candidate[q1] = choices1[a];
            for (int b = 0; b < n2; ++b) {
                candidate[q2] = choices2[b];
                consider(cs, v, candidate, best);
            }
        }
    }
    return best;
}

}  // namespace

bool hkluvw2Matrix(const TCrySet& cs, std::string_view hkl, std::string_view uvw, TMat3D& out) {
    str2Vec(cs, false, hkl, out.col[2]);
    TVec3D d;
    str2Vec(cs, true, uvw, d);
    TVec3D equivalents[kSymSetCapacity];
    bool hasAntiparallel = false;
    const int n = symSetDir(cs, true, d, hasAntiparallel, equivalents);
    for (int i = 0; i < n; ++i) {
        if (std::fabs(dot(equivalents[i], out.col[2])) < kInPlaneDot) {
            out.col[0] = equivalents[i];
            return orthogonalMatrix(out);
        }
    }
    return false;
}

void axis2Indices(const TCrySet& cs, const TVec3D& v, bool four, const char* limits, char* text,
                  std::size_t textSize, double& angle) {
    refreshLimits(limits != nullptr ? textView(limits) : std::string_view{});
    BestCandidate best = searchSmallIndices(cs, v, limitCache.limits);
    reduceCommonDivisor(best.indices, 3);
    const TIndices idx{{best.indices[0], best.indices[1], best.indices[2], 0}};
    indicesToText(true, cs.LaueGroup, idx, four, text, textSize);
    angle = arcCos(std::min(best.dot, 1.0));
}

}  // namespace lattix
