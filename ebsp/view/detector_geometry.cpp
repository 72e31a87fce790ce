// Geometry of the detector view: band centre lines, hyperbolic edges, band regions, zone-axis
// markers and the pointer pick, in pixels of the pattern.
#include "detector_geometry.h"

#include <algorithm>
#include <cmath>

namespace ebsp {

namespace {

constexpr double kPi = 3.14159265358979323846;
// Below this the normal counts as lying along the screen normal (as in the library).
constexpr double kTiny = 1e-12;
constexpr int kMaxDepth = 24;
constexpr double kMaxSegment = 64.0;  // pixels; also keeps short wiggles from hiding

TVec3D mul(const TMat3D& m, const TVec3D& v) {
    TVec3D out;
    MatMul3x1(&m, &v, &out);
    return out;
}

bool finite(const TMat3D& m) {
    for (const TVec3D& c : m.col)
        if (!std::isfinite(c.x) || !std::isfinite(c.y) || !std::isfinite(c.z)) return false;
    return true;
}

struct Screen {
    double width, height;
    bool contains(const DetectorPoint& p) const {
        return p.x >= 0.0 && p.x <= width && p.y >= 0.0 && p.y <= height;
    }
    DetectorPoint corner(int i) const {  // clockwise from the top-left
        return DetectorPoint{(i == 1 || i == 2) ? width : 0.0, i >= 2 ? height : 0.0};
    }
};

// Does the segment a-b meet the rectangle grown by margin?  (Liang-Barsky.)
bool segmentMeets(const Screen& s, DetectorPoint a, DetectorPoint b, double margin) {
    double t0 = 0.0, t1 = 1.0;
    const double dx = b.x - a.x, dy = b.y - a.y;
    const double p[4] = {-dx, dx, -dy, dy};
    const double q[4] = {a.x + margin, s.width + margin - a.x, a.y + margin,
                         s.height + margin - a.y};
    for (int i = 0; i < 4; ++i) {
        if (p[i] == 0.0) {
            if (q[i] < 0.0) return false;
            continue;
        }
        const double t = q[i] / p[i];
        if (p[i] < 0.0)
            t0 = std::max(t0, t);
        else
            t1 = std::min(t1, t);
        if (t0 > t1) return false;
    }
    return true;
}

double chordDistance(DetectorPoint a, DetectorPoint b, DetectorPoint p) {
    const double dx = b.x - a.x, dy = b.y - a.y;
    const double len = std::hypot(dx, dy);
    if (len == 0.0) return std::hypot(p.x - a.x, p.y - a.y);
    return std::fabs(dx * (p.y - a.y) - dy * (p.x - a.x)) / len;
}

// One edge: the directions r(phi) = eps sin(theta) n + cos(theta) (cos phi e1 + sin phi e2),
// all with n.r = eps sin(theta), in the projection frame.
struct Edge {
    TVec3D n, e1, e2;
    double eps, sinT, cosT;
    double pcX, pcY, dd;

    TVec3D direction(double phi) const {
        const double a = cosT * std::cos(phi), b = cosT * std::sin(phi), k = eps * sinT;
        return TVec3D{k * n.x + a * e1.x + b * e2.x, k * n.y + a * e1.y + b * e2.y,
                      k * n.z + a * e1.z + b * e2.z};
    }
    DetectorPoint at(double phi) const {
        const TVec3D r = direction(phi);
        return DetectorPoint{pcX + r.x / r.z * dd, pcY - r.y / r.z * dd};
    }
};

struct Sample {
    double phi;
    DetectorPoint p;
};

// Adds the samples of (a, b] to out, refining where the chord strays from the curve, is long,
// or passes over the screen while both ends are off it.
void refine(const Edge& e, const Screen& s, const Sample& a, const Sample& b, double tol, int depth,
            std::vector<Sample>& out) {
    if (depth < kMaxDepth) {
        const double phi = 0.5 * (a.phi + b.phi);
        const Sample m{phi, e.at(phi)};
        const double len = std::hypot(b.p.x - a.p.x, b.p.y - a.p.y);
        const double dev = chordDistance(a.p, b.p, m.p);
        const bool near = segmentMeets(s, a.p, b.p, dev + 2.0 * tol + 1.0) || s.contains(m.p);
        // Both ends off the screen: the arc, within dev of its chord, may still cross a corner.
        const bool grazing = !s.contains(a.p) && !s.contains(b.p) && len > tol &&
                             (s.contains(m.p) || segmentMeets(s, a.p, b.p, dev));
        const bool split = near && (dev > tol || len > kMaxSegment || grazing);
        if (split) {
            refine(e, s, a, m, tol, depth + 1, out);
            refine(e, s, m, b, tol, depth + 1, out);
            return;
        }
    }
    out.push_back(b);
}

// The point where the curve leaves the screen between an inside and an outside sample.  On
// a border line the edge's parameter solves A cos(phi) + B sin(phi) + C = 0; the root in the
// bracket nearest the inside sample is the exit, so the point lies exactly on the edge.
// Bisection on the parameter stays as the fallback.
DetectorPoint crossing(const Edge& e, const Screen& s, Sample inside, Sample outside) {
    const double lo = std::min(inside.phi, outside.phi), hi = std::max(inside.phi, outside.phi);
    const double a = e.cosT, k = e.eps * e.sinT;
    bool found = false;
    Sample best = outside;
    // Border x = X0: r.x dd - (X0 - pcX) r.z = 0;  border y = Y0: r.y dd + (Y0 - pcY) r.z = 0.
    for (int border = 0; border < 4; ++border) {
        const bool vertical = border < 2;
        const double q = vertical ? (border == 0 ? 0.0 : s.width) - e.pcX
                                  : (border == 2 ? 0.0 : s.height) - e.pcY;
        auto coefficient = [&](const TVec3D& v) {
            return vertical ? v.x * e.dd - q * v.z : v.y * e.dd + q * v.z;
        };
        const double A = a * coefficient(e.e1), B = a * coefficient(e.e2), C = k * coefficient(e.n);
        const double R = std::hypot(A, B);
        if (!(R > 0.0) || std::fabs(C) > R) continue;
        const double phi0 = std::atan2(B, A), delta = std::acos(std::clamp(-C / R, -1.0, 1.0));
        for (const double root : {phi0 + delta, phi0 - delta}) {
            double t = std::fmod(root - lo, 2.0 * kPi);
            if (t < 0.0) t += 2.0 * kPi;
            if (t > hi - lo) continue;
            const Sample m{lo + t, e.at(lo + t)};
            if (!(m.p.x >= -1e-6 && m.p.x <= s.width + 1e-6 && m.p.y >= -1e-6 &&
                  m.p.y <= s.height + 1e-6))
                continue;
            if (!found || std::fabs(m.phi - inside.phi) < std::fabs(best.phi - inside.phi)) {
                best = m;
                found = true;
            }
        }
    }
    if (found) {
        inside = best;
    } else {
        for (int i = 0; i < 60; ++i) {
            if (std::hypot(inside.p.x - outside.p.x, inside.p.y - outside.p.y) < 1e-9) break;
            const double phi = 0.5 * (inside.phi + outside.phi);
            const Sample m{phi, e.at(phi)};
            (s.contains(m.p) ? inside : outside) = m;
        }
    }
    // The point is within rounding of the border it crosses: put it on that border.
    DetectorPoint p = inside.p;
    auto snap = [](double& v, double border) {
        if (std::fabs(v - border) < 1e-7) v = border;
    };
    snap(p.x, 0.0);
    snap(p.x, s.width);
    snap(p.y, 0.0);
    snap(p.y, s.height);
    return p;
}

// The pieces of an edge on the screen.  closed: the samples run once round an ellipse.
std::vector<DetectorPolyline> clipEdge(const Edge& e, const Screen& s,
                                       const std::vector<Sample>& samples, bool closed) {
    std::vector<DetectorPolyline> pieces;
    DetectorPolyline current;
    for (size_t i = 0; i < samples.size(); ++i) {
        const Sample& b = samples[i];
        const bool in = s.contains(b.p);
        if (i == 0) {
            if (in) current.push_back(b.p);
            continue;
        }
        const Sample& a = samples[i - 1];
        const bool wasIn = s.contains(a.p);
        if (wasIn && in) {
            current.push_back(b.p);
        } else if (wasIn) {
            current.push_back(crossing(e, s, a, b));
            pieces.push_back(std::move(current));
            current.clear();
        } else if (in) {
            current.push_back(crossing(e, s, b, a));
            current.push_back(b.p);
        }
    }
    if (current.size() >= 2) pieces.push_back(std::move(current));
    // Round a closed curve the last piece runs on into the first.
    if (closed && pieces.size() >= 2 && s.contains(samples.front().p)) {
        DetectorPolyline& last = pieces.back();
        last.insert(last.end(), pieces.front().begin() + 1, pieces.front().end());
        pieces.front() = std::move(last);
        pieces.pop_back();
    }
    pieces.erase(std::remove_if(pieces.begin(), pieces.end(),
                                [](const DetectorPolyline& p) { return p.size() < 2; }),
                 pieces.end());
    return pieces;
}

double cross2(DetectorPoint o, DetectorPoint a, DetectorPoint b) {
    return (a.x - o.x) * (b.y - o.y) - (a.y - o.y) * (b.x - o.x);
}

// Convex hull (monotone chain), collinear points dropped.
DetectorPolyline convexHull(DetectorPolyline pts) {
    std::sort(pts.begin(), pts.end(), [](DetectorPoint a, DetectorPoint b) {
        return a.x < b.x || (a.x == b.x && a.y < b.y);
    });
    if (pts.size() < 3) return {};
    DetectorPolyline hull(2 * pts.size());
    size_t k = 0;
    for (size_t i = 0; i < pts.size(); ++i) {
        while (k >= 2 && cross2(hull[k - 2], hull[k - 1], pts[i]) <= 0)
            --k;
        hull[k++] = pts[i];
    }
    for (size_t i = pts.size() - 1, t = k + 1; i-- > 0;) {
        while (k >= t && cross2(hull[k - 2], hull[k - 1], pts[i]) <= 0)
            --k;
        hull[k++] = pts[i];
    }
    hull.resize(k - 1);
    if (hull.size() < 3) return {};
    return hull;
}

}  // namespace

DetectorProjection::DetectorProjection(const TDetector& detector, const TMat3D& g)
    : detector_(detector), g_(g) {
    TMat3D m;
    if (!finite(g) || DetectorSampleMatrix(&detector_, &m) != 0) return;
    TMat3D gt;
    Transpose(&g_, &gt);
    MatMul3x3(&m, &gt, &toG_);
    valid_ = true;
}

DetectorPoint DetectorProjection::patternCentre() const {
    if (!valid_) return {};
    return DetectorPoint{detector_.PCx * detector_.Width, detector_.PCy * detector_.Height};
}

DetectorPolyline DetectorProjection::frame() const {
    if (!valid_) return {};
    const Screen s{double(detector_.Width), double(detector_.Height)};
    return DetectorPolyline{s.corner(0), s.corner(1), s.corner(2), s.corner(3)};
}

DetectorBandShape DetectorProjection::band(const DetectorBandInput& input, double tolerance) const {
    DetectorBandShape shape;
    shape.rgb = input.rgb;
    if (!valid_) return shape;
    const Screen s{double(detector_.Width), double(detector_.Height)};
    shape.lineStatus = DetectorBandLine(&detector_, &g_, &input.normal, shape.line);
    if (shape.lineStatus < 0) return shape;
    if (shape.lineStatus == 0) {
        // Clip the line's parametric form p0 + t (-b, a) to the rectangle.
        const double a = shape.line[0], b = shape.line[1], c = shape.line[2];
        const DetectorPoint p0{-c * a, -c * b};
        const double big = 4.0 * (s.width + s.height + std::fabs(c));
        DetectorPoint from{p0.x + big * b, p0.y - big * a}, to{p0.x - big * b, p0.y + big * a};
        double t0 = 0.0, t1 = 1.0;
        const double dx = to.x - from.x, dy = to.y - from.y;
        const double p[4] = {-dx, dx, -dy, dy};
        const double q[4] = {from.x, s.width - from.x, from.y, s.height - from.y};
        bool meets = true;
        for (int i = 0; i < 4 && meets; ++i) {
            if (p[i] == 0.0) {
                meets = q[i] >= 0.0;
                continue;
            }
            const double t = q[i] / p[i];
            if (p[i] < 0.0)
                t0 = std::max(t0, t);
            else
                t1 = std::min(t1, t);
            meets = t0 <= t1;
        }
        if (meets)
            shape.centre = {DetectorPoint{from.x + t0 * dx, from.y + t0 * dy},
                            DetectorPoint{from.x + t1 * dx, from.y + t1 * dy}};
    }
    shape.onScreen = shape.lineStatus == 0;

    const double theta = input.halfWidth;
    if (!(theta > 0.0 && theta < 0.5 * kPi)) return shape;

    // The normal in the projection frame, signed as the library signs the centre line.
    TVec3D n = mul(toG_, input.normal);
    UnityVector(&n);
    const double sinA = std::hypot(n.x, n.y);
    const bool flip = std::fabs(n.z) > kTiny ? n.z < 0.0 : (n.x != 0.0 ? n.x < 0.0 : n.y > 0.0);
    if (flip) n = TVec3D{-n.x, -n.y, -n.z};
    Edge edge{n,
              {1, 0, 0},
              {0, 1, 0},
              1.0,
              std::sin(theta),
              std::cos(theta),
              detector_.PCx * s.width,
              detector_.PCy * s.height,
              detector_.PCz * s.height};
    if (sinA > kTiny) edge.e1 = TVec3D{-n.y / sinA, n.x / sinA, 0.0};
    Cross(&n, &edge.e1, &edge.e2, 1);

    // Only directions at least as steep as the screen's farthest corner can land on it.
    double zMin = 1.0;
    for (int i = 0; i < 4; ++i) {
        const DetectorPoint c = s.corner(i);
        const double xg = (c.x - edge.pcX) / edge.dd, yg = (edge.pcY - c.y) / edge.dd;
        zMin = std::min(zMin, 1.0 / std::sqrt(1.0 + xg * xg + yg * yg));
    }
    zMin *= 1.0 - 1e-9;

    // Which sides of the band the corners lie beyond: n.r >= sin(theta) or <= -sin(theta).
    int beyond[2] = {0, 0};
    bool cornerBeyond[2][4] = {};
    for (int i = 0; i < 4; ++i) {
        const DetectorPoint c = s.corner(i);
        TVec3D r{(c.x - edge.pcX) / edge.dd, (edge.pcY - c.y) / edge.dd, 1.0};
        UnityVector(&r);
        const double d = n.x * r.x + n.y * r.y + n.z * r.z;
        cornerBeyond[0][i] = d >= edge.sinT;
        cornerBeyond[1][i] = d <= -edge.sinT;
        beyond[0] += cornerBeyond[0][i];
        beyond[1] += cornerBeyond[1][i];
    }
    if (beyond[0] == 4 || beyond[1] == 4) {
        shape.onScreen = false;  // the whole screen lies beyond one edge
        return shape;
    }
    shape.onScreen = true;

    DetectorPolyline outline = frame();
    shape.fill.push_back(outline);
    for (int k = 0; k < 2; ++k) {
        edge.eps = k == 0 ? 1.0 : -1.0;
        // r_z(phi) = eps sin(theta) n_z + cos(theta) e2_z sin(phi) >= zMin.
        const double amplitude = edge.cosT * edge.e2.z;
        const double base = edge.eps * edge.sinT * n.z;
        double lo = 0.0, hi = 2.0 * kPi;
        bool closed = true;
        if (amplitude > kTiny) {
            const double t = (zMin - base) / amplitude;
            if (t > 1.0) continue;
            if (t > -1.0) {
                lo = std::asin(t);
                hi = kPi - lo;
                closed = false;
            }
        } else if (base < zMin) {
            continue;
        }
        constexpr int kStart = 16;
        std::vector<Sample> samples{{lo, edge.at(lo)}};
        for (int i = 1; i <= kStart; ++i) {
            const double phi = lo + (hi - lo) * i / kStart;
            const Sample next{phi, edge.at(phi)};
            refine(edge, s, samples.back(), next, tolerance, 0, samples);
        }
        shape.edges[k] = clipEdge(edge, s, samples, closed);

        // The part of the screen beyond this edge is convex: its hull closes it.
        DetectorPolyline region;
        for (const DetectorPolyline& piece : shape.edges[k])
            region.insert(region.end(), piece.begin(), piece.end());
        for (int i = 0; i < 4; ++i)
            if (cornerBeyond[k][i]) region.push_back(s.corner(i));
        DetectorPolyline hull = convexHull(std::move(region));
        if (!hull.empty()) shape.fill.push_back(std::move(hull));
    }
    return shape;
}

std::vector<DetectorBandShape> DetectorProjection::bands(
    const std::vector<DetectorBandInput>& inputs, double tolerance) const {
    std::vector<DetectorBandShape> out;
    out.reserve(inputs.size());
    for (const DetectorBandInput& in : inputs)
        out.push_back(band(in, tolerance));
    return out;
}

DetectorZoneMarker DetectorProjection::zoneAxis(const TVec3D& crystalDir) const {
    DetectorZoneMarker marker;
    if (!valid_) return marker;
    marker.status = DetectorProject(&detector_, &g_, &crystalDir, &marker.at.x, &marker.at.y);
    if (marker.status == 2) {
        const TVec3D opposite{-crystalDir.x, -crystalDir.y, -crystalDir.z};
        marker.status = DetectorProject(&detector_, &g_, &opposite, &marker.at.x, &marker.at.y);
        marker.flipped = marker.status == 0 || marker.status == 1;
    }
    if (marker.status < 0) marker.status = 2;
    return marker;
}

bool DetectorProjection::pick(double x, double y, TVec3D& crystalDir) const {
    return valid_ && DetectorDirection(&detector_, &g_, x, y, &crystalDir) == 0;
}

}  // namespace ebsp
