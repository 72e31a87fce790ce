// Axis2Indices: small-index texts that parse back to directions at the reported angle, and the
// limit cache.
#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <string>

#include "lattixLib.h"

namespace {

constexpr double kPi = 3.14159265358979323846;

TCrySet makeSet(int laue, float a, float b, float c, float alpha, float beta, float gamma) {
    TCrySet cs{};
    InitCrySet2(&cs, "test", "ref", a, b, c, alpha, beta, gamma, laue, 240 + laue);
    EXPECT_EQ(GetInitIoStatus(), 0) << "setup data missing for group " << laue;
    return cs;
}

TCrySet cubic() {
    return makeSet(11, 4, 4, 4, 90, 90, 90);
}
TCrySet hexagonal() {
    return makeSet(9, 3, 3, 5, 90, 90, 120);
}
TCrySet triclinic() {
    return makeSet(1, 5, 6, 7, 80, 85, 95);
}

TVec3D unit(TVec3D v) {
    const double l = std::sqrt(v.x * v.x + v.y * v.y + v.z * v.z);
    return TVec3D{v.x / l, v.y / l, v.z / l};
}

TVec3D direction(const TCrySet& cs, double u, double v, double w) {
    const TMat3D& d = cs.Direct;
    return unit(TVec3D{d.col[0].x * u + d.col[1].x * v + d.col[2].x * w,
                       d.col[0].y * u + d.col[1].y * v + d.col[2].y * w,
                       d.col[0].z * u + d.col[1].z * v + d.col[2].z * w});
}

struct Result {
    std::string text;
    double angle;
};

Result run(const TCrySet& cs, const TVec3D& v, bool four, const char* limits) {
    char text[32] = "unset";
    double angle = -1;
    Axis2Indices(&cs, &v, four ? 1 : 0, limits, text, &angle);
    return {text, angle};
}

TEST(Axis2Indices, CubicExamples) {
    const TCrySet cs = cubic();
    Result r = run(cs, unit(TVec3D{1, 1, 0}), false, "333");
    EXPECT_EQ(r.text, "110");
    EXPECT_NEAR(r.angle, 0.0, 1e-7);
    r = run(cs, unit(TVec3D{1, 2, 3}), false, "333");
    EXPECT_EQ(r.text, "123");
    EXPECT_NEAR(r.angle, 0.0, 1e-7);
    r = run(cs, unit(TVec3D{1, 2, 3}), false, "111");
    EXPECT_EQ(r.text, "011");
    EXPECT_NEAR(r.angle, std::acos(5 / std::sqrt(28.0)), 1e-12);
    EXPECT_NEAR(r.angle, 0.3335, 1e-4);
    r = run(cs, unit(TVec3D{-1, 0, 0}), false, "333");
    EXPECT_EQ(r.text, "-100");
}

TEST(Axis2Indices, HexagonalFourIndexText) {
    const TCrySet cs = hexagonal();
    const TVec3D a = direction(cs, 1, 0, 0);
    EXPECT_EQ(run(cs, a, true, "333").text, "2-1-10");
    EXPECT_EQ(run(cs, a, false, "333").text, "100");
    EXPECT_EQ(run(cs, direction(cs, 0, 0, 1), true, "333").text, "0001");
}

// For random directions: the text is a direction within the limits, and
// the angle reported is the one between it and v.
void checkRandomDirections(const TCrySet& cs, bool four, const char* limits, int limit,
                           unsigned seed) {
    std::mt19937_64 rng(seed);
    std::normal_distribution<double> n(0.0, 1.0);
    for (int trial = 0; trial < 400; ++trial) {
        const TVec3D v = unit(TVec3D{n(rng), n(rng), n(rng)});
        const Result r = run(cs, v, four, limits);
        TIndices idx;
        ASSERT_EQ(ValidateIndices(1, r.text.c_str(), &idx), 1) << r.text;
        for (int i = 0; i < 3; ++i)
            EXPECT_LE(std::abs(idx.v[i]), limit) << r.text;
        TVec3D back;
        Str2Vec(&cs, 1, r.text.c_str(), &back);
        const double c = std::fmin(1.0, Dot(&back, &v));
        EXPECT_NEAR(std::acos(c), r.angle, 1e-7) << r.text;
        // With positive limits the leading axis itself is a candidate with a
        // positive dot product, so a real direction is always found.
        EXPECT_LT(r.angle, kPi / 2) << r.text;
    }
}

TEST(Axis2Indices, RandomDirectionsParseBackAtTheReportedAngle) {
    checkRandomDirections(cubic(), false, "666", 6, 1);
    checkRandomDirections(hexagonal(), false, "666", 6, 2);
    // Four-index texts stay single-digit (and so readable back) up to 3.
    checkRandomDirections(hexagonal(), true, "333", 3, 3);
    checkRandomDirections(triclinic(), false, "444", 4, 4);
    checkRandomDirections(cubic(), false, "2 2 2", 2, 5);
}

TEST(Axis2Indices, FindsTheNearestDirectionWithinTheLimitsInCubic) {
    // Brute force over every direction within the limits: in a cubic cell
    // the search finds the nearest one.
    const TCrySet cs = cubic();
    std::mt19937_64 rng(17);
    std::normal_distribution<double> n(0.0, 1.0);
    for (int trial = 0; trial < 200; ++trial) {
        const TVec3D v = unit(TVec3D{n(rng), n(rng), n(rng)});
        const Result r = run(cs, v, false, "333");
        double best = -2;
        for (int a = -3; a <= 3; ++a)
            for (int b = -3; b <= 3; ++b)
                for (int c = -3; c <= 3; ++c) {
                    if (a == 0 && b == 0 && c == 0) continue;
                    const TVec3D w = unit(TVec3D{double(a), double(b), double(c)});
                    best = std::fmax(best, Dot(&w, &v));
                }
        EXPECT_GE(r.angle, std::acos(std::fmin(best, 1.0)) - 1e-9);
        EXPECT_LE(r.angle, std::acos(std::fmin(best, 1.0)) + 1e-9);
    }
}

TEST(Axis2Indices, LimitCacheFollowsTheText) {
    const TCrySet cs = cubic();
    const TVec3D v = unit(TVec3D{1, 2, 3});
    EXPECT_EQ(run(cs, v, false, "333").text, "123");
    EXPECT_EQ(run(cs, v, false, "111").text, "011");
    EXPECT_EQ(run(cs, v, false, "111").text, "011");
    EXPECT_EQ(run(cs, v, false, "333").text, "123");
    EXPECT_EQ(run(cs, v, false, "3 3 3").text, "123");
    EXPECT_EQ(run(cs, v, false, "1 1 1").text, "011");
}

TEST(Axis2Indices, UnusableLimitsGiveZeroIndicesAtNinetyDegrees) {
    const TCrySet cs = cubic();
    const TVec3D v = unit(TVec3D{1, 2, 3});
    for (const char* limits : {"abc", "000", "12", "", "1a1", "1A1"}) {
        const Result r = run(cs, v, false, limits);
        EXPECT_EQ(r.text, "000") << "limits '" << limits << "'";
        EXPECT_NEAR(r.angle, kPi / 2, 1e-15);
    }
    // A limit of 0 along the leading axis admits no candidate either.
    EXPECT_EQ(run(cs, v, false, "330").text, "000");
    // A usable text afterwards is parsed again.
    EXPECT_EQ(run(cs, v, false, "333").text, "123");
    // A zero direction has no leading component.
    EXPECT_EQ(run(cs, TVec3D{0, 0, 0}, false, "333").text, "000");
}

TEST(Axis2Indices, LimitTextLongerThanTheCacheStillApplies) {
    const TCrySet cs = cubic();
    const TVec3D v = unit(TVec3D{1, 2, 3});
    const std::string padded = std::string(100, ' ') + "1 1 1" + std::string(100, ' ');
    EXPECT_EQ(run(cs, v, false, padded.c_str()).text, "011");
    EXPECT_EQ(run(cs, v, false, padded.c_str()).text, "011");
    EXPECT_EQ(run(cs, v, false, "333").text, "123");
    const std::string paddedWide = std::string(100, ' ') + "3 3 3";
    EXPECT_EQ(run(cs, v, false, paddedWide.c_str()).text, "123");
    EXPECT_EQ(run(cs, v, false, "111").text, "011");
}

TEST(Axis2Indices, LargeLimitsUseMultiDigitTexts) {
    const TCrySet cs = cubic();
    const TVec3D v = unit(TVec3D{1, 10, 0});
    const Result r = run(cs, v, false, "20 20 20");
    EXPECT_EQ(r.text, "1.100");
    EXPECT_NEAR(r.angle, 0.0, 1e-7);
}

}  // namespace
