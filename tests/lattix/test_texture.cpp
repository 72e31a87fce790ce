// Texture components and fibres: deviations against closed forms and an independent symmetry
// search.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <memory>
#include <random>

#include "../support/lattix_test_support.h"
#include "lattixLib.h"

namespace {

using namespace lattix_test;

// Tetragonal cells get c = 6, so the c axis is told apart from a and b.
std::unique_ptr<TTexCompSet> makeComponent(int laue) {
    return makeRecord<TTexCompSet>(laue, 6);
}

TMat3D times(const TMat3D& a, const TMat3D& b) {
    TMat3D out;
    MatMul3x3(&a, &b, &out);
    return out;
}

TMat3D transposed(const TMat3D& a) {
    TMat3D out;
    Transpose(&a, &out);
    return out;
}

double rotationAngle(const TMat3D& r) {
    const double c = (r.col[0].x + r.col[1].y + r.col[2].z - 1) / 2;
    return std::acos(std::fmax(-1.0, std::fmin(1.0, c)));
}

// Smallest angle of S.C.G^T over the operators.
double smallestMisorientation(const TCrySet& cs, const TMat3D& c, const TMat3D& g) {
    const TMat3D d = times(c, transposed(g));
    double best = 10;
    for (int i = 0; i < cs.SymOpCount; ++i)
        best = std::fmin(best, rotationAngle(times(cs.SymOps[i], d)));
    return best;
}

TEST(TexCompComplete, OwnOrientationAndCubeEquivalent) {
    auto tc = makeComponent(11);
    tc->InSpecimenFrame = 1;
    tc->CompEuler = TVec3D{0.3, 0.5, 1.2};
    tc->Tolerance = 1e-6;
    TexCompEulerInit(tc.get());
    double dev = -1;
    EXPECT_EQ(TexCompComplete(tc.get(), &tc->CompEuler, &dev), 1);
    EXPECT_NEAR(dev, 0.0, 1e-7);
    tc->Tolerance = 0;
    EXPECT_EQ(TexCompComplete(tc.get(), &tc->CompEuler, &dev), 0);

    tc->CompEuler = TVec3D{0, 0, 0};
    tc->Tolerance = 0.01;
    TexCompEulerInit(tc.get());
    const TVec3D turned{kPi / 2, 0, 0};
    EXPECT_EQ(TexCompComplete(tc.get(), &turned, &dev), 1);
    EXPECT_NEAR(dev, 0.0, 1e-7);
}

TEST(TexCompComplete, DeviationIsTheSmallestMisorientation) {
    std::mt19937_64 rng(41);
    for (int laue : {1, 3, 5, 9, 11}) {
        auto tc = makeComponent(laue);
        tc->InSpecimenFrame = 1;
        tc->CompEuler = randomEuler(rng);
        tc->Tolerance = 0.3;
        TexCompEulerInit(tc.get());
        for (int trial = 0; trial < 100; ++trial) {
            const TVec3D g = randomEuler(rng);
            double dev = -1;
            const uint8_t inside = TexCompComplete(tc.get(), &g, &dev);
            const double expected =
                smallestMisorientation(tc->CrySet, euler(tc->CompEuler), euler(g));
            EXPECT_NEAR(dev, expected, 1e-7) << "group " << laue;
            EXPECT_EQ(inside, dev < 0.3 ? 1 : 0);
        }
    }
}

TEST(TexCompComplete, ReferenceFrameIsApplied) {
    // A component C given in a reference frame F: the specimen orientation
    // C.E(F)^T belongs to it exactly.
    std::mt19937_64 rng(43);
    auto tc = makeComponent(3);
    tc->InSpecimenFrame = 0;
    tc->FrameEuler = randomEuler(rng);
    tc->CompEuler = randomEuler(rng);
    tc->Tolerance = 1e-6;
    TexCompEulerInit(tc.get());
    TMat3D expected = times(euler(tc->CompEuler), transposed(euler(tc->FrameEuler)));
    for (int i = 0; i < 3; ++i) {
        EXPECT_NEAR(tc->CompMatrix.col[i].x, expected.col[i].x, 1e-15);
        EXPECT_NEAR(tc->CompMatrix.col[i].y, expected.col[i].y, 1e-15);
        EXPECT_NEAR(tc->CompMatrix.col[i].z, expected.col[i].z, 1e-15);
    }
    TVec3D g;
    Matrix2Euler(&expected, &g);
    double dev = -1;
    EXPECT_EQ(TexCompComplete(tc.get(), &g, &dev), 1);
    EXPECT_NEAR(dev, 0.0, 1e-7);
}

TEST(TexCompHKLUVWInit, MillerComponentsMatchTheirEulerForm) {
    auto tc = makeComponent(11);
    tc->InSpecimenFrame = 1;
    tc->Tolerance = 0.01;
    std::strcpy(tc->CompPlaneText, "110");
    std::strcpy(tc->CompDirText, "001");
    ASSERT_EQ(TexCompHKLUVWInit(tc.get()), 1);
    // Goss {110}<001> is (0, 45 degrees, 0) up to symmetry.
    const TVec3D goss{0, kPi / 4, 0};
    double dev = -1;
    EXPECT_EQ(TexCompComplete(tc.get(), &goss, &dev), 1);
    EXPECT_NEAR(dev, 0.0, 1e-7);
    // (35.26, 45, 0) degrees is the brass variant {011}<2-11>.
    std::strcpy(tc->CompPlaneText, "011");
    std::strcpy(tc->CompDirText, "2-11");
    ASSERT_EQ(TexCompHKLUVWInit(tc.get()), 1);
    const TVec3D brass{std::acos(std::sqrt(2.0 / 3.0)), kPi / 4, 0};
    EXPECT_EQ(TexCompComplete(tc.get(), &brass, &dev), 1);
    EXPECT_NEAR(dev, 0.0, 1e-7);

    // An impossible pair leaves the matrix as it was.
    const TMat3D before = tc->CompMatrix;
    std::strcpy(tc->CompPlaneText, "111");
    std::strcpy(tc->CompDirText, "111");
    EXPECT_EQ(TexCompHKLUVWInit(tc.get()), 0);
    EXPECT_EQ(std::memcmp(&before, &tc->CompMatrix, sizeof before), 0);
}

TEST(TexCompFiber, PolarFibreAlongSpecimenZ) {
    auto cubic = makeComponent(11);
    cubic->InSpecimenFrame = 1;
    std::strcpy(cubic->FibreDirText, "001");
    cubic->FibreAngle1 = 0;
    cubic->FibreAngle2 = kPi / 2;
    cubic->Tolerance = 0.1;
    TexCompFiberInit(cubic.get());
    EXPECT_NEAR(cubic->FibreSpecimenDir.z, 1.0, 1e-15);
    double dev = -1;
    const TVec3D zero{0, 0, 0}, tilted{0, kPi / 4, 0}, flipped{0, kPi, 0};
    EXPECT_EQ(TexCompFiber(cubic.get(), &zero, &dev), 1);
    EXPECT_NEAR(dev, 0.0, 1e-7);
    EXPECT_EQ(TexCompFiber(cubic.get(), &tilted, &dev), 0);
    EXPECT_NEAR(dev, kPi / 4, 1e-12);
    EXPECT_EQ(TexCompFiber(cubic.get(), &flipped, &dev), 1);
    EXPECT_NEAR(dev, 0.0, 1e-7);

    // 4/m has no turn taking [001] to [00-1].
    auto tetragonal = makeComponent(4);
    tetragonal->InSpecimenFrame = 1;
    std::strcpy(tetragonal->FibreDirText, "001");
    tetragonal->FibreAngle2 = kPi / 2;
    tetragonal->Tolerance = 0.1;
    TexCompFiberInit(tetragonal.get());
    EXPECT_EQ(TexCompFiber(tetragonal.get(), &flipped, &dev), 0);
    EXPECT_NEAR(dev, kPi, 1e-7);
}

TEST(TexCompFiber, DeviationIsTheNearestEquivalentDirection) {
    std::mt19937_64 rng(47);
    for (int laue : {4, 9, 11}) {
        auto tc = makeComponent(laue);
        tc->InSpecimenFrame = 0;
        tc->FrameEuler = randomEuler(rng);
        std::strcpy(tc->FibreDirText, "1 1 2");
        tc->FibreAngle1 = 0.7;
        tc->FibreAngle2 = 0.2;
        tc->Tolerance = 0.2;
        TexCompFiberInit(tc.get());
        TVec3D crystal;
        Str2Vec(&tc->CrySet, 1, "1 1 2", &crystal);
        // The fibre axis in specimen coordinates: E(F).d.
        const TVec3D d{std::cos(0.2) * std::cos(0.7), std::cos(0.2) * std::sin(0.7), std::sin(0.2)};
        TVec3D specimen;
        const TMat3D f = euler(tc->FrameEuler);
        MatMul3x1(&f, &d, &specimen);
        for (int trial = 0; trial < 100; ++trial) {
            const TVec3D e = randomEuler(rng);
            const TMat3D g = euler(e);
            // Independent: the angle between every crystal equivalent of the
            // fibre direction and the specimen direction in crystal axes.
            TVec3D inCrystal;
            MatMul3x1(&g, &specimen, &inCrystal);
            double best = -1;
            for (int s = 0; s < tc->CrySet.SymOpCount; ++s) {
                const TMat3D st = transposed(tc->CrySet.SymOps[s]);
                TVec3D image;
                MatMul3x1(&st, &crystal, &image);
                best = std::fmax(best, Dot(&image, &inCrystal));
            }
            double dev = -1;
            const uint8_t inside = TexCompFiber(tc.get(), &e, &dev);
            EXPECT_NEAR(dev, std::acos(std::fmin(best, 1.0)), 1e-7) << "group " << laue;
            EXPECT_EQ(inside, dev < 0.2 ? 1 : 0);
        }
    }
}

}  // namespace
