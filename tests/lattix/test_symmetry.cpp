// Symmetry sets: SymSetMat, SymSetEul and SymSetDir against direct products of the set's operators.
#include <gtest/gtest.h>

#include <cmath>
#include <random>

#include "../support/lattix_test_support.h"
#include "lattixLib.h"

namespace {

using namespace lattix_test;

constexpr int kOperatorCounts[12] = {0, 1, 2, 4, 4, 8, 3, 6, 6, 12, 12, 24};

TMat3D product(const TMat3D& a, const TMat3D& b) {
    TMat3D out{};
    const double* pa = &a.col[0].x;
    const double* pb = &b.col[0].x;
    double* po = &out.col[0].x;
    for (int i = 0; i < 3; ++i)
        for (int j = 0; j < 3; ++j)
            for (int k = 0; k < 3; ++k)
                po[3 * j + i] += pa[3 * k + i] * pb[3 * j + k];
    return out;
}

double maxDifference(const TMat3D& a, const TMat3D& b) {
    double d = 0;
    for (int i = 0; i < 9; ++i)
        d = std::fmax(d, std::fabs((&a.col[0].x)[i] - (&b.col[0].x)[i]));
    return d;
}

TMat3D diagonal(double x, double y, double z) {
    TMat3D m{};
    m.col[0].x = x;
    m.col[1].y = y;
    m.col[2].z = z;
    return m;
}

TEST(SymSetMat, EveryEntryIsOperatorTimesInputInBlockOrder) {
    std::mt19937_64 rng(7);
    const TMat3D twoFolds[4] = {diagonal(1, 1, 1), diagonal(1, -1, -1), diagonal(-1, 1, -1),
                                diagonal(-1, -1, 1)};
    for (int laue = 1; laue <= 11; ++laue) {
        const TCrySet cs = makeSet(laue);
        const int n = cs.SymOpCount;
        ASSERT_EQ(n, kOperatorCounts[laue]) << "group " << laue;
        for (int trial = 0; trial < 5; ++trial) {
            const TVec3D e = randomEuler(rng);
            TMat3D g;
            Euler2Matrix(&e, &g);
            for (int code = 1; code <= 3; ++code) {
                TMat3D out[96];
                const int count = SymSetMat(&cs, code, &g, out);
                const int blocks = code == 1 ? 1 : code == 2 ? 2 : 4;
                ASSERT_EQ(count, n * blocks) << "group " << laue << " code " << code;
                for (int block = 0; block < blocks; ++block) {
                    // Code 2 has only the identity and Z2 blocks.
                    const TMat3D& right =
                        code == 2 ? twoFolds[block == 0 ? 0 : 3] : twoFolds[block];
                    for (int i = 0; i < n; ++i) {
                        const TMat3D expected = product(product(cs.SymOps[i], g), right);
                        EXPECT_LT(maxDifference(out[block * n + i], expected), 1e-12)
                            << "group " << laue << " code " << code << " slot " << block * n + i;
                    }
                }
                for (int i = 0; i < count; ++i)
                    for (int j = i + 1; j < count; ++j)
                        EXPECT_GT(maxDifference(out[i], out[j]), 1e-6)
                            << "group " << laue << " code " << code << " slots " << i << ", " << j;
            }
        }
    }
}

TEST(SymSetMat, CodeOutsideRangeGivesFirstBlockOnly) {
    const TCrySet cs = makeSet(11);
    const TVec3D e{0.3, 0.5, 1.2};
    TMat3D g, out[96];
    Euler2Matrix(&e, &g);
    EXPECT_EQ(SymSetMat(&cs, 0, &g, out), 24);
    EXPECT_EQ(SymSetMat(&cs, 4, &g, out), 24);
    EXPECT_EQ(SymSetMat(&cs, -1, &g, out), 24);
}

TEST(SymSetMat, NeverWritesBeyondNinetySixEntries) {
    // A damaged record claiming more operators than fit.
    TCrySet cs = makeSet(11);
    for (int i = 24; i < 96; ++i)
        cs.SymOps[i] = cs.SymOps[i % 24];
    cs.SymOpCount = 1000;
    const TVec3D e{0.3, 0.5, 1.2};
    TMat3D g, out[97];
    out[96].col[0].x = 12345.0;
    Euler2Matrix(&e, &g);
    EXPECT_EQ(SymSetMat(&cs, 3, &g, out), 96);
    EXPECT_EQ(SymSetMat(&cs, 1, &g, out), 96);
    EXPECT_EQ(out[96].col[0].x, 12345.0);
}

TEST(SymSetEul, TriplesConvertBackToTheMatrixSet) {
    std::mt19937_64 rng(11);
    for (int laue : {1, 3, 9, 11}) {
        const TCrySet cs = makeSet(laue);
        for (int code = 1; code <= 3; ++code) {
            const TVec3D e = randomEuler(rng);
            TMat3D g, mats[96];
            TVec3D triples[96];
            Euler2Matrix(&e, &g);
            const int n = SymSetMat(&cs, code, &g, mats);
            ASSERT_EQ(SymSetEul(&cs, code, &e, triples), n);
            for (int i = 0; i < n; ++i) {
                TMat3D back;
                Euler2Matrix(&triples[i], &back);
                EXPECT_LT(maxDifference(back, mats[i]), 1e-9) << "group " << laue << " slot " << i;
                EXPECT_GE(triples[i].y, 0.0);
                EXPECT_LE(triples[i].y, kPi);
            }
        }
    }
}

TVec3D crystalDirection(const TCrySet& cs, const char* text) {
    TVec3D v;
    Str2Vec(&cs, 1, text, &v);
    return v;
}

struct DirCase {
    int laue;
    const char* text;
    int withAntiparallel;  // count when opposite senses are kept
    int asAxes;            // count when they are dropped
    bool hasAntiparallel;
};

TEST(SymSetDir, CountsOfLowIndexAndGeneralDirections) {
    // "3 5 7" is a general direction (spaced form).
    const DirCase cases[] = {
        {1, "001", 1, 1, false},      {1, "111", 1, 1, false},   {1, "110", 1, 1, false},
        {1, "3 5 7", 1, 1, false},    {5, "001", 2, 1, true},    {5, "111", 8, 4, true},
        {5, "110", 4, 2, true},       {5, "3 5 7", 8, 8, false}, {9, "001", 2, 1, true},
        {9, "111", 12, 6, true},      {9, "110", 6, 3, true},    {9, "3 5 7", 12, 12, false},
        {11, "001", 6, 3, true},      {11, "111", 8, 4, true},   {11, "110", 12, 6, true},
        {11, "3 5 7", 24, 24, false},
    };
    for (const DirCase& c : cases) {
        const TCrySet cs = makeSet(c.laue);
        const TVec3D d = crystalDirection(cs, c.text);
        TVec3D out[96];
        uint8_t anti = 7;
        EXPECT_EQ(SymSetDir(&cs, 0, &d, &anti, out), c.withAntiparallel) << c.laue << " " << c.text;
        EXPECT_EQ(anti, c.hasAntiparallel ? 1 : 0) << c.laue << " " << c.text;
        anti = 7;
        const int n = SymSetDir(&cs, 1, &d, &anti, out);
        EXPECT_EQ(n, c.asAxes) << c.laue << " " << c.text;
        EXPECT_EQ(anti, c.hasAntiparallel ? 1 : 0) << c.laue << " " << c.text;
        // The first entry is the direction itself; entries are pairwise distinct axes.
        EXPECT_NEAR(out[0].x, d.x, 1e-12);
        EXPECT_NEAR(out[0].y, d.y, 1e-12);
        EXPECT_NEAR(out[0].z, d.z, 1e-12);
        for (int i = 0; i < n; ++i)
            for (int j = i + 1; j < n; ++j)
                EXPECT_LT(std::fabs(Dot(&out[i], &out[j])), 0.99999999995);
    }
}

TEST(SymSetDir, EveryEntryIsAnImageOfTheDirection) {
    const TCrySet cs = makeSet(11);
    const TVec3D d = crystalDirection(cs, "1 2 5");
    TVec3D out[96];
    uint8_t anti = 0;
    const int n = SymSetDir(&cs, 0, &d, &anti, out);
    ASSERT_EQ(n, 24);
    for (int i = 0; i < n; ++i) {
        double best = -2;
        for (int s = 0; s < cs.SymOpCount; ++s) {
            TVec3D image;
            MatMul3x1(&cs.SymOps[s], &d, &image);
            best = std::fmax(best, Dot(&image, &out[i]));
        }
        EXPECT_GT(best, 1 - 1e-12);
    }
}

}  // namespace
