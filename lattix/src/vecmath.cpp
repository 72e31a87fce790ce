// Vector and matrix arithmetic on the C records.  Sums of products are formed
// left to right in the written order so results match the exports bit for bit.
#include "vecmath.h"

#include <algorithm>
#include <cmath>

namespace lattix {

TVec3D matMul3x1(const TMat3D& m, const TVec3D& v) {
    TVec3D out;
    out.x = at(m, 0, 0) * v.x + at(m, 0, 1) * v.y + at(m, 0, 2) * v.z;
    out.y = at(m, 1, 0) * v.x + at(m, 1, 1) * v.y + at(m, 1, 2) * v.z;
    out.z = at(m, 2, 0) * v.x + at(m, 2, 1) * v.y + at(m, 2, 2) * v.z;
    return out;
}

TMat3D matMul3x3(const TMat3D& a, const TMat3D& b) {
    TMat3D out;
    for (int j = 0; j < 3; ++j)
        out.col[j] = matMul3x1(a, b.col[j]);
    return out;
}

double dot(const TVec3D& a, const TVec3D& b) {
    return a.x * b.x + a.y * b.y + a.z * b.z;
}

double det3x3(const TMat3D& m) {
    return at(m, 0, 0) * at(m, 1, 1) * at(m, 2, 2) + at(m, 0, 1) * at(m, 1, 2) * at(m, 2, 0) +
           at(m, 0, 2) * at(m, 1, 0) * at(m, 2, 1) - at(m, 0, 2) * at(m, 1, 1) * at(m, 2, 0) -
           at(m, 0, 0) * at(m, 1, 2) * at(m, 2, 1) - at(m, 0, 1) * at(m, 1, 0) * at(m, 2, 2);
}

bool unityVector(TVec3D& v) {
    const double squares = v.x * v.x + v.y * v.y + v.z * v.z;
    if (std::isfinite(squares)) {
        const double length = std::sqrt(squares);
        // Written as !(length > bound) so that a NaN vector also takes the fallback.
        if (!(length > 1e-8)) {
            v = TVec3D{1.0, 0.0, 0.0};
            return false;
        }
        const double r = 1.0 / length;
        v.x *= r;
        v.y *= r;
        v.z *= r;
        return true;
    }
    // The squares overflowed (or a component is infinite or NaN): scale by
    // the largest component first.  A length beyond the double range is no
    // finite length and takes the fallback too.
    const double largest = std::max({std::fabs(v.x), std::fabs(v.y), std::fabs(v.z)});
    const TVec3D scaled{v.x / largest, v.y / largest, v.z / largest};
    const double unitLength =
        std::sqrt(scaled.x * scaled.x + scaled.y * scaled.y + scaled.z * scaled.z);
    if (!std::isfinite(largest) || !std::isfinite(largest * unitLength) ||
        !std::isfinite(unitLength)) {
        v = TVec3D{1.0, 0.0, 0.0};
        return false;
    }
    v = TVec3D{scaled.x / unitLength, scaled.y / unitLength, scaled.z / unitLength};
    return true;
}

TVec3D cross(const TVec3D& a, const TVec3D& b) {
    return TVec3D{a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
}

TVec3D add(const TVec3D& a, const TVec3D& b) {
    return TVec3D{a.x + b.x, a.y + b.y, a.z + b.z};
}

TVec3D subtract(const TVec3D& a, const TVec3D& b) {
    return TVec3D{a.x - b.x, a.y - b.y, a.z - b.z};
}

TVec3D scale(double s, const TVec3D& v) {
    return TVec3D{s * v.x, s * v.y, s * v.z};
}

TMat3D transpose(const TMat3D& m) {
    TMat3D out;
    for (int i = 0; i < 3; ++i)
        for (int j = 0; j < 3; ++j)
            at(out, i, j) = at(m, j, i);
    return out;
}

TMat3D identity() {
    TMat3D out{};
    for (int i = 0; i < 3; ++i)
        at(out, i, i) = 1.0;
    return out;
}

namespace {

// Cofactor of element (i, j), 0-based: signed minor with row i and column j removed.
double cofactor(const TMat3D& m, int i, int j) {
    const int r0 = i == 0 ? 1 : 0, r1 = i == 2 ? 1 : 2;
    const int c0 = j == 0 ? 1 : 0, c1 = j == 2 ? 1 : 2;
    const double minor = at(m, r0, c0) * at(m, r1, c1) - at(m, r0, c1) * at(m, r1, c0);
    return ((i + j) % 2 == 0) ? minor : -minor;
}

}  // namespace

bool inverseMatrix(const TMat3D& src, TMat3D& dst) {
    const double d = det3x3(src);
    // The bound is absolute: reciprocal-lattice matrices of small cells go through here too.
    if (!(std::fabs(d) >= 1e-5)) return false;
    const double r = 1.0 / d;
    TMat3D out;
    for (int i = 0; i < 3; ++i)
        for (int j = 0; j < 3; ++j)
            at(out, j, i) = r * cofactor(src, i, j);
    dst = out;
    return true;
}

TVec3D coneVector(const TVec3D& axis, const TVec3D& v, double w) {
    const TVec3D p = scale(dot(axis, v), axis);
    const TVec3D q = subtract(v, p);
    double s = 0.0, c = 0.0;
    sinCos(w, s, c);
    TVec3D out = add(p, scale(c, q));
    return add(out, scale(s, cross(axis, q)));
}

bool rotateUnityMatrix(int k, double w, TMat3D& out) {
    if (k < 0 || k > 2) return false;
    double s = 0.0, c = 0.0;
    sinCos(w, s, c);
    TMat3D m{};
    switch (k) {
        case 0:
            at(m, 0, 0) = 1.0;
            at(m, 1, 1) = c;
            at(m, 1, 2) = s;
            at(m, 2, 1) = -s;
            at(m, 2, 2) = c;
            break;
        case 1:
            at(m, 0, 0) = c;
            at(m, 0, 2) = -s;
            at(m, 1, 1) = 1.0;
            at(m, 2, 0) = s;
            at(m, 2, 2) = c;
            break;
        default:
            at(m, 0, 0) = c;
            at(m, 0, 1) = s;
            at(m, 1, 0) = -s;
            at(m, 1, 1) = c;
            at(m, 2, 2) = 1.0;
            break;
    }
    out = m;
    return true;
}

TVec3D mirror(const TVec3D& n, const TVec3D& v) {
    return subtract(v, scale(2.0 * dot(n, v), n));
}

bool orthogonalMatrix(TMat3D& m) {
    if (!unityVector(m.col[2])) return false;
    m.col[1] = cross(m.col[2], m.col[0]);
    if (!unityVector(m.col[1])) return false;
    m.col[0] = cross(m.col[1], m.col[2]);
    return unityVector(m.col[0]);
}

double modulus(double a, double b) {
    const double t = std::trunc(a / b);
    // Negative input lands in (0, b]: a negative exact multiple gives b, not 0.
    return a >= 0.0 ? a - b * t : a - b * (t - 1.0);
}

double arcCos(double x) {
    return std::atan2(std::sqrt(1.0 - x * x), x);
}

void sinCos(double angle, double& sine, double& cosine) {
    sine = std::sin(angle);
    cosine = std::cos(angle);
}

}  // namespace lattix
