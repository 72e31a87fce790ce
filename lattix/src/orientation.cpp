// Orientation representations: Bunge ZXZ Euler angles, the passive rotation
// matrix g (specimen to crystal), axis-angle and direction angles.
#include "orientation.h"

#include <cmath>
#include <numbers>

#include "vecmath.h"

namespace lattix {

namespace {

constexpr double kPi = std::numbers::pi;

// Angle in [0, 2pi] from its cosine and sine; a cosine beyond +-1 gives 0 or pi.
double angleFromCosSin(double c, double s) {
    if (c > 1.0) return 0.0;
    if (c < -1.0) return kPi;
    const double a = arcCos(c);
    return s >= 0.0 ? a : 2.0 * kPi - a;
}

// |g(3,3)| at or above this counts as Phi = 0 or pi.
constexpr double kSingularCos = 0.999999985;
// Products of rotation matrices leave g(3,3) a few ulps beyond +-1; up to this
// much is rounding, not a broken matrix.
constexpr double kCosSlack = 1e-12;

}  // namespace

TMat3D euler2Matrix(const TVec3D& e) {
    double s1 = 0.0, c1 = 0.0, s = 0.0, c = 0.0, s2 = 0.0, c2 = 0.0;
    sinCos(e.x, s1, c1);
    sinCos(e.y, s, c);
    sinCos(e.z, s2, c2);
    TMat3D g;
    at(g, 0, 0) = c1 * c2 - s1 * s2 * c;
    at(g, 0, 1) = s1 * c2 + c1 * s2 * c;
    at(g, 0, 2) = s2 * s;
    at(g, 1, 0) = -c1 * s2 - s1 * c2 * c;
    at(g, 1, 1) = -s1 * s2 + c1 * c2 * c;
    at(g, 1, 2) = c2 * s;
    at(g, 2, 0) = s1 * s;
    at(g, 2, 1) = -c1 * s;
    at(g, 2, 2) = c;
    return g;
}

bool matrix2Euler(const TMat3D& g, TVec3D& e) {
    double g33 = at(g, 2, 2);
    if (!(std::fabs(g33) <= 1.0 + kCosSlack)) return false;  // also refuses NaN
    if (g33 > 1.0) g33 = 1.0;
    if (g33 < -1.0) g33 = -1.0;
    const double phi = arcCos(g33);
    e.y = phi;
    if (std::fabs(g33) < kSingularCos) {
        const double r = 1.0 / std::sin(phi);
        const double sinPhi1 = at(g, 2, 0) * r;
        const double cosPhi1 = -at(g, 2, 1) * r;
        const double sinPhi2 = at(g, 0, 2) * r;
        const double cosPhi2 = at(g, 1, 2) * r;
        if (!std::isfinite(sinPhi2) || !std::isfinite(cosPhi2)) return false;
        e.z = angleFromCosSin(cosPhi2, sinPhi2);
        if (!std::isfinite(sinPhi1) || !std::isfinite(cosPhi1)) return false;
        e.x = angleFromCosSin(cosPhi1, sinPhi1);
        return true;
    }
    // Phi at 0 or pi: phi1 and phi2 are not separable, phi1 takes the whole turn.
    e.z = 0.0;
    if (!std::isfinite(at(g, 0, 0)) || !std::isfinite(at(g, 0, 1))) return false;
    e.x = angleFromCosSin(at(g, 0, 0), at(g, 0, 1));
    return true;
}

TMat3D axisAngle2Matrix(const TVec3D& n, double w) {
    double s = 0.0, c = 0.0;
    sinCos(w, s, c);
    const double t = 1.0 - c;
    const double x = n.x, y = n.y, z = n.z;
    TMat3D m;
    at(m, 0, 0) = x * x * t + c;
    at(m, 0, 1) = x * y * t + s * z;
    at(m, 0, 2) = x * z * t - s * y;
    at(m, 1, 0) = x * y * t - s * z;
    at(m, 1, 1) = y * y * t + c;
    at(m, 1, 2) = y * z * t + s * x;
    at(m, 2, 0) = x * z * t + s * y;
    at(m, 2, 1) = y * z * t - s * x;
    at(m, 2, 2) = z * z * t + c;
    return m;
}

TVec3D ang2Dir(double phi, double theta) {
    double sp = 0.0, cp = 0.0, st = 0.0, ct = 0.0;
    sinCos(phi, sp, cp);
    sinCos(theta, st, ct);
    return TVec3D{ct * cp, ct * sp, st};
}

void dir2Ang(const TVec3D& v, double& phi, double& theta) {
    // The zero vector has no direction and gives 0, 0 whatever the signs of
    // its zeros (atan2 of negative zeros would give pi for a negated zero).
    if (v.x == 0.0 && v.y == 0.0 && v.z == 0.0) {
        phi = 0.0;
        theta = 0.0;
        return;
    }
    phi = std::atan2(v.y, v.x);
    // A negative zero y would give -pi; the azimuth range is (-pi, pi].
    if (phi <= -kPi) phi = kPi;
    theta = std::atan2(v.z, std::sqrt(v.x * v.x + v.y * v.y));
}

}  // namespace lattix
