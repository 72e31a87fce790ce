// Crystal-system classification, lattice lines and titles of phases.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <utility>
#include <vector>

#include "phase_catalogue.h"

namespace {

TCrySet CellOf(int laueGroup, float a, float b, float c, float alpha, float beta, float gamma) {
    TCrySet set;
    std::memset(&set, 0, sizeof set);
    set.A = a;
    set.B = b;
    set.C = c;
    set.Alpha = alpha;
    set.Beta = beta;
    set.Gamma = gamma;
    set.LaueGroup = laueGroup;
    return set;
}

// The crystal set the program builds for a phase, as far as the text reads it.
TCrySet CellOfPhase(std::uint32_t index) {
    TPhaseRecord p;
    BuildPhase(index, p);
    return CellOf(LaueIndexOfCode(p.SpaceGroupCode), p.A, p.B, p.C, p.Alpha, p.Beta, p.Gamma);
}

}  // namespace

TEST(LaueIndexOfCode, RangeEdges) {
    const std::vector<std::pair<int, int>> table = {
        {1, 1},    {2, 1},    {3, 2},    {15, 2},  {16, 3},   {74, 3},   {75, 4},
        {88, 4},   {89, 5},   {142, 5},  {143, 6}, {148, 6},  {149, 7},  {167, 7},
        {168, 8},  {176, 8},  {177, 9},  {194, 9}, {195, 10}, {206, 10}, {207, 11},
        {230, 11}, {241, 1},  {243, 3},  {249, 9}, {251, 11}, {0, -1},   {231, -1},
        {240, -1}, {252, -1}, {255, -1}, {-1, -1}, {-241, -1}};
    for (const auto& [code, laue] : table) {
        EXPECT_EQ(LaueIndexOfCode(code), laue) << code;
    }
}

TEST(CrystalSystem, ByLaueGroup) {
    const char* const names[] = {"[Error]",    "Triclinic",  "Monoclinic", "Orthorhombic",
                                 "Tetragonal", "Tetragonal", "Trigonal",   "Trigonal",
                                 "Hexagonal",  "Hexagonal",  "Cubic",      "Cubic",
                                 "[Error]"};
    for (int laue = 0; laue <= 12; ++laue) {
        EXPECT_EQ(CrystalSystemOfLaueGroup(laue), names[laue]) << laue;
    }
    EXPECT_EQ(CrystalSystemOfLaueGroup(-1), "[Error]");
}

TEST(CrystalSystem, ByCodeOnEveryRangeEdge) {
    const std::vector<std::pair<int, const char*>> table = {
        {1, "Triclinic"},     {2, "Triclinic"},     {3, "Monoclinic"},  {15, "Monoclinic"},
        {16, "Orthorhombic"}, {74, "Orthorhombic"}, {75, "Tetragonal"}, {88, "Tetragonal"},
        {89, "Tetragonal"},   {142, "Tetragonal"},  {143, "Trigonal"},  {148, "Trigonal"},
        {149, "Trigonal"},    {167, "Trigonal"},    {168, "Hexagonal"}, {176, "Hexagonal"},
        {177, "Hexagonal"},   {194, "Hexagonal"},   {195, "Cubic"},     {206, "Cubic"},
        {207, "Cubic"},       {230, "Cubic"},       {241, "Triclinic"}, {243, "Orthorhombic"},
        {249, "Hexagonal"},   {251, "Cubic"},       {0, "[Error]"},     {231, "[Error]"},
        {240, "[Error]"},     {252, "[Error]"},     {-5, "[Error]"}};
    for (const auto& [code, name] : table) {
        EXPECT_EQ(CrystalSystemText(code), name) << code;
    }
}

TEST(LatticeText, LinesOfBuiltInPhases) {
    EXPECT_EQ(LatticeText(CellOfPhase(9)), "a=5.146 b=5.212 c=5.313\xC5; beta=99.22\xB0");
    EXPECT_EQ(LatticeText(CellOfPhase(1)), "a=4.754 c=12.98\xC5 gamma=120\xB0");
    EXPECT_EQ(LatticeText(CellOfPhase(5)), "a=2.95 c=4.683\xC5 gamma=120\xB0");
    EXPECT_EQ(LatticeText(CellOfPhase(8)), "a=3.605 c=5.18\xC5");
    EXPECT_EQ(LatticeText(CellOfPhase(2)), "a=4.05\xC5");
    EXPECT_EQ(LatticeText(CellOfPhase(16)),
              "a=7.124 b=7.856 c=5.577\xC5 alpha=89.99 beta=101.2 gamma=105.9\xB0");
    EXPECT_EQ(LatticeText(CellOfPhase(6)), "a=3.823 b=3.886 c=11.68\xC5");
}

TEST(LatticeText, RhombohedralAxes) {
    EXPECT_EQ(LatticeText(CellOf(7, 5.128f, 5.128f, 5.128f, 85, 85, 85)),
              "a=5.128\xC5 gamma=85\xB0");
    EXPECT_EQ(LatticeText(CellOf(6, 3, 3, 3, 119, 119, 119)), "a=3\xC5 gamma=119\xB0");
    // gamma within 0.01 of 120 still reads as hexagonal axes.
    EXPECT_EQ(LatticeText(CellOf(9, 3, 3, 5, 90, 90, 120.005f)), "a=3 c=5\xC5 gamma=120\xB0");
}

TEST(LatticeText, MonoclinicShowsTheOneNonRightAngle) {
    EXPECT_EQ(LatticeText(CellOf(2, 5, 6, 7, 90, 90, 100)), "a=5 b=6 c=7\xC5; gamma=100\xB0");
    EXPECT_EQ(LatticeText(CellOf(2, 5, 6, 7, 95, 90, 90)), "a=5 b=6 c=7\xC5; alpha=95\xB0");
    EXPECT_EQ(LatticeText(CellOf(2, 5, 6, 7, 90, 90.005f, 90)), "a=5 b=6 c=7\xC5; alpha=90\xB0");
    EXPECT_EQ(LatticeText(CellOf(2, 5, 6, 7, 90, 90.02f, 90)), "a=5 b=6 c=7\xC5; beta=90.02\xB0");
}

TEST(LatticeText, InvalidLaueGroup) {
    EXPECT_EQ(LatticeText(CellOf(0, 1, 1, 1, 90, 90, 90)), "[Error]");
    EXPECT_EQ(LatticeText(CellOf(12, 1, 1, 1, 90, 90, 90)), "[Error]");
    EXPECT_EQ(LatticeText(CellOf(-1, 1, 1, 1, 90, 90, 90)), "[Error]");
}

TEST(LatticeText, DecimalSeparatorIsAParameter) {
    EXPECT_EQ(LatticeText(CellOfPhase(9), ','), "a=5,146 b=5,212 c=5,313\xC5; beta=99,22\xB0");
    EXPECT_EQ(LatticeText(CellOfPhase(2), ','), "a=4,05\xC5");
}

// Four significant digits exactly as C's "%.4g" in the C locale, which the
// test process runs in.
TEST(LatticeText, NumbersMatchPrintfG4) {
    const float values[] = {1.0f,        0.5f,     12.982f,  101.15f, 105.95f, 99.995f,     9.9995f,
                            0.00012345f, 12345.0f, 99999.0f, 3.6055f, 1e-7f,   123456789.0f};
    for (float v : values) {
        char expected[64];
        std::snprintf(expected, sizeof expected, "a=%.4g\xC5", static_cast<double>(v));
        EXPECT_EQ(LatticeText(CellOf(11, v, v, v, 90, 90, 90)), expected) << v;
    }
}

TEST(PhaseTitle, CodeAndSymbolOrSymbolAlone) {
    TPhaseRecord p;
    BuildPhase(1, p);
    EXPECT_EQ(PhaseTitle(p), "167, R -3 c");
    BuildPhase(6, p);
    EXPECT_EQ(PhaseTitle(p), "mmm");
    BuildPhase(7, p);
    EXPECT_EQ(PhaseTitle(p), "6/mmm");
    BuildPhase(16, p);
    EXPECT_EQ(PhaseTitle(p), "2, P-1");
    BuildPhase(0, p);
    EXPECT_EQ(PhaseTitle(p), "");
}
