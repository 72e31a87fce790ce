// f factors against closed forms and Schmid factors against an explicit loop over the twelve
// {111}<110> systems.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <memory>
#include <random>

#include "../support/lattix_test_support.h"
#include "lattixLib.h"

namespace {

using namespace lattix_test;

TEST(fFactor, SumsEqualTheDirectionCount) {
    std::mt19937_64 rng(51);
    struct Case {
        int laue;
        const char* text;
        int count;
    };
    const Case cases[] = {{9, "0001", 1}, {11, "100", 3},   {11, "111", 4},
                          {11, "110", 6}, {9, "2-1-10", 3}, {5, "1 2 3", 8}};
    for (const Case& c : cases) {
        auto ff = makeRecord<TFFactorSet>(c.laue);
        ff->InSpecimenFrame = static_cast<uint8_t>(c.count % 2);
        ff->FrameEuler = randomEuler(rng);
        std::strcpy(ff->FDirText, c.text);
        fFactorInit(ff.get());
        ASSERT_EQ(ff->FDirCount, c.count) << c.text;
        for (int trial = 0; trial < 20; ++trial) {
            const TVec3D e = randomEuler(rng);
            TVec3D f;
            fFactor(ff.get(), &e, &f);
            EXPECT_NEAR(f.x + f.y + f.z, c.count, 1e-12) << c.text;
        }
    }
}

TEST(fFactor, ClosedFormsForCubeAxesBodyDiagonalsAndTheHexagonalCAxis) {
    std::mt19937_64 rng(53);
    auto cube = makeRecord<TFFactorSet>(11);
    cube->InSpecimenFrame = 0;
    cube->FrameEuler = randomEuler(rng);
    std::strcpy(cube->FDirText, "100");
    fFactorInit(cube.get());
    auto diagonals = makeRecord<TFFactorSet>(11);
    diagonals->InSpecimenFrame = 1;
    std::strcpy(diagonals->FDirText, "111");
    fFactorInit(diagonals.get());
    EXPECT_EQ(diagonals->FDirHasAntiparallel, 1);
    auto hexC = makeRecord<TFFactorSet>(9);
    hexC->InSpecimenFrame = 1;
    std::strcpy(hexC->FDirText, "0001");
    fFactorInit(hexC.get());
    for (int trial = 0; trial < 50; ++trial) {
        const TVec3D e = randomEuler(rng);
        TVec3D f;
        // The three cube axes: each specimen axis has unit length over them.
        fFactor(cube.get(), &e, &f);
        EXPECT_NEAR(f.x, 1.0, 1e-12);
        EXPECT_NEAR(f.y, 1.0, 1e-12);
        EXPECT_NEAR(f.z, 1.0, 1e-12);
        // Four body diagonals: sum of (d.x)^2 = 4/3 |x|^2.
        fFactor(diagonals.get(), &e, &f);
        EXPECT_NEAR(f.x, 4.0 / 3, 1e-12);
        EXPECT_NEAR(f.y, 4.0 / 3, 1e-12);
        EXPECT_NEAR(f.z, 4.0 / 3, 1e-12);
        // c axis: the squares of row 3 of g, (sin phi1 sin Phi, -cos phi1 sin Phi, cos Phi).
        fFactor(hexC.get(), &e, &f);
        EXPECT_NEAR(f.x, std::pow(std::sin(e.x) * std::sin(e.y), 2), 1e-12);
        EXPECT_NEAR(f.y, std::pow(std::cos(e.x) * std::sin(e.y), 2), 1e-12);
        EXPECT_NEAR(f.z, std::pow(std::cos(e.y), 2), 1e-12);
    }
}

std::unique_ptr<TSchmidSet> fccSlip(double load1, double load2) {
    auto ss = makeRecord<TSchmidSet>(11);
    std::strcpy(ss->SlipPlaneText, "111");
    std::strcpy(ss->SlipDirText, "1-10");
    ss->LoadAngle1 = load1;
    ss->LoadAngle2 = load2;
    SchmidFactorInit(ss.get());
    return ss;
}

TEST(SchmidFactor, CubeOrientationLoadedAlongZ) {
    const auto ss = fccSlip(0, kPi / 2);
    EXPECT_EQ(ss->SlipSystemCount, 24);
    TSchmidTrace trace{};
    const TVec3D zero{0, 0, 0};
    EXPECT_NEAR(SchmidFactor(ss.get(), &zero, &trace), 1 / std::sqrt(6.0), 1e-12);
    EXPECT_EQ(trace.TraceValid, 0);
}

TEST(SchmidFactor, MatchesTheTwelveSlipSystemsForRandomOrientations) {
    const double r3 = 1 / std::sqrt(3.0), r2 = 1 / std::sqrt(2.0);
    const double planes[4][3] = {{1, 1, 1}, {-1, 1, 1}, {1, -1, 1}, {1, 1, -1}};
    const double dirs[6][3] = {{1, -1, 0}, {1, 0, -1}, {0, 1, -1}, {1, 1, 0}, {1, 0, 1}, {0, 1, 1}};
    std::mt19937_64 rng(57);
    std::uniform_real_distribution<double> u(0.0, 1.0);
    for (int trial = 0; trial < 300; ++trial) {
        const double load1 = 2 * kPi * u(rng), load2 = std::asin(2 * u(rng) - 1);
        const auto ss = fccSlip(load1, load2);
        const TVec3D e = randomEuler(rng);
        const TMat3D g = euler(e);
        const TVec3D loadSpecimen{std::cos(load2) * std::cos(load1),
                                  std::cos(load2) * std::sin(load1), std::sin(load2)};
        TVec3D load;
        MatMul3x1(&g, &loadSpecimen, &load);
        double best = -1;
        int systems = 0;
        for (const auto& p : planes)
            for (const auto& d : dirs) {
                if (std::fabs(p[0] * d[0] + p[1] * d[1] + p[2] * d[2]) > 0) continue;
                ++systems;
                const double cosPhi = (load.x * p[0] + load.y * p[1] + load.z * p[2]) * r3;
                const double cosLambda = (load.x * d[0] + load.y * d[1] + load.z * d[2]) * r2;
                best = std::fmax(best, std::fabs(cosPhi * cosLambda));
            }
        ASSERT_EQ(systems, 12);
        TSchmidTrace trace{};
        trace.WantTrace = 1;
        const double s = SchmidFactor(ss.get(), &e, &trace);
        EXPECT_NEAR(s, best, 1e-12);
        EXPECT_LE(s, 0.5 + 1e-12);
        ASSERT_EQ(trace.TraceValid, 1);
        EXPECT_EQ(trace.Trace.z, 0.0);
        // The trace is perpendicular to the projection of a winning plane
        // normal onto the surface, and that plane reaches the best factor.
        bool found = false;
        TMat3D gt;
        Transpose(&g, &gt);
        for (const auto& p : planes) {
            const TVec3D n{p[0] * r3, p[1] * r3, p[2] * r3};
            TVec3D w;
            MatMul3x1(&gt, &n, &w);
            const double projection = std::hypot(w.x, w.y);
            const double cross = std::fabs(trace.Trace.x * w.y - trace.Trace.y * w.x);
            const double along = trace.Trace.x * w.x + trace.Trace.y * w.y;
            if (std::fabs(along) < 1e-12 && std::fabs(cross - projection * projection) < 1e-12) {
                double planeBest = -1;
                for (const auto& d : dirs) {
                    if (std::fabs(p[0] * d[0] + p[1] * d[1] + p[2] * d[2]) > 0) continue;
                    const double cosPhi = (load.x * p[0] + load.y * p[1] + load.z * p[2]) * r3;
                    const double cosLambda = (load.x * d[0] + load.y * d[1] + load.z * d[2]) * r2;
                    planeBest = std::fmax(planeBest, std::fabs(cosPhi * cosLambda));
                }
                found = found || std::fabs(planeBest - best) < 1e-12;
            }
        }
        EXPECT_TRUE(found);
    }
}

TEST(SchmidFactor, TraceUntouchedWhenNotAskedFor) {
    const auto ss = fccSlip(0.3, 0.4);
    TSchmidTrace trace{};
    trace.WantTrace = 0;
    trace.TraceValid = 0;
    trace.Trace = TVec3D{5, 6, 7};
    const TVec3D e{0.1, 0.2, 0.3};
    SchmidFactor(ss.get(), &e, &trace);
    EXPECT_EQ(trace.TraceValid, 0);
    EXPECT_EQ(trace.Trace.x, 5.0);
    EXPECT_EQ(trace.Trace.z, 7.0);
}

TEST(SchmidFactor, UninitialisedRecordGivesZero) {
    auto ss = std::make_unique<TSchmidSet>();
    std::memset(ss.get(), 0, sizeof(TSchmidSet));
    TSchmidTrace trace{};
    trace.WantTrace = 1;
    const TVec3D e{0.1, 0.2, 0.3};
    EXPECT_EQ(SchmidFactor(ss.get(), &e, &trace), 0.0);
    EXPECT_EQ(trace.TraceValid, 0);
}

}  // namespace
