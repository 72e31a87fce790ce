// EBSD detector geometry: the sample-to-screen rotation, the gnomonic projection in pixels
// and the pattern-centre conventions.
#include "detector.h"

#include <algorithm>
#include <cmath>

#include "vecmath.h"

namespace lattix {

namespace {

constexpr double kDegree = 3.14159265358979323846 / 180.0;
// Directions this close to the screen plane (relative to their length) reach it only at
// infinity once rounding is allowed for.
constexpr double kHorizon = 1e-12;

// Active right-handed rotations, element (row, column).
TMat3D activeRotation(int axis, double degrees) {
    const double c = std::cos(degrees * kDegree);
    const double s = std::sin(degrees * kDegree);
    TMat3D m = identity();
    const int i = (axis + 1) % 3;
    const int j = (axis + 2) % 3;
    at(m, i, i) = c;
    at(m, i, j) = -s;
    at(m, j, i) = s;
    at(m, j, j) = c;
    return m;
}

}  // namespace

bool isFinite(const TVec3D& v) {
    return std::isfinite(v.x) && std::isfinite(v.y) && std::isfinite(v.z);
}

bool isFinite(const TMat3D& m) {
    return isFinite(m.col[0]) && isFinite(m.col[1]) && isFinite(m.col[2]);
}

bool isPcConvention(int32_t convention) {
    return convention >= lxPcBruker && convention <= lxPcEmsoft5;
}

bool conventionNeedsPixelSize(int32_t convention) {
    return convention == lxPcEmsoft4 || convention == lxPcEmsoft5;
}

int32_t checkDetector(const TDetector& d, bool checkPc, bool needPixelSize) {
    if (d.Width < 1 || d.Height < 1 || d.Binning < 1) return lxDetBadField;
    for (double v : {d.PixelSize, d.SampleTilt, d.Tilt, d.Azimuthal, d.Twist})
        if (!std::isfinite(v)) return lxDetBadField;
    if (needPixelSize && !(d.PixelSize > 0.0)) return lxDetBadField;
    if (checkPc) {
        if (!std::isfinite(d.PCx) || !std::isfinite(d.PCy) || !std::isfinite(d.PCz))
            return lxDetBadField;
        if (!(d.PCz > 0.0)) return lxDetBadField;
    }
    return 0;
}

void pcToBruker(const TDetector& d, int32_t convention, const double in[3], double out[3]) {
    const double nx = d.Width, ny = d.Height, b = d.Binning;
    switch (convention) {
        case lxPcEdax:
            out[0] = in[0];
            out[1] = 1.0 - in[1];
            out[2] = in[2] * std::min(nx, ny) / ny;
            break;
        case lxPcWidth:
            out[0] = in[0];
            out[1] = 1.0 - in[1] * nx / ny;
            out[2] = in[2] * nx / ny;
            break;
        case lxPcEmsoft4:
        case lxPcEmsoft5: {
            const double x = in[0] / (nx * b);
            out[0] = convention == lxPcEmsoft4 ? 0.5 + x : 0.5 - x;
            out[1] = 0.5 - in[1] / (ny * b);
            out[2] = in[2] / (ny * b * d.PixelSize);
            break;
        }
        default:
            std::copy(in, in + 3, out);
            break;
    }
}

void pcFromBruker(const TDetector& d, int32_t convention, const double in[3], double out[3]) {
    const double nx = d.Width, ny = d.Height, b = d.Binning;
    switch (convention) {
        case lxPcEdax:
            out[0] = in[0];
            out[1] = 1.0 - in[1];
            out[2] = in[2] * ny / std::min(nx, ny);
            break;
        case lxPcWidth:
            out[0] = in[0];
            out[1] = (1.0 - in[1]) * ny / nx;
            out[2] = in[2] * ny / nx;
            break;
        case lxPcEmsoft4:
        case lxPcEmsoft5: {
            const double x = (in[0] - 0.5) * nx * b;
            out[0] = convention == lxPcEmsoft4 ? x : -x;
            out[1] = (0.5 - in[1]) * ny * b;
            out[2] = in[2] * ny * b * d.PixelSize;
            break;
        }
        default:
            std::copy(in, in + 3, out);
            break;
    }
}

TMat3D sampleToDetector(const TDetector& d) {
    // P takes (x, y, z)_S to (y, z, x): with all angles 0, X_G = TD, Y_G = ND, Z_G = RD.
    TMat3D p{};
    at(p, 0, 1) = 1.0;
    at(p, 1, 2) = 1.0;
    at(p, 2, 0) = 1.0;
    TMat3D m = matMul3x3(activeRotation(0, d.SampleTilt - d.Tilt), p);
    m = matMul3x3(activeRotation(1, d.Azimuthal), m);
    return matMul3x3(activeRotation(2, d.Twist), m);
}

DetectorFrame makeDetectorFrame(const TDetector& d, const TMat3D& g) {
    const TMat3D m = sampleToDetector(d);
    DetectorFrame f{};
    f.toG = matMul3x3(m, transpose(g));
    f.toCrystal = matMul3x3(g, transpose(m));
    f.width = d.Width;
    f.height = d.Height;
    f.pcX = d.PCx * f.width;
    f.pcY = d.PCy * f.height;
    f.dd = d.PCz * f.height;
    return f;
}

int32_t projectDirection(const DetectorFrame& f, const TVec3D& v, double& x, double& y) {
    const TVec3D g = matMul3x1(f.toG, v);
    const double length = std::sqrt(g.x * g.x + g.y * g.y + g.z * g.z);
    if (!(g.z > kHorizon * length)) return kAtInfinity;
    const double px = f.pcX + g.x / g.z * f.dd;
    const double py = f.pcY - g.y / g.z * f.dd;
    if (!std::isfinite(px) || !std::isfinite(py)) return kAtInfinity;
    x = px;
    y = py;
    const bool inside = px >= 0.0 && px <= f.width && py >= 0.0 && py <= f.height;
    return inside ? kOnScreen : kOffScreen;
}

bool pixelDirection(const DetectorFrame& f, double x, double y, TVec3D& out) {
    TVec3D r{(x - f.pcX) / f.dd, (f.pcY - y) / f.dd, 1.0};
    if (!isFinite(r) || !unityVector(r)) return false;
    TVec3D c = matMul3x1(f.toCrystal, r);
    if (!isFinite(c) || !unityVector(c)) return false;  // a singular g
    out = c;
    return true;
}

int32_t bandLine(const DetectorFrame& f, const TVec3D& n, double line[3]) {
    TVec3D g = matMul3x1(f.toG, n);
    if (!unityVector(g)) return kAtInfinity;
    // A normal in the screen plane leaves the sign open: then a > 0, or a = 0 and b > 0.
    const bool flip = std::fabs(g.z) > kHorizon ? g.z < 0.0 : (g.x != 0.0 ? g.x < 0.0 : g.y > 0.0);
    if (flip) g = scale(-1.0, g);
    const double s = std::sqrt(g.x * g.x + g.y * g.y);  // sine of the angle to Z_G
    if (!(s > kHorizon)) return kAtInfinity;
    const double a = g.x / s;
    const double b = -g.y / s;
    const double c = (-g.x * f.pcX + g.y * f.pcY + g.z * f.dd) / s;
    if (!std::isfinite(c)) return kAtInfinity;
    line[0] = a;
    line[1] = b;
    line[2] = c;
    double lo = c, hi = c;
    for (double cx : {0.0, f.width})
        for (double cy : {0.0, f.height}) {
            const double v = a * cx + b * cy + c;
            lo = std::min(lo, v);
            hi = std::max(hi, v);
        }
    return lo <= 0.0 && hi >= 0.0 ? kOnScreen : kOffScreen;
}

}  // namespace lattix
