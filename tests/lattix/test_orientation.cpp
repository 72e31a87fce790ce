// Orientation exports: Euler angles, matrices, axis-angle and direction angles,
// checked against compositions of elementary rotations and round trips.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <numbers>
#include <random>
#include <string>
#include <vector>

#include "../support/lattix_test_support.h"
#include "lattixLib.h"

namespace {

using namespace lattix_test;

constexpr double kTwoPi = 2 * std::numbers::pi;

// Difference of two angles folded into (-pi, pi].
double angleDiff(double a, double b) {
    return std::remainder(a - b, kTwoPi);
}

struct BoxRecord {
    std::vector<std::string> captions, texts;
};
BoxRecord boxes;
void LATTIX_CALL recordBox(const char* caption, const char* text) {
    boxes.captions.emplace_back(caption);
    boxes.texts.emplace_back(text);
}

// Installs the recording handler for one test and removes it afterwards.
class OrientationBox : public ::testing::Test {
  protected:
    void SetUp() override {
        boxes = {};
        SetMessageBoxHandler(recordBox);
    }
    void TearDown() override { SetMessageBoxHandler(nullptr); }
};

}  // namespace

// ---- Euler angles to matrix ---------------------------------------------------------

TEST(EulerMatrix, ExamplesAndIdentity) {
    TMat3D g;
    const TVec3D zero{0, 0, 0};
    Euler2Matrix(&zero, &g);
    expectMat(g, fromRows({1, 0, 0, 0, 1, 0, 0, 0, 1}), 0);
    TVec3D e{9, 9, 9};
    Matrix2Euler(&g, &e);
    EXPECT_EQ(e.x, 0);
    EXPECT_EQ(e.y, 0);
    EXPECT_EQ(e.z, 0);

    const TVec3D quarter{kPi / 2, 0, 0};
    Euler2Matrix(&quarter, &g);
    expectMat(g, fromRows({0, 1, 0, -1, 0, 0, 0, 0, 1}), 1e-15);
    Matrix2Euler(&g, &e);
    EXPECT_NEAR(e.x, kPi / 2, 1e-14);
    EXPECT_EQ(e.y, 0);
    EXPECT_EQ(e.z, 0);
}

TEST(EulerMatrix, EqualsProductOfElementaryPassiveRotations) {
    std::mt19937 rng(29);
    std::uniform_real_distribution<double> u(-7, 7);
    for (int n = 0; n < 100; ++n) {
        const TVec3D e{u(rng), u(rng), u(rng)};
        TMat3D z1, x, z2, t, expected, g;
        RotateUnityMatrix(2, e.x, &z1);
        RotateUnityMatrix(0, e.y, &x);
        RotateUnityMatrix(2, e.z, &z2);
        MatMul3x3(&x, &z1, &t);
        MatMul3x3(&z2, &t, &expected);
        Euler2Matrix(&e, &g);
        expectMat(g, expected, 1e-14);
        EXPECT_NEAR(Det3x3(&g), 1, 1e-14);
    }
}

TEST(EulerMatrix, RoundTripOverGridCoversAllRanges) {
    // phi1, phi2 over and beyond [0, 2pi], Phi over (0, pi) away from the poles.
    int checked = 0;
    for (int i = -12; i <= 24; ++i)
        for (int j = 1; j < 12; ++j)
            for (int k = -12; k <= 24; ++k) {
                const TVec3D in{i * kPi / 6 + 0.01, j * kPi / 12, k * kPi / 6 + 0.02};
                TMat3D g;
                Euler2Matrix(&in, &g);
                TVec3D out{};
                Matrix2Euler(&g, &out);
                ASSERT_GE(out.x, 0);
                ASSERT_LE(out.x, kTwoPi);
                ASSERT_GE(out.z, 0);
                ASSERT_LE(out.z, kTwoPi);
                EXPECT_NEAR(out.y, in.y, 1e-12);
                EXPECT_NEAR(angleDiff(out.x, in.x), 0, 1e-12);
                EXPECT_NEAR(angleDiff(out.z, in.z), 0, 1e-12);
                ++checked;
            }
    EXPECT_EQ(checked, 37 * 11 * 37);
}

TEST(EulerMatrix, PhiBeyondPiGivesAnEquivalentTriple) {
    std::mt19937 rng(31);
    std::uniform_real_distribution<double> u(0.1, 6.0), big(kPi + 0.1, kTwoPi - 0.1);
    for (int n = 0; n < 200; ++n) {
        const TVec3D in{u(rng), big(rng), u(rng)};
        TMat3D g, back;
        Euler2Matrix(&in, &g);
        TVec3D out{};
        Matrix2Euler(&g, &out);
        EXPECT_GE(out.y, 0);
        EXPECT_LE(out.y, kPi);
        Euler2Matrix(&out, &back);
        expectMat(back, g, 1e-12);
    }
}

TEST(EulerMatrix, SpecExamplesOfTheRoundTrip) {
    const TVec3D a{0.3, 0.5, 1.2}, b{-0.3, 0.5, 1.2};
    TMat3D g;
    TVec3D e;
    Euler2Matrix(&a, &g);
    Matrix2Euler(&g, &e);
    EXPECT_NEAR(e.x, 0.3, 1e-14);
    EXPECT_NEAR(e.y, 0.5, 1e-14);
    EXPECT_NEAR(e.z, 1.2, 1e-14);
    Euler2Matrix(&b, &g);
    Matrix2Euler(&g, &e);
    EXPECT_NEAR(e.x, kTwoPi - 0.3, 1e-14);
    EXPECT_NEAR(e.y, 0.5, 1e-14);
    EXPECT_NEAR(e.z, 1.2, 1e-14);
}

// ---- Singular branches -------------------------------------------------------------------

TEST(EulerSingular, PhiZeroGivesWholeTurnToPhi1) {
    for (int i = -6; i <= 12; ++i)
        for (int k = -6; k <= 12; ++k) {
            const TVec3D in{i * 0.53, 0, k * 0.47};
            TMat3D g;
            Euler2Matrix(&in, &g);
            TVec3D e{};
            Matrix2Euler(&g, &e);
            EXPECT_EQ(e.y, 0);
            EXPECT_EQ(e.z, 0);
            EXPECT_GE(e.x, 0);
            EXPECT_LE(e.x, kTwoPi);
            EXPECT_NEAR(angleDiff(e.x, in.x + in.z), 0, 1e-12);
        }
    const TVec3D example{0.4, 0, 0.5};
    TMat3D g;
    Euler2Matrix(&example, &g);
    TVec3D e;
    Matrix2Euler(&g, &e);
    EXPECT_NEAR(e.x, 0.9, 1e-14);
}

TEST(EulerSingular, PhiPiGivesDifferenceToPhi1) {
    for (int i = -6; i <= 12; ++i)
        for (int k = -6; k <= 12; ++k) {
            const TVec3D in{i * 0.53, kPi, k * 0.47};
            TMat3D g;
            Euler2Matrix(&in, &g);
            TVec3D e{};
            Matrix2Euler(&g, &e);
            EXPECT_EQ(e.y, kPi);
            EXPECT_EQ(e.z, 0);
            EXPECT_GE(e.x, 0);
            EXPECT_LE(e.x, kTwoPi);
            EXPECT_NEAR(angleDiff(e.x, in.x - in.z), 0, 1e-12);
        }
}

TEST(EulerSingular, NearThePolesTheMatrixIsStillReproduced) {
    // cos(Phi) >= 0.999999985 counts as the pole: Phi up to about 1.7e-4.
    for (double phi : {1e-9, 1e-6, 1e-5, 1.5e-4, kPi - 1e-5, kPi - 1.5e-4}) {
        const TVec3D in{1.1, phi, 2.3};
        TMat3D g, back;
        Euler2Matrix(&in, &g);
        ASSERT_GE(std::fabs(el(g, 2, 2)), 0.999999985);
        TVec3D e{};
        Matrix2Euler(&g, &e);
        EXPECT_EQ(e.z, 0) << phi;
        EXPECT_NEAR(e.y, phi, 1e-9);
        Euler2Matrix(&e, &back);
        // Dropping phi2 moves no element by more than 2 sin(Phi).
        expectMat(back, g, 2 * std::sin(phi) + 1e-12);
    }
    // Just outside the band both phi1 and phi2 are recovered.
    const TVec3D in{1.1, 2e-4, 2.3};
    TMat3D g;
    Euler2Matrix(&in, &g);
    ASSERT_LT(std::fabs(el(g, 2, 2)), 0.999999985);
    TVec3D e{};
    Matrix2Euler(&g, &e);
    EXPECT_NEAR(e.x, 1.1, 1e-8);
    EXPECT_NEAR(e.z, 2.3, 1e-8);
}

// ---- Out-of-range g(3,3) and the message box ---------------------------------------------

TEST_F(OrientationBox, RoundingBeyondOneIsNoError) {
    // Products of rotation matrices leave g(3,3) a few ulps above 1.
    TMat3D g;
    const TVec3D in{0.7, 0, 0};
    Euler2Matrix(&in, &g);
    el(g, 2, 2) = 1.0 + 2.220446049250313e-16;
    TVec3D e{5, 5, 5};
    Matrix2Euler(&g, &e);
    EXPECT_TRUE(boxes.captions.empty());
    EXPECT_NEAR(e.x, 0.7, 1e-14);
    EXPECT_EQ(e.y, 0);
    EXPECT_EQ(e.z, 0);

    el(g, 2, 2) = -(1.0 + 1e-12);
    Matrix2Euler(&g, &e);
    EXPECT_TRUE(boxes.captions.empty());
    EXPECT_EQ(e.y, kPi);
}

TEST_F(OrientationBox, SpinningProductStaysConvertible) {
    // A spin cycle near the pole: small turns multiplied up and converted at
    // every step; rounding pushes g(3,3) past 1 on many of them.
    TMat3D g, step, next;
    const TVec3D start{0, 1e-8, 0}, turn{0.013, 1e-8, 0.021};
    Euler2Matrix(&start, &g);
    Euler2Matrix(&turn, &step);
    int beyondOne = 0;
    for (int n = 0; n < 1000; ++n) {
        MatMul3x3(&step, &g, &next);
        g = next;
        beyondOne += std::fabs(el(g, 2, 2)) > 1.0;
        TVec3D e{-1, -1, -1};
        Matrix2Euler(&g, &e);
        ASSERT_GE(e.y, 0);
        ASSERT_GE(e.x, 0);
    }
    EXPECT_GT(beyondOne, 0);
    EXPECT_TRUE(boxes.captions.empty());
}

TEST_F(OrientationBox, BrokenMatrixShowsBoxAndLeavesAnglesAlone) {
    for (double bad : {1.5, -1.5, 1.0 + 1e-9, std::nan("")}) {
        TMat3D g = fromRows({1, 0, 0, 0, 1, 0, 0, 0, 1});
        el(g, 2, 2) = bad;
        TVec3D e{7, 8, 9};
        boxes = {};
        Matrix2Euler(&g, &e);
        ASSERT_EQ(boxes.captions.size(), 1u) << bad;
        EXPECT_EQ(boxes.captions[0], "Error Matrix2Euler");
        EXPECT_EQ(boxes.texts[0], "");
        EXPECT_EQ(e.x, 7);
        EXPECT_EQ(e.y, 8);
        EXPECT_EQ(e.z, 9);
    }
}

TEST_F(OrientationBox, SymmetrySetOfABadTripleShowsOneBoxPerCall) {
    const double nan = std::nan("");
    const double inf = INFINITY;
    for (int laue : {1, 11}) {
        const TCrySet cs = lattix_test::makeSet(laue);
        for (int code : {1, 2, 3}) {
            for (const TVec3D bad : {TVec3D{nan, 0.2, 0.3}, TVec3D{0.1, inf, 0.3}}) {
                // Oracle of the values: the matrix set converted one by one.
                std::vector<TVec3D> expected(LATTIX_SYM_CAPACITY, TVec3D{7, 8, 9});
                std::vector<TMat3D> mats(LATTIX_SYM_CAPACITY);
                TMat3D g;
                Euler2Matrix(&bad, &g);
                const int m = SymSetMat(&cs, code, &g, mats.data());
                for (int i = 0; i < m; ++i) {
                    expected[i] = TVec3D{0, 0, 0};  // each slot is cleared first
                    Matrix2Euler(&mats[i], &expected[i]);
                }

                std::vector<TVec3D> out(LATTIX_SYM_CAPACITY, TVec3D{7, 8, 9});
                boxes = {};
                const int n = SymSetEul(&cs, code, &bad, out.data());
                EXPECT_EQ(n, m);
                ASSERT_EQ(boxes.captions.size(), 1u) << laue << " " << code;
                EXPECT_EQ(boxes.captions[0], "Error Matrix2Euler");
                EXPECT_EQ(std::memcmp(out.data(), expected.data(), n * sizeof(TVec3D)), 0);
            }
        }
    }
    // Each call on its own shows its box.
    const TCrySet cs = lattix_test::makeSet(11);
    const TVec3D bad{nan, 0, 0};
    std::vector<TVec3D> out(LATTIX_SYM_CAPACITY);
    boxes = {};
    SymSetEul(&cs, 3, &bad, out.data());
    SymSetEul(&cs, 3, &bad, out.data());
    EXPECT_EQ(boxes.captions.size(), 2u);
}

TEST(OrientationBoxDefault, WithoutHandlerWritesToStderr) {
    SetMessageBoxHandler(nullptr);
    TMat3D g = fromRows({1, 0, 0, 0, 1, 0, 0, 0, 1.5});
    TVec3D e{1, 2, 3};
    ::testing::internal::CaptureStderr();
    Matrix2Euler(&g, &e);
    const std::string err = ::testing::internal::GetCapturedStderr();
    EXPECT_NE(err.find("Error Matrix2Euler"), std::string::npos) << err;
    EXPECT_EQ(e.x, 1);
}

// ---- Axis and angle ----------------------------------------------------------------------

TEST(AxisAngle, MatchesEulerForms) {
    const TVec3D z{0, 0, 1}, x{1, 0, 0};
    for (int i = -10; i <= 10; ++i) {
        const double w = i * 0.41;
        TMat3D aa, eu;
        AxisAngle2Matrix(&z, &w, &aa);
        const TVec3D e1{w, 0, 0};
        Euler2Matrix(&e1, &eu);
        expectMat(aa, eu, 1e-15);
        AxisAngle2Matrix(&x, &w, &aa);
        const TVec3D e2{0, w, 0};
        Euler2Matrix(&e2, &eu);
        expectMat(aa, eu, 1e-15);
    }
    const double quarter = kPi / 2;
    TMat3D aa;
    AxisAngle2Matrix(&z, &quarter, &aa);
    expectMat(aa, fromRows({0, 1, 0, -1, 0, 0, 0, 0, 1}), 1e-15);
}

TEST(AxisAngle, TurnsOppositeToConeVector) {
    std::mt19937 rng(41);
    std::normal_distribution<double> nd;
    std::uniform_real_distribution<double> wd(-6, 6);
    for (int n = 0; n < 100; ++n) {
        TVec3D axis{nd(rng), nd(rng), nd(rng)};
        UnityVector(&axis);
        const TVec3D v{nd(rng), nd(rng), nd(rng)};
        const double w = wd(rng), minusW = -w;
        TMat3D m;
        AxisAngle2Matrix(&axis, &w, &m);
        TVec3D viaMatrix, viaCone;
        MatMul3x1(&m, &v, &viaMatrix);
        ConeVector(&axis, &v, &viaCone, minusW);
        EXPECT_NEAR(viaMatrix.x, viaCone.x, 1e-12);
        EXPECT_NEAR(viaMatrix.y, viaCone.y, 1e-12);
        EXPECT_NEAR(viaMatrix.z, viaCone.z, 1e-12);
        // The axis is fixed and the matrix is a rotation.
        TVec3D fixed;
        MatMul3x1(&m, &axis, &fixed);
        EXPECT_NEAR(fixed.x, axis.x, 1e-14);
        EXPECT_NEAR(Det3x3(&m), 1, 1e-13);
    }
}

// ---- Direction angles ----------------------------------------------------------------------

TEST(DirectionAngles, ExamplesAndZeroVector) {
    TVec3D out;
    Ang2Dir(0, kPi / 2, &out);
    EXPECT_NEAR(out.x, 0, 1e-16);
    EXPECT_NEAR(out.y, 0, 1e-16);
    EXPECT_EQ(out.z, 1);
    double phi = 9, theta = 9;
    const TVec3D up{0, 0, 1}, back{-1, 0, 0}, backNegZero{-1, -0.0, 0}, none{0, 0, 0};
    Dir2Ang(&up, &phi, &theta);
    EXPECT_EQ(phi, 0);
    EXPECT_EQ(theta, kPi / 2);
    Dir2Ang(&back, &phi, &theta);
    EXPECT_EQ(phi, kPi);
    EXPECT_EQ(theta, 0);
    Dir2Ang(&backNegZero, &phi, &theta);
    EXPECT_EQ(phi, kPi);  // the azimuth range is (-pi, pi]
    Dir2Ang(&none, &phi, &theta);
    EXPECT_EQ(phi, 0);
    EXPECT_EQ(theta, 0);
    // The zero vector negated carries negative zeros; it is still the zero vector.
    TVec3D negated = none;
    OppositVector(&negated);
    Dir2Ang(&negated, &phi, &theta);
    EXPECT_EQ(phi, 0);
    EXPECT_EQ(theta, 0);
}

TEST(DirectionAngles, RoundTripAndScaleInvariance) {
    for (int i = -17; i <= 18; ++i)
        for (int j = -8; j <= 8; ++j) {
            const double phi = i * kPi / 18, theta = j * kPi / 18 * 0.999;
            TVec3D v;
            Ang2Dir(phi, theta, &v);
            EXPECT_NEAR(Dot(&v, &v), 1, 1e-15);
            EXPECT_NEAR(v.z, std::sin(theta), 1e-15);  // latitude, not polar distance
            TVec3D scaled;
            MulVector(3.5, &v, &scaled);
            double p = 0, t = 0;
            Dir2Ang(&scaled, &p, &t);
            EXPECT_NEAR(p, phi, 1e-12) << i << "," << j;
            EXPECT_NEAR(t, theta, 1e-12);
            EXPECT_GT(p, -kPi);
            EXPECT_LE(p, kPi);
        }
}
