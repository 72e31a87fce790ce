// The APU setup data make sense: each sector is a fundamental region of the projection sphere for
// its group.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <memory>
#include <random>
#include <string>

#include "lattixLib.h"

namespace {

struct Cell {
    float a, b, c, alpha, beta, gamma;
};

Cell cellOf(int laue) {
    switch (laue) {
        case 1:
            return {7.124f, 7.856f, 5.577f, 89.99f, 101.15f, 105.95f};
        case 2:
            return {9.706f, 8.95f, 5.246f, 90, 108.59f, 90};
        case 3:
            return {7.756f, 7.8735f, 5.544f, 90, 90, 90};
        case 4:
        case 5:
            return {3.9406f, 3.9406f, 4.0636f, 90, 90, 90};
        case 6:
        case 7:
        case 8:
        case 9:
            return {4.754f, 4.754f, 12.982f, 90, 90, 120};
        default:
            return {5.418f, 5.418f, 5.418f, 90, 90, 90};
    }
}

// Inside when on the inner side of every plane (code +1: n.v >= 0, -1: n.v <= 0).
bool inside(const TApuBlock& block, const TVec3D& v, double slack) {
    for (int i = 0; i < block.NormalCount; ++i) {
        const double side = Dot(&block.Normals[i], &v) * block.NormalCodes[i];
        if (side < -slack) return false;
    }
    return true;
}

TVec3D randomUnit(std::mt19937& random) {
    std::normal_distribution<double> gauss;
    TVec3D v{gauss(random), gauss(random), gauss(random)};
    UnityVector(&v);
    return v;
}

class ApuSectors : public ::testing::TestWithParam<int> {
  protected:
    void SetUp() override {
        const int laue = GetParam();
        const Cell c = cellOf(laue);
        m_cs = std::make_unique<TCrySet>();
        std::memset(m_cs.get(), 0, sizeof(TCrySet));
        InitCrySet2(m_cs.get(), "apu", "", c.a, c.b, c.c, c.alpha, c.beta, c.gamma, laue,
                    240 + laue);
        ASSERT_EQ(GetInitIoStatus(), 0);
    }
    // Number of equivalents of d inside the sector; with inversion for the
    // Laue group, without it for the proper rotations.
    int equivalentsInside(const TApuBlock& block, const TVec3D& d, bool withInversion) const {
        int count = 0;
        for (int i = 0; i < m_cs->SymOpCount; ++i) {
            TVec3D e;
            MatMul3x1(&m_cs->SymOps[i], &d, &e);
            if (inside(block, e, 0.0)) ++count;
            OppositVector(&e);
            if (withInversion && inside(block, e, 0.0)) ++count;
        }
        return count;
    }
    std::unique_ptr<TCrySet> m_cs;
};

TEST_P(ApuSectors, CornersAreUnitAndInside) {
    for (const TApuBlock* block : {&m_cs->Apu0, &m_cs->Apu1}) {
        ASSERT_LE(block->DirCount, 5);
        ASSERT_LE(block->NormalCount, 5);
        for (int i = 0; i < block->DirCount; ++i) {
            const TVec3D& d = block->Dirs[i];
            EXPECT_NEAR(Dot(&d, &d), 1.0, 1e-12) << block->DirTexts[i];
            EXPECT_TRUE(inside(*block, d, 1e-9)) << block->DirTexts[i];
        }
        for (int i = 0; i < block->NormalCount; ++i) {
            EXPECT_NEAR(Dot(&block->Normals[i], &block->Normals[i]), 1.0, 1e-12);
            EXPECT_TRUE(block->NormalCodes[i] == 1 || block->NormalCodes[i] == -1);
            EXPECT_NE(std::strchr(block->NormalTexts[i], 'x'), nullptr) << block->NormalTexts[i];
        }
    }
    EXPECT_EQ(m_cs->Apu0.Code, GetParam() * 10);
    EXPECT_EQ(m_cs->Apu1.Code, GetParam() * 10 + 1);
}

// Exactly one equivalent of a general direction lies in the sector: the
// sectors cover the sphere and do not overlap.
TEST_P(ApuSectors, HoldExactlyOneEquivalentOfEveryDirection) {
    std::mt19937 random(4242 + GetParam());
    for (int trial = 0; trial < 2000; ++trial) {
        const TVec3D d = randomUnit(random);
        ASSERT_EQ(equivalentsInside(m_cs->Apu0, d, true), 1) << "variant 0, trial " << trial;
        ASSERT_EQ(equivalentsInside(m_cs->Apu1, d, false), 1) << "variant 1, trial " << trial;
    }
}

// The azimuth and polar ranges in Values bound the sector in an ideal cell.
TEST_P(ApuSectors, RangesBoundTheCorners) {
    const int laue = GetParam();
    if (laue <= 2) GTEST_SKIP() << "ranges describe the ideal cell only";
    for (const TApuBlock* block : {&m_cs->Apu0, &m_cs->Apu1}) {
        const double azimuthMin = block->Values[0], azimuthMax = block->Values[1];
        const double polarMin = block->Values[2], polarMax = block->Values[3];
        EXPECT_LT(azimuthMin, azimuthMax);
        EXPECT_LT(polarMin, polarMax);
        for (int i = 0; i < block->DirCount; ++i) {
            const TVec3D& d = block->Dirs[i];
            const double polar = std::acos(std::max(-1.0, std::min(1.0, d.z))) * 180 / M_PI;
            EXPECT_GE(polar, polarMin - 1e-3);
            EXPECT_LE(polar, polarMax + 1e-3);
            if (std::hypot(d.x, d.y) > 1e-9) {
                double azimuth = std::atan2(d.y, d.x) * 180 / M_PI;
                if (azimuth < azimuthMin - 1e-3) azimuth += 360;  // -180 is 180
                EXPECT_GE(azimuth, azimuthMin - 1e-3) << block->DirTexts[i];
                EXPECT_LE(azimuth, azimuthMax + 1e-3) << block->DirTexts[i];
            }
        }
    }
}

INSTANTIATE_TEST_SUITE_P(AllGroups, ApuSectors, ::testing::Range(1, 12));

}  // namespace
