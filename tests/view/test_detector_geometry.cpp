// Detector view geometry against independent oracles: the worked edge positions of nickel
// bands, the cone condition |r.n| = sin(theta) at every edge point (through the pixel inverse
// of the library), the band region against a per-pixel angle test, and the library's own
// centre lines and projections.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <random>

#include "detector_geometry.h"

namespace {

using ebsp::DetectorBandInput;
using ebsp::DetectorBandShape;
using ebsp::DetectorPoint;
using ebsp::DetectorPolyline;
using ebsp::DetectorProjection;

constexpr double kPi = 3.14159265358979323846;
constexpr double kDeg = kPi / 180.0;
const TMat3D kIdentity{{{1, 0, 0}, {0, 1, 0}, {0, 0, 1}}};

TDetector detector(int rows, int columns, double pcx, double pcy, double pcz) {
    TDetector d{};
    d.Width = columns;
    d.Height = rows;
    d.Binning = 1;
    d.PixelSize = 50.0;
    d.SampleTilt = 70.0;
    d.PCx = pcx;
    d.PCy = pcy;
    d.PCz = pcz;
    return d;
}

// Nickel, identity orientation, 640 x 480, PC (0.5, 0.3, 0.6).
TDetector p1() {
    return detector(480, 640, 0.5, 0.3, 0.6);
}

TMat3D euler(double phi1, double phi, double phi2) {
    const TVec3D e{phi1, phi, phi2};
    TMat3D g;
    Euler2Matrix(&e, &g);
    return g;
}

double dot(const TVec3D& a, const TVec3D& b) {
    return a.x * b.x + a.y * b.y + a.z * b.z;
}

TVec3D unit(TVec3D v) {
    UnityVector(&v);
    return v;
}

// n.r at pixel p, by the library's inverse.
double coneValue(const TDetector& d, const TMat3D& g, const TVec3D& n, DetectorPoint p) {
    TVec3D r;
    EXPECT_EQ(DetectorDirection(&d, &g, p.x, p.y, &r), 0);
    return dot(r, n);
}

// X where a polyline piece crosses the row y, or NaN.
double crossingAtRow(const std::vector<DetectorPolyline>& pieces, double y) {
    for (const DetectorPolyline& piece : pieces)
        for (size_t i = 1; i < piece.size(); ++i) {
            const DetectorPoint a = piece[i - 1], b = piece[i];
            if ((a.y - y) * (b.y - y) > 0 || a.y == b.y) continue;
            return a.x + (b.x - a.x) * (y - a.y) / (b.y - a.y);
        }
    return std::numeric_limits<double>::quiet_NaN();
}

double distanceToPieces(const std::vector<DetectorPolyline>& pieces, DetectorPoint p) {
    double best = 1e300;
    for (const DetectorPolyline& piece : pieces)
        for (size_t i = 1; i < piece.size(); ++i) {
            const DetectorPoint a = piece[i - 1], b = piece[i];
            const double dx = b.x - a.x, dy = b.y - a.y, l2 = dx * dx + dy * dy;
            const double t =
                l2 > 0 ? std::clamp(((p.x - a.x) * dx + (p.y - a.y) * dy) / l2, 0.0, 1.0) : 0.0;
            best = std::min(best, std::hypot(a.x + t * dx - p.x, a.y + t * dy - p.y));
        }
    return best;
}

// Odd-even rule over closed polygons.
bool filled(const std::vector<DetectorPolyline>& polygons, DetectorPoint p) {
    bool inside = false;
    for (const DetectorPolyline& poly : polygons)
        for (size_t i = 0, j = poly.size() - 1; i < poly.size(); j = i++) {
            const DetectorPoint a = poly[i], b = poly[j];
            if ((a.y > p.y) != (b.y > p.y) && p.x < (b.x - a.x) * (p.y - a.y) / (b.y - a.y) + a.x)
                inside = !inside;
        }
    return inside;
}

TEST(DetectorGeometry, EdgesOfNickelBandsAtTheWorkedPositions) {
    const TDetector d = p1();
    const DetectorProjection view(d, kIdentity);
    ASSERT_TRUE(view.valid());
    // (020) through the PC: edges x = +-tan(theta_B) sqrt(1 + y^2), widening downwards.
    const DetectorBandShape b020 =
        view.band(DetectorBandInput{{0, 2, 0}, 1.398109 * kDeg, 0x808080}, 0.01);
    EXPECT_EQ(b020.lineStatus, 0);
    EXPECT_TRUE(b020.onScreen);
    EXPECT_EQ(b020.rgb, 0x808080u);
    EXPECT_NEAR(crossingAtRow(b020.edges[0], 144), 327.029057, 0.02);
    EXPECT_NEAR(crossingAtRow(b020.edges[1], 144), 312.970943, 0.02);
    EXPECT_NEAR(crossingAtRow(b020.edges[0], 0), 327.858724, 1e-4);
    EXPECT_NEAR(crossingAtRow(b020.edges[1], 0), 312.141276, 1e-4);
    EXPECT_NEAR(crossingAtRow(b020.edges[0], 480), 330.800784, 1e-4);
    EXPECT_NEAR(crossingAtRow(b020.edges[1], 480), 309.199216, 1e-4);
    // (200): edges[0] is the one on the PC's side (below the line here).
    const DetectorBandShape b200 =
        view.band(DetectorBandInput{{2, 0, 0}, 1.398109 * kDeg, 0}, 0.01);
    EXPECT_LT(distanceToPieces(b200.edges[0], {320, 47.066709}), 0.02);
    EXPECT_LT(distanceToPieces(b200.edges[1], {320, 31.145000}), 0.02);
    // (-111): both edge points on the perpendicular from the PC.
    const DetectorBandShape b111 =
        view.band(DetectorBandInput{{-1, 1, 1}, 1.210768 * kDeg, 0}, 0.01);
    EXPECT_LT(distanceToPieces(b111.edges[0], {259.085704, 222.074631}), 0.02);
    EXPECT_LT(distanceToPieces(b111.edges[1], {250.584519, 232.970708}), 0.02);
    // The centre segment is the library's line, cut at the border.
    ASSERT_EQ(b111.centre.size(), 2u);
    EXPECT_NEAR(b111.centre[0].x, 0.0, 1e-9);
    EXPECT_NEAR(b111.centre[0].y, 28.630683, 1e-5);
    EXPECT_NEAR(b111.centre[1].x, 578.525815, 1e-5);
    EXPECT_NEAR(b111.centre[1].y, 480.0, 1e-9);
}

// Random orientations and detectors; every band of a small list of planes.
struct Scene {
    TDetector d;
    TMat3D g;
};

std::vector<Scene> randomScenes(int count) {
    std::mt19937_64 rng(17);
    std::uniform_real_distribution<double> u(0.0, 1.0);
    std::vector<Scene> scenes;
    for (int i = 0; i < count; ++i) {
        TDetector d = detector(200 + int(300 * u(rng)), 200 + int(400 * u(rng)), 0.2 + 0.6 * u(rng),
                               0.1 + 0.6 * u(rng), 0.3 + 0.6 * u(rng));
        d.Tilt = -10 + 20 * u(rng);
        d.Azimuthal = -5 + 10 * u(rng);
        d.Twist = -5 + 10 * u(rng);
        scenes.push_back({d, euler(2 * kPi * u(rng), std::acos(2 * u(rng) - 1), 2 * kPi * u(rng))});
    }
    return scenes;
}

const TVec3D kPlanes[] = {{1, 1, 1}, {-1, 1, 1}, {2, 0, 0}, {0, 2, 0}, {2, 2, 0},
                          {3, 1, 1}, {1, -3, 1}, {4, 2, 0}, {3, 3, 1}, {0, 0, 2}};

TEST(DetectorGeometry, EdgePointsLieOnTheirConesAndOnTheScreen) {
    int points = 0;
    for (const Scene& sc : randomScenes(12)) {
        const DetectorProjection view(sc.d, sc.g);
        for (const TVec3D& hkl : kPlanes) {
            const double theta = 0.0858851 / (2.0 * 3.52 / std::sqrt(dot(hkl, hkl)));
            const DetectorBandShape shape = view.band(DetectorBandInput{hkl, theta, 0}, 0.1);
            const TVec3D n = unit(hkl);
            for (int k = 0; k < 2; ++k)
                for (const DetectorPolyline& piece : shape.edges[k]) {
                    ASSERT_GE(piece.size(), 2u);
                    for (const DetectorPoint& p : piece) {
                        EXPECT_GE(p.x, 0.0);
                        EXPECT_LE(p.x, sc.d.Width);
                        EXPECT_GE(p.y, 0.0);
                        EXPECT_LE(p.y, sc.d.Height);
                        // Border points are snapped by less than 1e-9 px.
                        EXPECT_NEAR(std::fabs(coneValue(sc.d, sc.g, n, p)), std::sin(theta), 1e-10);
                        ++points;
                    }
                    // Chords stay within the tolerance of the curve: the cone value at a
                    // chord's middle is off by at most its slope times 0.1 px.
                    for (size_t i = 1; i < piece.size(); ++i) {
                        const DetectorPoint a = piece[i - 1], b = piece[i];
                        const DetectorPoint m{0.5 * (a.x + b.x), 0.5 * (a.y + b.y)};
                        const double h = 1e-3;
                        const double gx = (coneValue(sc.d, sc.g, n, {m.x + h, m.y}) -
                                           coneValue(sc.d, sc.g, n, {m.x - h, m.y})) /
                                          (2 * h);
                        const double gy = (coneValue(sc.d, sc.g, n, {m.x, m.y + h}) -
                                           coneValue(sc.d, sc.g, n, {m.x, m.y - h})) /
                                          (2 * h);
                        const double off =
                            std::fabs(std::fabs(coneValue(sc.d, sc.g, n, m)) - std::sin(theta)) /
                            std::hypot(gx, gy);
                        EXPECT_LT(off, 0.1 * 1.05 + 1e-6);
                    }
                }
            // The centre segment lies on the library's line.
            double line[3];
            const int status = DetectorBandLine(&sc.d, &sc.g, &hkl, line);
            EXPECT_EQ(shape.lineStatus, status);
            EXPECT_EQ(shape.centre.size(), status == 0 ? 2u : 0u);
            for (const DetectorPoint& p : shape.centre)
                EXPECT_NEAR(line[0] * p.x + line[1] * p.y + line[2], 0.0, 1e-9);
        }
    }
    EXPECT_GT(points, 1000);
}

// Pixels in the odd-even fill are exactly those within theta of the plane's circle (pixels
// within a small margin of an edge are not judged).
void expectFillMatchesAngles(const TDetector& d, const TMat3D& g, const TVec3D& hkl, double theta,
                             int* judged) {
    const DetectorProjection view(d, g);
    const DetectorBandShape shape = view.band(DetectorBandInput{hkl, theta, 0}, 0.02);
    const TVec3D n = unit(hkl);
    bool anyInBand = false;
    for (double y = 0.37; y < d.Height; y += d.Height / 41.0)
        for (double x = 0.21; x < d.Width; x += d.Width / 53.0) {
            const double c = std::fabs(coneValue(d, g, n, {x, y}));
            if (std::fabs(c - std::sin(theta)) < 0.02 * std::sin(theta)) continue;
            const bool inBand = c < std::sin(theta);
            anyInBand = anyInBand || inBand;
            EXPECT_EQ(filled(shape.fill, {x, y}), inBand) << x << ", " << y;
            ++*judged;
        }
    EXPECT_EQ(shape.onScreen, anyInBand || shape.lineStatus == 0);
}

TEST(DetectorGeometry, FillIsTheBandRegion) {
    int judged = 0;
    for (const Scene& sc : randomScenes(4))
        for (const TVec3D& hkl : kPlanes)
            expectFillMatchesAngles(sc.d, sc.g, hkl, 0.03, &judged);
    // Wide bands, and bands that circle the pattern centre on a very wide screen (ellipses),
    // with the crystal frame along the detector (g = M_SG).
    TDetector wide = detector(100, 120, 0.45, 0.55, 0.05);
    TMat3D toG;
    ASSERT_EQ(DetectorSampleMatrix(&wide, &toG), 0);
    for (double tiltDeg : {0.0, 5.0, 10.0, 25.0, 60.0, 89.0}) {
        const TVec3D n{std::sin(tiltDeg * kDeg), 0.0, std::cos(tiltDeg * kDeg)};
        expectFillMatchesAngles(wide, toG, n, 30 * kDeg, &judged);
        expectFillMatchesAngles(wide, toG, n, 8 * kDeg, &judged);
    }
    EXPECT_GT(judged, 10000);
}

TEST(DetectorGeometry, BandAroundThePatternCentreIsAClosedEdge) {
    TDetector d = detector(100, 100, 0.5, 0.5, 0.05);
    TMat3D toG;
    ASSERT_EQ(DetectorSampleMatrix(&d, &toG), 0);
    const DetectorProjection view(d, toG);
    // Normal along the screen normal: the centre line is at infinity, the near edge is the
    // circle of gnomonic radius cot(90 - theta)... r_z = sin(theta): radius cot(theta) DD.
    const double theta = 30 * kDeg;
    const DetectorBandShape shape = view.band(DetectorBandInput{{0, 0, 1}, theta, 0}, 0.01);
    EXPECT_EQ(shape.lineStatus, 2);
    EXPECT_TRUE(shape.centre.empty());
    EXPECT_TRUE(shape.edges[1].empty());
    ASSERT_EQ(shape.edges[0].size(), 1u);
    const DetectorPolyline& circle = shape.edges[0][0];
    EXPECT_NEAR(circle.front().x, circle.back().x, 1e-9);
    EXPECT_NEAR(circle.front().y, circle.back().y, 1e-9);
    for (const DetectorPoint& p : circle)
        EXPECT_NEAR(std::hypot(p.x - 50, p.y - 50), 5.0 / std::tan(theta), 1e-9);
    EXPECT_TRUE(shape.onScreen);
    EXPECT_FALSE(filled(shape.fill, {50, 50}));
    EXPECT_TRUE(filled(shape.fill, {2, 3}));
}

TEST(DetectorGeometry, BandsOffTheScreenAndWithoutWidth) {
    const TDetector d = p1();
    TMat3D toG;
    ASSERT_EQ(DetectorSampleMatrix(&d, &toG), 0);
    const DetectorProjection view(d, toG);
    // The plane y_g = 2 lies 432 px above the top border, far beyond its width.
    const DetectorBandShape off = view.band(DetectorBandInput{{0, 1, -2}, 0.02, 0});
    EXPECT_EQ(off.lineStatus, 1);
    EXPECT_FALSE(off.onScreen);
    EXPECT_TRUE(off.fill.empty());
    EXPECT_TRUE(off.edges[0].empty() && off.edges[1].empty());
    // A band whose centre line misses the screen but whose edge reaches it.
    const DetectorBandShape edgeOnly = view.band(DetectorBandInput{{0, 1, -2}, 0.75, 0});
    EXPECT_EQ(edgeOnly.lineStatus, 1);
    EXPECT_TRUE(edgeOnly.onScreen);
    EXPECT_FALSE(edgeOnly.edges[0].empty());
    // No width: the centre line only.
    const DetectorBandShape bare = view.band(DetectorBandInput{{1, 0, 0}, 0.0, 0});
    EXPECT_EQ(bare.centre.size(), 2u);
    EXPECT_TRUE(bare.fill.empty() && bare.edges[0].empty() && bare.edges[1].empty());
    // A band covering the whole screen fills the frame.
    const DetectorBandShape all = view.band(DetectorBandInput{{1, 0, 0}, 1.4, 0});
    ASSERT_EQ(all.fill.size(), 1u);
    EXPECT_EQ(all.fill[0].size(), 4u);
}

TEST(DetectorGeometry, ZoneAxesPatternCentreAndPick) {
    const TDetector d = p1();
    const DetectorProjection view(d, kIdentity);
    const DetectorPoint pc = view.patternCentre();
    EXPECT_DOUBLE_EQ(pc.x, 320.0);
    EXPECT_DOUBLE_EQ(pc.y, 144.0);
    const DetectorPolyline frame = view.frame();
    ASSERT_EQ(frame.size(), 4u);
    EXPECT_DOUBLE_EQ(frame[2].x, 640.0);
    EXPECT_DOUBLE_EQ(frame[2].y, 480.0);

    struct Case {
        TVec3D uvw;
        int status;
        bool flipped;
    };
    const Case cases[] = {{{0, 0, 1}, 0, false},
                          {{0, 0, -1}, 0, true},
                          {{-1, -1, -1}, 0, true},
                          {{1, 0, 0}, 1, false},
                          {{0, 1, 0}, 2, false}};
    for (const Case& c : cases) {
        const ebsp::DetectorZoneMarker m = view.zoneAxis(c.uvw);
        EXPECT_EQ(m.status, c.status);
        EXPECT_EQ(m.flipped, c.flipped);
        if (c.status == 2) continue;
        const TVec3D drawn = c.flipped ? TVec3D{-c.uvw.x, -c.uvw.y, -c.uvw.z} : c.uvw;
        double x, y;
        EXPECT_EQ(DetectorProject(&d, &kIdentity, &drawn, &x, &y), c.status);
        EXPECT_EQ(m.at.x, x);
        EXPECT_EQ(m.at.y, y);
    }
    const ebsp::DetectorZoneMarker z111 = view.zoneAxis({1, 1, 1});
    EXPECT_NEAR(z111.at.x, 544.699331, 1e-6);
    EXPECT_NEAR(z111.at.y, 278.296606, 1e-6);

    // The pointer at the marker of [111] reads [111]; the PC reads the PC direction.
    TVec3D r;
    ASSERT_TRUE(view.pick(z111.at.x, z111.at.y, r));
    EXPECT_NEAR(r.x, 1 / std::sqrt(3.0), 1e-12);
    EXPECT_NEAR(r.z, 1 / std::sqrt(3.0), 1e-12);
    ASSERT_TRUE(view.pick(pc.x, pc.y, r));
    EXPECT_NEAR(r.x, std::cos(70 * kDeg), 1e-12);
    EXPECT_NEAR(r.z, std::sin(70 * kDeg), 1e-12);
}

TEST(DetectorGeometry, RefusedDetectorGivesNothing) {
    TDetector d = p1();
    d.PCz = 0.0;
    const DetectorProjection view(d, kIdentity);
    EXPECT_FALSE(view.valid());
    const DetectorBandShape shape = view.band(DetectorBandInput{{1, 1, 1}, 0.02, 0});
    EXPECT_FALSE(shape.onScreen);
    EXPECT_TRUE(shape.centre.empty() && shape.fill.empty());
    EXPECT_EQ(view.zoneAxis({0, 0, 1}).status, 2);
    TVec3D r{};
    EXPECT_FALSE(view.pick(1, 1, r));
    TMat3D bad = kIdentity;
    bad.col[0].x = std::numeric_limits<double>::quiet_NaN();
    EXPECT_FALSE(DetectorProjection(p1(), bad).valid());
}

}  // namespace
