// The built-in phase table and the invariants of every reflector list.
#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <cstdlib>
#include <limits>
#include <map>
#include <numbers>
#include <set>
#include <tuple>
#include <vector>

#include "phase_catalogue.h"

namespace {

using Hkl = std::tuple<int, int, int>;

TPhaseRecord Built(std::uint32_t index) {
    TPhaseRecord phase;
    BuildPhase(index, phase);
    return phase;
}

// 1/d^2 from the stored cell, written out independently of the library.
double InverseDSquared(const TPhaseRecord& p, const TPhaseReflector& r) {
    const double deg = std::numbers::pi / 180.0;
    const double a = p.A, b = p.B, c = p.C;
    const double ca = std::cos(p.Alpha * deg), cb = std::cos(p.Beta * deg),
                 cg = std::cos(p.Gamma * deg);
    const double g[3][3] = {{a * a, a * b * cg, a * c * cb},
                            {a * b * cg, b * b, b * c * ca},
                            {a * c * cb, b * c * ca, c * c}};
    // Solve G x = h by Cramer's rule and return h . x = h^T G^-1 h.
    const double h[3] = {double(r.h), double(r.k), double(r.l)};
    auto det = [](const double m[3][3]) {
        return m[0][0] * (m[1][1] * m[2][2] - m[1][2] * m[2][1]) -
               m[0][1] * (m[1][0] * m[2][2] - m[1][2] * m[2][0]) +
               m[0][2] * (m[1][0] * m[2][1] - m[1][1] * m[2][0]);
    };
    const double d = det(g);
    double result = 0;
    for (int col = 0; col < 3; ++col) {
        double m[3][3];
        for (int i = 0; i < 3; ++i) {
            for (int j = 0; j < 3; ++j) {
                m[i][j] = j == col ? h[i] : g[i][j];
            }
        }
        result += h[col] * det(m) / d;
    }
    return result;
}

const char* const kNames[kPhaseCount] = {"Alumina",
                                         "Aluminium",
                                         "Iron bcc",
                                         "Iron fcc",
                                         "Titanium",
                                         "YBa2Cu3O7",
                                         "SiC [2H]",
                                         "Zirconia, tetragonal",
                                         "Zirconia, monoclinic",
                                         "Lead Titanate",
                                         "Quartz",
                                         "Forsterite",
                                         "Pyrite",
                                         "Cordierite",
                                         "Andalusite",
                                         "Kyanite",
                                         "Sillimanite",
                                         "Pigeonite",
                                         "Augite"};

}  // namespace

TEST(PhaseTable, NamesInIndexOrderThenEmpty) {
    for (std::uint32_t i = 1; i <= kPhaseCount; ++i) {
        EXPECT_EQ(Built(i).Name, kNames[i - 1]) << i;
    }
    EXPECT_TRUE(Built(kPhaseCount + 1).Name.empty());
}

TEST(PhaseTable, IndicesOutsideTheTableGiveTheEmptyRecord) {
    for (std::uint32_t index : {0u, 20u, 255u, std::numeric_limits<std::uint32_t>::max()}) {
        TPhaseRecord phase = Built(3);  // start from a filled record
        BuildPhase(index, phase);
        EXPECT_TRUE(phase.Name.empty());
        EXPECT_TRUE(phase.Comment.empty());
        EXPECT_TRUE(phase.Setting.empty());
        EXPECT_TRUE(phase.Symbol.empty());
        EXPECT_TRUE(phase.Remark.empty());
        EXPECT_EQ(phase.SpaceGroupCode, 0);
        EXPECT_EQ(phase.Year, 0);
        EXPECT_EQ(phase.A, 1.0f);
        EXPECT_EQ(phase.B, 1.0f);
        EXPECT_EQ(phase.C, 1.0f);
        EXPECT_EQ(phase.Alpha, 90.0f);
        EXPECT_EQ(phase.Beta, 90.0f);
        EXPECT_EQ(phase.Gamma, 90.0f);
    }
}

TEST(PhaseTable, EmptyRecordKeepsThePreviousReflectors) {
    TPhaseRecord phase = Built(16);
    const auto before = phase.Reflectors;
    BuildPhase(0, phase);
    for (std::size_t i = 0; i < kPhaseReflectorCapacity; ++i) {
        EXPECT_EQ(phase.Reflectors[i].h, before[i].h);
        EXPECT_EQ(phase.Reflectors[i].Intensity, before[i].Intensity);
        EXPECT_EQ(phase.Reflectors[i].Family, before[i].Family);
    }
    EXPECT_EQ(UsedReflectorCount(phase), 200u);
}

TEST(PhaseTable, RealPhaseOverwritesEveryReflectorEntry) {
    TPhaseRecord phase = Built(16);  // 200 used entries
    BuildPhase(3, phase);            // 190 used entries
    EXPECT_EQ(UsedReflectorCount(phase), 190u);
    for (std::size_t i = 190; i < kPhaseReflectorCapacity; ++i) {
        const TPhaseReflector& r = phase.Reflectors[i];
        EXPECT_TRUE(r.h == 0 && r.k == 0 && r.l == 0 && r.Intensity == 0 && r.Family == 0) << i;
    }
}

TEST(PhaseTable, CodesSettingsAndYears) {
    const std::map<std::uint32_t, std::tuple<int, const char*, int>> expected = {
        {1, {167, "", 0}},    {3, {229, "", 0}},         {6, {243, "3", 0}},
        {7, {249, "9", 0}},   {10, {99, "", 1985}},      {12, {243, "3", 0}},
        {14, {66, "", 1979}}, {15, {58, "", 1984}},      {16, {2, "", 1997}},
        {17, {243, "3", 0}},  {18, {14, "b uni", 1970}}, {19, {15, "b uni", 1994}}};
    for (const auto& [index, row] : expected) {
        const TPhaseRecord p = Built(index);
        EXPECT_EQ(p.SpaceGroupCode, std::get<0>(row)) << index;
        EXPECT_EQ(p.Setting, std::get<1>(row)) << index;
        EXPECT_EQ(p.Year, std::get<2>(row)) << index;
    }
    int laueCoded = 0;
    for (std::uint32_t i = 1; i <= kPhaseCount; ++i) {
        laueCoded += Built(i).SpaceGroupCode > 240;
    }
    EXPECT_EQ(laueCoded, 4);
}

TEST(PhaseTable, SymbolsAsListed) {
    EXPECT_EQ(Built(5).Symbol, "P 6_3/m m c");
    EXPECT_EQ(Built(8).Symbol, "P 4_2/n m c");
    EXPECT_EQ(Built(11).Symbol, "P 3_1 2 1");
    EXPECT_EQ(Built(13).Symbol, "P a -3");
    EXPECT_EQ(Built(14).Symbol, "Cccm");
    EXPECT_EQ(Built(18).Symbol, "P2_1/c");
    for (std::uint32_t i = 1; i <= kPhaseCount; ++i) {
        const std::string symbol = Built(i).Symbol;
        EXPECT_LE(symbol.size(), 11u);
        // Blanks between the symmetry elements in phases 1 to 13 (the Laue symbols are single
        // words).
        const bool blanks = symbol.find(' ') != std::string::npos;
        if (i >= 14) {
            EXPECT_FALSE(blanks) << i;
        }
    }
}

TEST(PhaseTable, LatticeValuesAreTheNearestFloats) {
    const TPhaseRecord alumina = Built(1);
    EXPECT_EQ(alumina.A, 4.754f);
    EXPECT_EQ(alumina.C, 12.982f);
    EXPECT_EQ(alumina.Gamma, 120.0f);
    const TPhaseRecord kyanite = Built(16);
    EXPECT_EQ(kyanite.Alpha, 89.99f);
    EXPECT_EQ(kyanite.Beta, 101.15f);
    EXPECT_EQ(kyanite.Gamma, 105.95f);
    EXPECT_EQ(Built(15).B, 7.8735f);
    EXPECT_EQ(Built(9).Beta, 99.22f);
}

// Every invariant of a stored list, for every phase.
TEST(PhaseLists, KeepTheInvariants) {
    for (std::uint32_t index = 1; index <= kPhaseCount; ++index) {
        SCOPED_TRACE(kNames[index - 1]);
        const TPhaseRecord p = Built(index);
        const std::size_t used = UsedReflectorCount(p);
        ASSERT_GT(used, 0u);
        // Members of one family may differ by 5 hundredths in these three only.
        const int spread = (index == 5 || index == 7 || index == 11) ? 5 : 0;
        EXPECT_EQ(p.Reflectors[0].Intensity, 10000);
        std::set<Hkl> seen;
        int family = 0;
        int familyMax = 0;
        double familyInverseD2 = 0;
        for (std::size_t i = 0; i < used; ++i) {
            const TPhaseReflector& r = p.Reflectors[i];
            EXPECT_FALSE(r.h == 0 && r.k == 0 && r.l == 0) << i;
            if (i > 0) {
                EXPECT_LE(r.Intensity, p.Reflectors[i - 1].Intensity) << i;
            }
            if (r.Family != family) {
                EXPECT_EQ(r.Family, family + 1) << "family numbers step by one, entry " << i;
                family = r.Family;
                familyMax = r.Intensity;
                familyInverseD2 = InverseDSquared(p, r);
            } else {
                EXPECT_LE(familyMax - r.Intensity, spread) << "entry " << i;
                // Equivalent planes have one spacing (float cell: relative 1e-5).
                EXPECT_NEAR(InverseDSquared(p, r), familyInverseD2, 1e-5 * familyInverseD2)
                    << "entry " << i;
            }
            EXPECT_TRUE(seen.insert({r.h, r.k, r.l}).second) << "duplicate at " << i;
            EXPECT_EQ(seen.count({-r.h, -r.k, -r.l}), 0u) << "Friedel pair twice at " << i;
        }
        for (std::size_t i = used; i < kPhaseReflectorCapacity; ++i) {
            const TPhaseReflector& r = p.Reflectors[i];
            EXPECT_TRUE(r.h == 0 && r.k == 0 && r.l == 0 && r.Intensity == 0 && r.Family == 0) << i;
        }
    }
}

TEST(PhaseLists, IronBccFamiliesAsStored) {
    const TPhaseRecord p = Built(3);
    ASSERT_EQ(UsedReflectorCount(p), 190u);
    const std::vector<int> sizes = {6, 3, 12, 6, 12, 4, 24, 3, 18, 12, 12, 12, 36, 24, 6};
    const std::vector<int> intensities = {10000, 5067, 3228, 2266, 1683, 1300, 1032, 838,
                                          703,   588,  500,  433,  374,  294,  260};
    std::vector<int> countedSizes(15, 0);
    for (std::size_t i = 0; i < 190; ++i) {
        const TPhaseReflector& r = p.Reflectors[i];
        ASSERT_GE(r.Family, 1);
        ASSERT_LE(r.Family, 15);
        ++countedSizes[r.Family - 1];
        EXPECT_EQ(r.Intensity, intensities[r.Family - 1]) << i;
        // Body centring: h + k + l even.
        EXPECT_EQ((r.h + r.k + r.l) % 2, 0) << i;
    }
    EXPECT_EQ(countedSizes, sizes);
    // Stored order: the first and last entries of the list.
    EXPECT_EQ(std::make_tuple(p.Reflectors[0].h, p.Reflectors[0].k, p.Reflectors[0].l),
              std::make_tuple(1, -1, 0));
    EXPECT_EQ(std::make_tuple(p.Reflectors[189].h, p.Reflectors[189].k, p.Reflectors[189].l),
              std::make_tuple(0, 4, -4));
}

TEST(PhaseLists, FirstTwoFamiliesAsListed) {
    struct Expect {
        std::uint32_t index;
        std::vector<std::array<int, 4>> entries;  // h, k, l, intensity
    };
    const std::vector<Expect> table = {
        {1,
         {{3, 0, 0, 10000},
          {0, 3, 0, 10000},
          {3, -3, 0, 10000},
          {1, 0, 4, 6320},
          {0, 1, -4, 6320},
          {1, -1, -4, 6320}}},
        {6, {{0, 2, 0, 10000}, {2, 0, 0, 9711}}},
        {11,
         {{1, 0, 1, 10000},
          {1, -1, -1, 10000},
          {0, 1, -1, 9995},
          {1, -1, 1, 4192},
          {1, 0, -1, 4192},
          {0, 1, 1, 4190}}},
        {16, {{1, 0, -4, 10000}, {3, 0, -2, 9538}}},
        {19, {{0, 0, 2, 10000}, {2, -2, -1, 9974}, {2, 2, -1, 9974}}},
    };
    for (const Expect& e : table) {
        const TPhaseRecord p = Built(e.index);
        for (std::size_t i = 0; i < e.entries.size(); ++i) {
            const TPhaseReflector& r = p.Reflectors[i];
            EXPECT_EQ((std::array<int, 4>{r.h, r.k, r.l, r.Intensity}), e.entries[i])
                << e.index << " entry " << i;
            EXPECT_LE(r.Family, 2);
        }
        EXPECT_EQ(p.Reflectors[e.entries.size()].Family, 3) << e.index;
    }
}

TEST(PhaseLists, KyaniteHas200SingleEntryFamilies) {
    const TPhaseRecord p = Built(16);
    ASSERT_EQ(UsedReflectorCount(p), 200u);
    for (std::size_t i = 0; i < 200; ++i) {
        EXPECT_EQ(p.Reflectors[i].Family, i + 1);
    }
}

TEST(PhaseLists, EveryListFitsAndFillsTheMap) {
    for (std::uint32_t index = 1; index <= kPhaseCount; ++index) {
        const TPhaseRecord p = Built(index);
        const std::size_t used = UsedReflectorCount(p);
        EXPECT_LE(used, kPhaseReflectorCapacity);
        // Long enough to fill a Kikuchi map: at least 180 of the 200 entries.
        EXPECT_GE(used, 180u) << kNames[index - 1];
    }
}
