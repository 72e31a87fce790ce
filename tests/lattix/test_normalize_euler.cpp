// Euler reduction: NormalizeEuler keeps the orientation up to symmetry, lands in the zone and is
// idempotent.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <random>

#include "../support/lattix_test_support.h"
#include "lattixLib.h"

namespace {

using namespace lattix_test;

double maxDifference(const TMat3D& a, const TMat3D& b) {
    double d = 0;
    for (int i = 0; i < 9; ++i)
        d = std::fmax(d, std::fabs((&a.col[0].x)[i] - (&b.col[0].x)[i]));
    return d;
}

// Smallest distance between E(b) and S.E(a) over the group's operators.
double distanceUpToSymmetry(const TCrySet& cs, const TVec3D& a, const TVec3D& b) {
    TMat3D ga, gb;
    Euler2Matrix(&a, &ga);
    Euler2Matrix(&b, &gb);
    double best = 1e9;
    for (int i = 0; i < cs.SymOpCount; ++i) {
        TMat3D s;
        MatMul3x3(&cs.SymOps[i], &ga, &s);
        best = std::fmin(best, maxDifference(s, gb));
    }
    return best;
}

double boundary(double x) {
    const double c = std::cos(x);
    return std::acos(c / std::sqrt(c * c + 1));
}

void expectTriple(const TVec3D& e, double phi1Deg, double phiDeg, double phi2Deg,
                  double tol = 1e-12) {
    EXPECT_NEAR(e.x, phi1Deg * kDeg, tol);
    EXPECT_NEAR(e.y, phiDeg * kDeg, tol);
    EXPECT_NEAR(e.z, phi2Deg * kDeg, tol);
}

TEST(NormalizeEuler, EquivalentInsideTheBoxAndIdempotentInEveryGroup) {
    std::mt19937_64 rng(3);
    for (int laue = 1; laue <= 11; ++laue) {
        const TCrySet cs = makeSet(laue);
        const TVec3D lim = cs.EulerLimits;
        for (int trial = 0; trial < 300; ++trial) {
            // phi1 up to 4 pi: triples beyond one turn must stay equivalent too.
            const TVec3D in = randomEuler(rng, trial % 2 == 0 ? 2 * kPi : 4 * kPi);
            TVec3D once = in;
            NormalizeEuler(&cs, &once);
            ASSERT_LT(distanceUpToSymmetry(cs, in, once), 1e-9)
                << "group " << laue << " in " << in.x << " " << in.y << " " << in.z;
            if (laue < 10) {
                if (in.x < 2 * kPi) {
                    EXPECT_GE(once.x, 0.0);
                    EXPECT_LE(once.x, lim.x) << "group " << laue;
                }
                EXPECT_GE(once.y, 0.0);
                EXPECT_LE(once.y, lim.y);
                EXPECT_GE(once.z, 0.0);
                EXPECT_LE(once.z, lim.z) << "group " << laue;
            }
            TVec3D twice = once;
            NormalizeEuler(&cs, &twice);
            EXPECT_NEAR(twice.x, once.x, 1e-9) << "group " << laue;
            EXPECT_NEAR(twice.y, once.y, 1e-9) << "group " << laue;
            EXPECT_NEAR(twice.z, once.z, 1e-9) << "group " << laue;
        }
    }
}

TEST(NormalizeEuler, CubicHighResultLiesInsideTheThreeFoldBoundary) {
    std::mt19937_64 rng(5);
    const TCrySet cs = makeSet(11);
    for (int trial = 0; trial < 500; ++trial) {
        TVec3D e = randomEuler(rng, 2 * kPi);
        NormalizeEuler(&cs, &e);
        EXPECT_LE(e.y, boundary(kPi / 2 - e.z) + 1e-12);
        EXPECT_LT(e.y, boundary(e.z) + 1e-12);
        EXPECT_LE(e.y, kPi / 2 + 1e-12);
    }
}

TEST(NormalizeEuler, OrthorhombicExample) {
    const TCrySet cs = makeSet(3);
    TVec3D e{200 * kDeg, 30 * kDeg, 10 * kDeg};
    NormalizeEuler(&cs, &e);
    expectTriple(e, 20, 150, 170, 1e-12);
}

TEST(NormalizeEuler, TriclinicOnlyReducesPhi2WithinOneTurn) {
    const TCrySet cs = makeSet(1);
    TVec3D e{1.0, 2.0, 7.0};
    NormalizeEuler(&cs, &e);
    EXPECT_EQ(e.x, 1.0);
    EXPECT_EQ(e.y, 2.0);
    EXPECT_NEAR(e.z, 7.0 - 2 * kPi, 1e-15);
}

TEST(NormalizeEuler, WholeTurnsOfPhi1LeavePhiAndPhi2Alone) {
    // Groups without a two-fold about Y: taking a turn off phi1 must not
    // turn Phi and phi2 over.
    for (int laue : {1, 4, 6, 8}) {
        const TCrySet cs = makeSet(laue);
        TVec3D e{2 * kPi + 0.5, 0.7, 0.2};
        NormalizeEuler(&cs, &e);
        EXPECT_NEAR(e.x, 0.5, 1e-12) << "group " << laue;
        EXPECT_EQ(e.y, 0.7) << "group " << laue;
        EXPECT_EQ(e.z, 0.2) << "group " << laue;
    }
    const TCrySet ortho = makeSet(3);
    TVec3D e{2 * kPi + 0.5, 0.7, 0.2};
    NormalizeEuler(&ortho, &e);
    EXPECT_NEAR(e.x, 0.5, 1e-12);
    EXPECT_EQ(e.y, 0.7);
    EXPECT_EQ(e.z, 0.2);
}

TEST(NormalizeEuler, CubicHighReflectsPhiBeyondNinetyDegrees) {
    const TCrySet cs = makeSet(11);
    const TVec3D in{30 * kDeg, 100 * kDeg, 20 * kDeg};
    TVec3D candidates[96];
    int32_t count = 0;
    SpecialNormalizeEuler(&cs, &in, candidates, &count);
    ASSERT_EQ(count, 3);
    // Reflected first: phi1 + 180, Phi 80, phi2 = 90 - 20.
    expectTriple(candidates[0], 210, 80, 70, 1e-12);
    // The reduction takes the first candidate inside the three-fold boundary.
    int expected = -1;
    for (int k = 0; k < 3 && expected < 0; ++k) {
        const TVec3D& c = candidates[k];
        if (boundary(c.z) > c.y && boundary(kPi / 2 - c.z) >= c.y) expected = k;
    }
    ASSERT_GE(expected, 0);
    TVec3D e = in;
    NormalizeEuler(&cs, &e);
    EXPECT_NEAR(e.x, candidates[expected].x, 1e-12);
    EXPECT_NEAR(e.y, candidates[expected].y, 1e-12);
    EXPECT_NEAR(e.z, candidates[expected].z, 1e-12);
    for (int k = 0; k < 3; ++k)
        EXPECT_LT(distanceUpToSymmetry(cs, in, candidates[k]), 1e-9);
}

TEST(NormalizeEuler, CubicTripleInsideTheZoneIsUnchanged) {
    const TCrySet cs = makeSet(11);
    TVec3D e{0.0, 10 * kDeg, 0.0};
    NormalizeEuler(&cs, &e);
    EXPECT_EQ(e.x, 0.0);
    EXPECT_EQ(e.y, 10 * kDeg);
    EXPECT_EQ(e.z, 0.0);
}

TEST(SpecialNormalizeEuler, CubicHighAlwaysListsThreeEquivalents) {
    std::mt19937_64 rng(9);
    const TCrySet cs = makeSet(11);
    for (int trial = 0; trial < 50; ++trial) {
        const TVec3D in = randomEuler(rng, 2 * kPi);
        const TVec3D copy = in;
        TVec3D out[96];
        int32_t count = 0;
        SpecialNormalizeEuler(&cs, &in, out, &count);
        ASSERT_EQ(count, 3);
        EXPECT_EQ(in.x, copy.x);
        for (int k = 0; k < 3; ++k)
            EXPECT_LT(distanceUpToSymmetry(cs, in, out[k]), 1e-9);
    }
}

TEST(SpecialNormalizeEuler, CubicLowListsTheSetInsideTheBox) {
    std::mt19937_64 rng(13);
    const TCrySet cs = makeSet(10);
    const TVec3D lim = cs.EulerLimits;
    for (int trial = 0; trial < 100; ++trial) {
        const TVec3D in = randomEuler(rng, 2 * kPi);
        TVec3D out[96];
        int32_t count = 0;
        SpecialNormalizeEuler(&cs, &in, out, &count);
        ASSERT_GE(count, 0);
        ASSERT_LE(count, 12);
        for (int k = 0; k < count; ++k) {
            EXPECT_LT(out[k].x, lim.x);
            EXPECT_LT(out[k].y, lim.y);
            EXPECT_LT(out[k].z, lim.z);
            EXPECT_LT(distanceUpToSymmetry(cs, in, out[k]), 1e-9);
        }
        // The reduction chooses among these candidates whenever there are any.
        TVec3D e = in;
        NormalizeEuler(&cs, &e);
        if (count > 0) {
            bool found = false;
            for (int k = 0; k < count; ++k)
                found = found ||
                        (std::fabs(out[k].x - e.x) < 1e-12 && std::fabs(out[k].y - e.y) < 1e-12 &&
                         std::fabs(out[k].z - e.z) < 1e-12);
            EXPECT_TRUE(found);
        }
    }
}

TEST(SpecialNormalizeEuler, NonCubicCountKeptOrOneReducedTriple) {
    const TCrySet cs = makeSet(5);
    TVec3D out[96];
    out[0] = TVec3D{-1, -1, -1};
    int32_t count = 42;
    const TVec3D inside{1.0, 0.5, 0.3};
    SpecialNormalizeEuler(&cs, &inside, out, &count);
    EXPECT_EQ(count, 42);
    EXPECT_EQ(out[0].x, -1.0);

    count = 0;
    const TVec3D beyond{4.0, 0.5, 0.3};
    SpecialNormalizeEuler(&cs, &beyond, out, &count);
    ASSERT_EQ(count, 1);
    TVec3D e = beyond;
    NormalizeEuler(&cs, &e);
    EXPECT_EQ(out[0].x, e.x);
    EXPECT_EQ(out[0].y, e.y);
    EXPECT_EQ(out[0].z, e.z);
    EXPECT_NEAR(out[0].x, 4.0 - kPi, 1e-15);
    EXPECT_NEAR(out[0].y, kPi - 0.5, 1e-15);
    EXPECT_NEAR(out[0].z, kPi / 2 - 0.3, 1e-15);
}

}  // namespace

namespace {

TEST(NormalizeEuler, NonFiniteTriplesAreLeftAlone) {
    const double nan = std::nan("");
    const double inf = INFINITY;
    const TVec3D triples[] = {{nan, 0.3, 0.2}, {0.1, nan, 0.2}, {0.1, 0.3, nan},
                              {nan, nan, nan}, {inf, 0.3, 0.2}, {0.1, -inf, 0.2}};
    for (int laue : {1, 3, 7, 10, 11}) {
        const TCrySet cs = lattix_test::makeSet(laue);
        for (const TVec3D& in : triples) {
            TVec3D e = in;
            NormalizeEuler(&cs, &e);
            // Bitwise: NaN compares unequal to itself.
            EXPECT_EQ(std::memcmp(&e, &in, sizeof e), 0) << "group " << laue;
        }
    }
}

}  // namespace
