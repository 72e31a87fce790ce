// Unit quaternions of passive orientations (Rowenhorst et al. 2015, P = +1) and their conversions.
#include "quaternion.h"

#include <cmath>
#include <limits>

#include "vecmath.h"

namespace lattix {

namespace {

TQuat withPositiveW(const TQuat& q) {
    if (q.w < 0.0) return TQuat{-q.w, -q.x, -q.y, -q.z};
    return q;
}

}  // namespace

TQuat euler2Quat(const TVec3D& e) {
    const double sigma = 0.5 * (e.x + e.z);
    const double delta = 0.5 * (e.x - e.z);
    const double c = std::cos(0.5 * e.y);
    const double s = std::sin(0.5 * e.y);
    return withPositiveW(TQuat{c * std::cos(sigma), -s * std::cos(delta), -s * std::sin(delta),
                               -c * std::sin(sigma)});
}

TQuat matrix2Quat(const TMat3D& g) {
    const double g00 = at(g, 0, 0), g11 = at(g, 1, 1), g22 = at(g, 2, 2);
    // 4 q0 qk from the antisymmetric part, 4 qi qj from the symmetric part.
    const double r1 = at(g, 2, 1) - at(g, 1, 2);
    const double r2 = at(g, 0, 2) - at(g, 2, 0);
    const double r3 = at(g, 1, 0) - at(g, 0, 1);
    const double s12 = at(g, 0, 1) + at(g, 1, 0);
    const double s13 = at(g, 0, 2) + at(g, 2, 0);
    const double s23 = at(g, 1, 2) + at(g, 2, 1);
    const double m0 = 1.0 + g00 + g11 + g22;
    const double m1 = 1.0 + g00 - g11 - g22;
    const double m2 = 1.0 - g00 + g11 - g22;
    const double m3 = 1.0 - g00 - g11 + g22;
    TQuat q;
    if (m0 >= m1 && m0 >= m2 && m0 >= m3) {
        const double t = 2.0 * std::sqrt(m0);  // 4 |w|
        q = TQuat{0.25 * t, r1 / t, r2 / t, r3 / t};
    } else if (m1 >= m2 && m1 >= m3) {
        const double t = 2.0 * std::sqrt(m1);
        q = TQuat{r1 / t, 0.25 * t, s12 / t, s13 / t};
    } else if (m2 >= m3) {
        const double t = 2.0 * std::sqrt(m2);
        q = TQuat{r2 / t, s12 / t, 0.25 * t, s23 / t};
    } else {
        const double t = 2.0 * std::sqrt(m3);
        q = TQuat{r3 / t, s13 / t, s23 / t, 0.25 * t};
    }
    if (!(m0 == m0 && m1 == m1 && m2 == m2 && m3 == m3)) {
        const double nan = std::numeric_limits<double>::quiet_NaN();
        return TQuat{nan, nan, nan, nan};
    }
    return withPositiveW(q);
}

TMat3D quat2Matrix(const TQuat& q) {
    const double norm = std::sqrt(q.w * q.w + q.x * q.x + q.y * q.y + q.z * q.z);
    const double r = 1.0 / norm;  // a zero q gives infinities and then NaN
    const double w = q.w * r, x = q.x * r, y = q.y * r, z = q.z * r;
    const double bar = w * w - (x * x + y * y + z * z);
    TMat3D g;
    at(g, 0, 0) = bar + 2.0 * x * x;
    at(g, 0, 1) = 2.0 * (x * y - w * z);
    at(g, 0, 2) = 2.0 * (x * z + w * y);
    at(g, 1, 0) = 2.0 * (x * y + w * z);
    at(g, 1, 1) = bar + 2.0 * y * y;
    at(g, 1, 2) = 2.0 * (y * z - w * x);
    at(g, 2, 0) = 2.0 * (x * z - w * y);
    at(g, 2, 1) = 2.0 * (y * z + w * x);
    at(g, 2, 2) = bar + 2.0 * z * z;
    return g;
}

}  // namespace lattix
