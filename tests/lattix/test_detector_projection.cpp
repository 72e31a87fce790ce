// Detector projection exports against worked numbers: the sample-to-detector rotation and its
// quaternion (kikuchipy tests and recomputed values), zone-axis pixel positions, the pixel
// inverse, band centre lines, and the pitfalls that other programs' users met.
#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <vector>

#include "../support/lattix_test_support.h"
#include "lattixDetector.h"

namespace {

using namespace lattix_test;

TDetector detector(int rows, int columns, double pcx, double pcy, double pcz, double tilt = 0.0) {
    TDetector d{};
    d.Width = columns;
    d.Height = rows;
    d.Binning = 1;
    d.PixelSize = 50.0;
    d.SampleTilt = 70.0;
    d.Tilt = tilt;
    d.PCx = pcx;
    d.PCy = pcy;
    d.PCz = pcz;
    return d;
}

// The P1 set-up: Ni at the identity orientation, 640 x 480, PC (0.5, 0.3, 0.6).
TDetector p1(double tilt = 0.0) {
    return detector(480, 640, 0.5, 0.3, 0.6, tilt);
}

const TMat3D kIdentity{{{1, 0, 0}, {0, 1, 0}, {0, 0, 1}}};

TMat3D sampleMatrix(const TDetector& d) {
    TMat3D m;
    EXPECT_EQ(DetectorSampleMatrix(&d, &m), 0);
    return m;
}

struct Quat {
    double w, x, y, z;
};

// R(q) of the written-out standard formula, independent of the library's construction.
TMat3D quatMatrix(const Quat& q) {
    const double w = q.w, x = q.x, y = q.y, z = q.z;
    return fromRows({1 - 2 * (y * y + z * z), 2 * (x * y - w * z), 2 * (x * z + w * y),
                     2 * (x * y + w * z), 1 - 2 * (x * x + z * z), 2 * (y * z - w * x),
                     2 * (x * z - w * y), 2 * (y * z + w * x), 1 - 2 * (x * x + y * y)});
}

// Matrix -> quaternion with w >= 0 (the formula with the signs of the skew parts).
Quat matrixQuat(const TMat3D& m) {
    auto sgn = [](double v) { return v < 0 ? -1.0 : 1.0; };
    const double m00 = el(m, 0, 0), m11 = el(m, 1, 1), m22 = el(m, 2, 2);
    return Quat{
        0.5 * std::sqrt(std::max(0.0, 1 + m00 + m11 + m22)),
        0.5 * std::sqrt(std::max(0.0, 1 + m00 - m11 - m22)) * sgn(el(m, 2, 1) - el(m, 1, 2)),
        0.5 * std::sqrt(std::max(0.0, 1 - m00 + m11 - m22)) * sgn(el(m, 0, 2) - el(m, 2, 0)),
        0.5 * std::sqrt(std::max(0.0, 1 - m00 - m11 + m22)) * sgn(el(m, 1, 0) - el(m, 0, 1))};
}

TEST(DetectorSampleMatrix, WorkedRotationsAndQuaternions) {
    struct Case {
        double sigma, theta, omega, gamma;
        std::initializer_list<double> rows;
        Quat q;
    };
    const Case cases[] = {
        {70,
         0,
         0,
         0,
         {0, 1, 0, -0.939693, 0, 0.342020, 0.342020, 0, 0.939693},
         {0.696364, -0.122788, -0.122788, -0.696364}},
        {90, 0, 0, 0, {0, 1, 0, -1, 0, 0, 0, 0, 1}, {0.707107, 0, 0, -0.707107}},
        {70,
         8.3,
         4.7,
         -1.02,
         {0.023166, 0.996479, 0.080573, -0.881029, -0.017742, 0.472729, 0.472494, -0.081939,
          0.877517},
         {0.686102, -0.202108, -0.142807, -0.684122}},
        {70,
         10,
         0,
         0,
         {0, 1, 0, -0.866025, 0, 0.5, 0.5, 0, 0.866025},
         {0.683013, -0.183013, -0.183013, -0.683013}},
        {70,
         0,
         5,
         0,
         {0.029809, 0.996195, 0.081900, -0.939693, 0, 0.342020, 0.340719, -0.087156, 0.936117},
         {0.701057, -0.153046, -0.092296, -0.690346}},
        {70,
         0,
         0,
         5,
         {0.081900, 0.996195, -0.029809, -0.936117, 0.087156, 0.340719, 0.342020, 0, 0.939693},
         {0.726076, -0.117315, -0.128027, -0.665326}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message()
                     << c.sigma << " " << c.theta << " " << c.omega << " " << c.gamma);
        TDetector d = p1();
        d.SampleTilt = c.sigma;
        d.Tilt = c.theta;
        d.Azimuthal = c.omega;
        d.Twist = c.gamma;
        const TMat3D m = sampleMatrix(d);
        expectMat(m, fromRows(c.rows), 1e-6);
        expectMat(m, quatMatrix(c.q), 2e-6);
        const Quat q = matrixQuat(m);
        EXPECT_NEAR(q.w, c.q.w, 1e-6);
        EXPECT_NEAR(q.x, c.q.x, 1e-6);
        EXPECT_NEAR(q.y, c.q.y, 1e-6);
        EXPECT_NEAR(q.z, c.q.z, 1e-6);
        // A proper rotation.
        EXPECT_NEAR(Det3x3(&m), 1.0, 1e-12);
    }
}

TEST(DetectorSampleMatrix, DirectionOfTheRotationAndAngleSigns) {
    // Sample -> G, not its inverse: ND lands above the PC, and the PC direction is
    // (cos 70, 0, sin 70) in the sample frame.
    const TMat3D m = sampleMatrix(p1());
    const TVec3D nd{0, 0, 1};
    TVec3D g;
    MatMul3x1(&m, &nd, &g);
    EXPECT_NEAR(g.x, 0.0, 1e-12);
    EXPECT_NEAR(g.y, 0.342020, 1e-6);
    EXPECT_NEAR(g.z, 0.939693, 1e-6);
    TMat3D mt;
    Transpose(&m, &mt);
    MatMul3x1(&mt, &nd, &g);
    EXPECT_NEAR(g.x, 0.342020, 1e-6);
    EXPECT_NEAR(g.y, 0.0, 1e-12);
    EXPECT_NEAR(g.z, 0.939693, 1e-6);

    // Y_G (row 2) does not depend on the azimuthal angle.
    TDetector d = p1();
    d.Tilt = 8.3;
    const TMat3D m0 = sampleMatrix(d);
    d.Azimuthal = 17.0;
    const TMat3D m1 = sampleMatrix(d);
    for (int j = 0; j < 3; ++j)
        EXPECT_NEAR(el(m0, 1, j), el(m1, 1, j), 1e-15);

    // Azimuthal > 0 moves the old screen normal right, to x_g = tan(omega); twist > 0 turns
    // every gnomonic point counter-clockwise about the PC.
    const TVec3D pcDir{el(m0, 2, 0), el(m0, 2, 1), el(m0, 2, 2)};
    MatMul3x1(&m1, &pcDir, &g);
    EXPECT_NEAR(g.x / g.z, std::tan(17.0 * kDeg), 1e-12);
    EXPECT_NEAR(g.y / g.z, 0.0, 1e-12);
    d.Azimuthal = 0.0;
    d.Twist = 25.0;
    const TMat3D m2 = sampleMatrix(d);
    std::mt19937_64 rng(5);
    std::uniform_real_distribution<double> u(-1.0, 1.0);
    for (int i = 0; i < 20; ++i) {
        const TVec3D s{u(rng), u(rng), u(rng)};
        TVec3D a, b;
        MatMul3x1(&m0, &s, &a);
        MatMul3x1(&m2, &s, &b);
        const double c = std::cos(25.0 * kDeg), sn = std::sin(25.0 * kDeg);
        EXPECT_NEAR(b.x / b.z, c * a.x / a.z - sn * a.y / a.z, 1e-9);
        EXPECT_NEAR(b.y / b.z, sn * a.x / a.z + c * a.y / a.z, 1e-9);
    }
}

struct ZoneCase {
    TVec3D uvw;
    int status;
    double x, y;
    double angleFromPc;  // degrees; negative: not checked
};

double angleDeg(const TVec3D& a, const TVec3D& b) {
    const double c = Dot(&a, &b) / std::sqrt(Dot(&a, &a) * Dot(&b, &b));
    return std::acos(std::max(-1.0, std::min(1.0, c))) / kDeg;
}

void checkZones(const TDetector& d, const TMat3D& g, const std::vector<ZoneCase>& cases) {
    TVec3D pcDir;
    ASSERT_EQ(DetectorDirection(&d, &g, d.PCx * d.Width, d.PCy * d.Height, &pcDir), 0);
    for (const ZoneCase& c : cases) {
        SCOPED_TRACE(testing::Message() << "[" << c.uvw.x << c.uvw.y << c.uvw.z << "]");
        double x = -1, y = -1;
        // Cubic Ni: Direct = 3.52 I, the length of the vector does not matter.
        const TVec3D v{3.52 * c.uvw.x, 3.52 * c.uvw.y, 3.52 * c.uvw.z};
        EXPECT_EQ(DetectorProject(&d, &g, &v, &x, &y), c.status);
        if (c.status == 2) continue;
        EXPECT_NEAR(x, c.x, 1e-6);
        EXPECT_NEAR(y, c.y, 1e-6);
        if (c.angleFromPc >= 0) {
            EXPECT_NEAR(angleDeg(v, pcDir), c.angleFromPc, 1e-6);
        }
    }
}

TEST(DetectorProject, ZoneAxesOfTheIdentityOrientation) {
    checkZones(p1(), kIdentity,
               {{{0, 0, 1}, 0, 320.0, 39.176573, 20.0},
                {{1, 0, 1}, 0, 320.0, 278.296606, 25.0},
                {{0, 1, 1}, 0, 626.483198, 39.176573, 48.358857},
                {{1, 1, 1}, 0, 544.699331, 278.296606, 42.268822},
                {{-1, 0, 1}, 1, 320.0, -473.617993, 65.0},
                {{1, 0, 0}, 1, 320.0, 935.273497, 70.0},
                {{0, 1, 0}, 2, 0, 0, -1},
                {{0, -1, 0}, 2, 0, 0, -1},
                {{0, 0, -1}, 2, 0, 0, -1}});
    // Detector tilt 10: features move up.
    checkZones(p1(10.0), kIdentity,
               {{{0, 0, 1}, 1, 320.0, -22.276878, -1},
                {{1, 0, 1}, 0, 320.0, 221.169367, -1},
                {{1, 1, 1}, 0, 530.830633, 221.169367, -1}});
}

TEST(DetectorProject, CrystalFrameAlongTheDetectorProjectsAtUOverW) {
    // Orientation (90, 20, 0) = (90, 90 - sigma + theta, 0) makes g = M_SG.
    const TDetector d = detector(60, 60, 0.4221, 0.2179, 0.4954);
    const TMat3D g = euler(TVec3D{90 * kDeg, 20 * kDeg, 0});
    expectMat(g, sampleMatrix(d), 1e-15);
    checkZones(d, g,
               {{{0, 0, 1}, 0, 25.326, 13.074, 0.0},
                {{1, 0, 1}, 0, 55.050, 13.074, 45.0},
                {{0, -1, 1}, 0, 25.326, 42.798, 45.0},
                {{1, -1, 1}, 0, 55.050, 42.798, -1},
                {{1, 0, 2}, 0, 40.188, 13.074, -1},
                {{-1, -1, 3}, 0, 15.418, 22.982, -1},
                {{0, 1, 1}, 1, 25.326, -16.65, -1},
                {{-1, 0, 1}, 1, -4.398, 13.074, -1}});
    // u/w, v/w by hand, for a direction no table lists.
    const TVec3D v{2, -3, 5};
    double x, y;
    ASSERT_EQ(DetectorProject(&d, &g, &v, &x, &y), 0);
    const double dd = 0.4954 * 60;
    EXPECT_NEAR(x, 0.4221 * 60 + 0.4 * dd, 1e-12);
    EXPECT_NEAR(y, 0.2179 * 60 + 0.6 * dd, 1e-12);
}

TEST(DetectorDirection, PixelCentresAndPublishedGnomonicCoordinates) {
    // Row 100, column 200 of P1.
    const TDetector d1 = p1();
    TVec3D r;
    ASSERT_EQ(DetectorDirection(&d1, &kIdentity, 200.5, 100.5, &r), 0);
    EXPECT_NEAR(r.x, 0.183037, 1e-6);
    EXPECT_NEAR(r.y, -0.379573, 1e-6);
    EXPECT_NEAR(r.z, 0.906875, 1e-6);
    EXPECT_NEAR(std::sqrt(Dot(&r, &r)), 1.0, 1e-15);
    EXPECT_NEAR(angleDeg(r, TVec3D{0, 0, 1}), 24.923010, 1e-6);
    EXPECT_NEAR(std::asin(std::fabs(r.y)) / kDeg, 22.307215, 1e-6);  // to plane (020)
    EXPECT_NEAR(std::asin(std::fabs(r.x)) / kDeg, 10.546716, 1e-6);  // to plane (200)
    TVec3D pc;
    ASSERT_EQ(DetectorDirection(&d1, &kIdentity, 320, 144, &pc), 0);
    EXPECT_NEAR(angleDeg(r, pc), 23.824646, 1e-6);
    const TMat3D g = euler(TVec3D{90 * kDeg, 20 * kDeg, 0});
    ASSERT_EQ(DetectorDirection(&d1, &g, 200.5, 100.5, &r), 0);
    EXPECT_NEAR(r.x, -0.379573, 1e-6);
    EXPECT_NEAR(r.y, 0.138171, 1e-6);
    EXPECT_NEAR(r.z, 0.914786, 1e-6);

    // kikuchipy's pixel <-> gnomonic pairs, (row, column) -> (y_g, x_g); with g = M_SG the
    // crystal frame is G and x_g = r.x / r.z.  Two of the published x_g differ from the
    // mapping in double precision by 1.8e-8.
    struct Case {
        double pcx, pcy, pcz, row, column, yg, xg;
    };
    const Case cases[] = {
        {0.4214844, 0.21500351, 0.50201974, 12.7, 36.2, 0.00664684, 0.36223463},
        {0.42414583, 0.21014019, 0.50104439, 12.7, 36.2, -0.00304659, 0.35762800},
        {0.42414583, 0.21014019, 0.50104439, 43.7, 2.5, -1.03422601, -0.76336381},
        {0.42414583, 0.21014019, 0.50104439, 27.7, 8.2, -0.50200438, -0.57375985},
    };
    for (const Case& c : cases) {
        const TDetector d = detector(60, 60, c.pcx, c.pcy, c.pcz);
        const TMat3D toG = sampleMatrix(d);
        ASSERT_EQ(DetectorDirection(&d, &toG, c.column, c.row, &r), 0);
        EXPECT_NEAR(r.x / r.z, c.xg, 3e-8);
        EXPECT_NEAR(r.y / r.z, c.yg, 3e-8);
    }
}

TEST(DetectorDirection, InverseOfProjectForAnyGeometry) {
    std::mt19937_64 rng(11);
    std::uniform_real_distribution<double> u(0.0, 1.0);
    for (int trial = 0; trial < 50; ++trial) {
        TDetector d =
            detector(100 + static_cast<int>(400 * u(rng)), 100 + static_cast<int>(400 * u(rng)),
                     0.2 + 0.6 * u(rng), 0.1 + 0.8 * u(rng), 0.3 + u(rng), -10 + 20 * u(rng));
        d.SampleTilt = 60 + 20 * u(rng);
        d.Azimuthal = -10 + 20 * u(rng);
        d.Twist = -10 + 20 * u(rng);
        const TMat3D g = euler(randomEuler(rng));
        for (int k = 0; k < 10; ++k) {
            const double x = -50 + (d.Width + 100) * u(rng), y = -50 + (d.Height + 100) * u(rng);
            TVec3D r;
            ASSERT_EQ(DetectorDirection(&d, &g, x, y, &r), 0);
            double bx, by;
            const int status = DetectorProject(&d, &g, &r, &bx, &by);
            const bool inside = x >= 0 && x <= d.Width && y >= 0 && y <= d.Height;
            EXPECT_EQ(status, inside ? 0 : 1);
            EXPECT_NEAR(bx, x, 1e-9);
            EXPECT_NEAR(by, y, 1e-9);
            TVec3D minus{-r.x, -r.y, -r.z};
            EXPECT_EQ(DetectorProject(&d, &g, &minus, &bx, &by), 2);
        }
    }
}

struct BandCase {
    TVec3D hkl;
    int status;
    double a, b, c;
    std::vector<std::pair<double, double>> onLine;  // border crossings from the table
};

TEST(DetectorBandLine, CentreLinesOfNickel) {
    const TDetector d = p1();
    const BandCase cases[] = {
        {{0, 2, 0}, 0, 1, 0, -320, {{320, 0}, {320, 480}}},
        {{2, 0, 0}, 0, 0, 1, -39.176573, {{0, 39.176573}, {640, 39.176573}}},
        {{-1, 1, 1}, 0, 0.615133, -0.788424, 22.573104, {{0, 28.630683}, {578.525815, 480}}},
        {{1, 1, 1}, 0, 0.858373, 0.513026, -31.701058, {{0, 61.792306}, {36.931561, 0}}},
    };
    for (const BandCase& c : cases) {
        SCOPED_TRACE(testing::Message() << "(" << c.hkl.x << c.hkl.y << c.hkl.z << ")");
        for (double sign : {1.0, -1.0}) {  // (hkl) and (-h-k-l) are one band
            const TVec3D n{sign * c.hkl.x / 3.52, sign * c.hkl.y / 3.52, sign * c.hkl.z / 3.52};
            double line[3];
            ASSERT_EQ(DetectorBandLine(&d, &kIdentity, &n, line), c.status);
            EXPECT_NEAR(line[0], c.a, 1e-6);
            EXPECT_NEAR(line[1], c.b, 1e-6);
            EXPECT_NEAR(line[2], c.c, 1e-6);
            EXPECT_NEAR(line[0] * line[0] + line[1] * line[1], 1.0, 1e-15);
            for (auto [x, y] : c.onLine)
                EXPECT_NEAR(line[0] * x + line[1] * y + line[2], 0, 2e-6);
        }
    }
    // The (200) line passes through [001], (-111) through [101]; the PC lies on the
    // non-negative side at DD cot(alpha) = 288 * 0.363970 from (200).
    double line[3], x, y;
    const TVec3D n200{1, 0, 0}, nm111{-1, 1, 1}, z001{0, 0, 1}, z101{1, 0, 1};
    ASSERT_EQ(DetectorBandLine(&d, &kIdentity, &n200, line), 0);
    ASSERT_EQ(DetectorProject(&d, &kIdentity, &z001, &x, &y), 0);
    EXPECT_NEAR(line[0] * x + line[1] * y + line[2], 0, 1e-9);
    EXPECT_NEAR(line[0] * 320 + line[1] * 144 + line[2], 288 * 0.363970, 1e-4);
    ASSERT_EQ(DetectorBandLine(&d, &kIdentity, &nm111, line), 0);
    ASSERT_EQ(DetectorProject(&d, &kIdentity, &z101, &x, &y), 0);
    EXPECT_NEAR(line[0] * x + line[1] * y + line[2], 0, 1e-9);
}

TEST(DetectorBandLine, OffScreenAndAtInfinity) {
    // With g = M_SG crystal and G frames coincide: the plane y_g = 2 lies above the screen
    // (its top is y_g = 0.5), at Y = 144 - 2 * 288 = -432.
    const TDetector d = p1();
    const TMat3D toG = sampleMatrix(d);
    const TVec3D above{0, 1, -2};
    double line[3] = {9, 9, 9};
    ASSERT_EQ(DetectorBandLine(&d, &toG, &above, line), 1);
    EXPECT_NEAR(line[0], 0, 1e-12);
    EXPECT_NEAR(line[1], 1, 1e-12);
    EXPECT_NEAR(line[2], 432, 1e-9);
    const TVec3D alongAxis{0, 0, 3};
    line[0] = line[1] = line[2] = 9;
    EXPECT_EQ(DetectorBandLine(&d, &toG, &alongAxis, line), 2);
    EXPECT_EQ(line[0], 9);
    EXPECT_EQ(line[2], 9);
    // The left border X = 0 (x_g = -320/288) counts as crossing the closed rectangle.
    const TVec3D corner{1, 0, 320.0 / 288.0};
    ASSERT_EQ(DetectorBandLine(&d, &toG, &corner, line), 0);
    EXPECT_NEAR(line[2], 0, 1e-9);
}

TEST(DetectorBandLine, ZoneAxesLieOnTheirBandsInEveryCrystalSystem) {
    std::mt19937_64 rng(3);
    std::uniform_int_distribution<int> idx(-3, 3);
    for (int laue : {1, 2, 3, 5, 7, 9, 11}) {
        SCOPED_TRACE(laue);
        TCrySet cs{};
        initSuitedCrySet(cs, laue);
        TDetector d = p1(5.0);
        d.Azimuthal = 3;
        d.Twist = -2;
        const TMat3D g = euler(randomEuler(rng));
        int checked = 0;
        for (int trial = 0; trial < 400 && checked < 40; ++trial) {
            const double h = idx(rng), k = idx(rng), l = idx(rng);
            const double u = idx(rng), v = idx(rng);
            if (l == 0) continue;
            const double w = -(h * u + k * v) / l;  // hu + kv + lw = 0
            const TVec3D hkl{h, k, l}, uvw{u, v, w};
            TVec3D n, z;
            MatMul3x1(&cs.Recip, &hkl, &n);
            MatMul3x1(&cs.Direct, &uvw, &z);
            double line[3], x, y;
            if (Dot(&z, &z) < 1e-6) continue;
            if (DetectorBandLine(&d, &g, &n, line) == 2) continue;
            TVec3D zp = z;
            if (DetectorProject(&d, &g, &zp, &x, &y) == 2) {
                zp = TVec3D{-z.x, -z.y, -z.z};
                if (DetectorProject(&d, &g, &zp, &x, &y) == 2) continue;
            }
            if (std::hypot(x, y) > 1e5) continue;
            EXPECT_NEAR(line[0] * x + line[1] * y + line[2], 0, 1e-9 * (1 + std::hypot(x, y)));
            ++checked;
        }
        EXPECT_GT(checked, 10);
    }
}

// Pitfalls: up is up, the mirror, binning, the half pixel.
TEST(DetectorProject, PitfallChecks) {
    const TDetector d = p1();
    double x, y;
    // [001] (along ND) above the PC; [011] on the right, not mirrored to X = 13.5.
    const TVec3D z001{0, 0, 1}, z011{0, 1, 1}, x100{1, 0, 0};
    ASSERT_EQ(DetectorProject(&d, &kIdentity, &z001, &x, &y), 0);
    EXPECT_LT(y, d.PCy * d.Height);
    ASSERT_EQ(DetectorProject(&d, &kIdentity, &z011, &x, &y), 0);
    EXPECT_GT(x, 600.0);
    ASSERT_EQ(DetectorProject(&d, &kIdentity, &x100, &x, &y), 1);
    EXPECT_GT(y, d.PCy * d.Height);
    // Binning changes nothing in binned pixels.
    TDetector binned = d;
    binned.Binning = 4;
    double bx, by;
    ASSERT_EQ(DetectorProject(&binned, &kIdentity, &z011, &bx, &by), 0);
    ASSERT_EQ(DetectorProject(&d, &kIdentity, &z011, &x, &y), 0);
    EXPECT_EQ(bx, x);
    EXPECT_EQ(by, y);
    // The P2 PC is at pixel index (24.826, 12.574): continuous (25.326, 13.074), not the
    // (N - 1)/N scaled (24.904, 12.856).
    const TDetector p2 = detector(60, 60, 0.4221, 0.2179, 0.4954);
    const TMat3D g = euler(TVec3D{90 * kDeg, 20 * kDeg, 0});
    ASSERT_EQ(DetectorProject(&p2, &g, &z001, &x, &y), 0);
    EXPECT_NEAR(x - 0.5, 24.826, 1e-9);
    EXPECT_NEAR(y - 0.5, 12.574, 1e-9);
}

}  // namespace
