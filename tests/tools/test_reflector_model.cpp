// The intensity model against closed forms and against the phase table's
// fixed families.
#include <gtest/gtest.h>

#include <cmath>
#include <map>
#include <set>
#include <stdexcept>
#include <string>

#include "phase_lists.h"
#include "reflector_model.h"

namespace rm = reflector_model;

namespace {

std::string DataDirectory() {
    return REFLECTOR_DATA_DIR;
}

rm::PhaseSpec SpecOf(int index) {
    for (const rm::PhaseSpec& spec : rm::readPhaseSpecs(DataDirectory() + "/phases.txt")) {
        if (spec.index == index) {
            return spec;
        }
    }
    throw std::runtime_error("no phase " + std::to_string(index));
}

rm::Structure StructureOf(int index) {
    return rm::readStructureFile(DataDirectory() + "/" + SpecOf(index).structureFile);
}

}  // namespace

TEST(ReflectorModel, ScatteringFactorAtZeroIsTheSumOfTheAmplitudes) {
    // Fe of Table 4.3.2.2: a = 0.3946 1.2725 1.7031 2.3140 1.4795.
    EXPECT_NEAR(rm::electronScatteringFactor("Fe", 0.0), 7.1637, 1e-9);
    EXPECT_LT(rm::electronScatteringFactor("Fe", 1.0), rm::electronScatteringFactor("Fe", 0.5));
    EXPECT_THROW(rm::electronScatteringFactor("Xx", 0.0), std::runtime_error);
}

TEST(ReflectorModel, FriedelCanonicalTakesTheFirstNonZeroIndexPositive) {
    EXPECT_EQ(rm::friedelCanonical({-1, 2, 3}), (rm::Miller{1, -2, -3}));
    EXPECT_EQ(rm::friedelCanonical({0, -1, 1}), (rm::Miller{0, 1, -1}));
    EXPECT_EQ(rm::friedelCanonical({0, 0, -2}), (rm::Miller{0, 0, 2}));
    EXPECT_EQ(rm::friedelCanonical({1, -1, 0}), (rm::Miller{1, -1, 0}));
}

TEST(ReflectorModel, UnitCellsHaveTheRightAtomCounts) {
    EXPECT_EQ(rm::unitCellSites(StructureOf(3)).size(), 2u);    // bcc
    EXPECT_EQ(rm::unitCellSites(StructureOf(2)).size(), 4u);    // fcc
    EXPECT_EQ(rm::unitCellSites(StructureOf(5)).size(), 2u);    // hcp, snapped 1/3 2/3
    EXPECT_EQ(rm::unitCellSites(StructureOf(1)).size(), 30u);   // Al12 O18
    EXPECT_EQ(rm::unitCellSites(StructureOf(11)).size(), 9u);   // Si3 O6
    EXPECT_EQ(rm::unitCellSites(StructureOf(16)).size(), 32u);  // kyanite Al8 Si4 O20
}

// Single-element bcc: F = 2 f(s) for h + k + l even, 0 otherwise, so ratios of
// intensities are ratios of squared scattering factors.
TEST(ReflectorModel, IronBccFollowsTheClosedForm) {
    const rm::FamilyTable table = rm::computeFamilies(StructureOf(3), 1.0);
    ASSERT_GE(table.families.size(), 15u);
    const double a = 2.866;
    for (const rm::Family& family : table.families) {
        for (const rm::Miller& hkl : family.members) {
            EXPECT_EQ((hkl[0] + hkl[1] + hkl[2]) % 2, 0);
            const double d =
                a / std::sqrt(double(hkl[0] * hkl[0] + hkl[1] * hkl[1] + hkl[2] * hkl[2]));
            EXPECT_NEAR(family.dSpacing, d, 1e-9);
            const double f = 2 * rm::electronScatteringFactor("Fe", 0.5 / d);
            EXPECT_NEAR(family.intensity, f * f, 1e-9 * f * f);
        }
    }
    // {411} and {330} share d and |F|: one family of 18.
    EXPECT_EQ(table.families[8].members.size(), 18u);
}

TEST(ReflectorModel, IronBccReproducesTheStoredIntensities) {
    const rm::PhaseList list = rm::buildPhaseListFromDirectory(DataDirectory(), SpecOf(3));
    ASSERT_EQ(list.checks.size(), 15u);
    for (const rm::FixedFamilyCheck& check : list.checks) {
        EXPECT_TRUE(check.sameMembers) << "family " << check.family;
        EXPECT_LE(std::abs(check.computedIntensity - check.givenIntensity), 10)
            << "family " << check.family;
    }
    EXPECT_EQ(list.entries.size(), 190u);
    EXPECT_EQ(list.familyCount, 15);
}

// Family 2 of each phase with a published structure, within 1 %.
TEST(ReflectorModel, PublishedStructuresReproduceFamilyTwo) {
    for (int index : {1, 2, 4, 5, 6, 9, 12, 16, 17}) {
        const rm::PhaseList list = rm::buildPhaseListFromDirectory(DataDirectory(), SpecOf(index));
        SCOPED_TRACE(list.spec.name);
        ASSERT_GE(list.checks.size(), 2u);
        for (const rm::FixedFamilyCheck& check : list.checks) {
            EXPECT_TRUE(check.sameMembers) << "family " << check.family;
        }
        const rm::FixedFamilyCheck& two = list.checks[1];
        EXPECT_LE(std::abs(two.computedIntensity - two.givenIntensity), 0.01 * two.givenIntensity);
        EXPECT_EQ(list.checks[0].computedIntensity, 10000);
        EXPECT_EQ(list.clampedFamilies, 0);
    }
}

TEST(ReflectorModel, ReachedCountsOfThePublishedStructures) {
    const std::map<int, std::pair<std::size_t, int>> expected = {
        {1, {195, 42}}, {2, {193, 18}},  {4, {193, 18}},   {5, {199, 33}},
        {6, {200, 79}}, {9, {199, 112}}, {16, {200, 200}}, {17, {200, 71}}};
    for (const auto& [index, counts] : expected) {
        const rm::PhaseList list = rm::buildPhaseListFromDirectory(DataDirectory(), SpecOf(index));
        EXPECT_EQ(list.entries.size(), counts.first) << list.spec.name;
        EXPECT_EQ(list.familyCount, counts.second) << list.spec.name;
    }
}

TEST(ReflectorModel, NothingOutsideTheSearchSphereOutranksTheBound) {
    const rm::Structure structure = StructureOf(1);
    const double bound = rm::intensityBoundBeyond(structure, 0.8);
    const rm::FamilyTable wide = rm::computeFamilies(structure, 1.6);
    for (const rm::Family& family : wide.families) {
        if (0.5 / family.dSpacing >= 0.8) {
            EXPECT_LT(family.intensity, bound);
        }
    }
}

TEST(ReflectorModel, FamiliesHoldEquivalentReflections) {
    // Titanium: 6/mmm with one of each Friedel pair gives 6 members for {10-1}
    // and 1 for (002); without snapping 1/3 and 2/3 the forms would split.
    const rm::FamilyTable table = rm::computeFamilies(StructureOf(5), 1.0);
    ASSERT_FALSE(table.families.empty());
    EXPECT_EQ(table.families[0].members, (std::vector<rm::Miller>{{0, 0, 2}}));
    EXPECT_EQ(table.families[1].members.size(), 6u);
    for (const rm::Family& family : table.families) {
        std::set<rm::Miller> unique(family.members.begin(), family.members.end());
        EXPECT_EQ(unique.size(), family.members.size());
        // Hexagonal forms have 1, 3, 6 or 12 members in this half of reciprocal space.
        EXPECT_TRUE(family.members.size() == 1 || family.members.size() == 3 ||
                    family.members.size() == 6 || family.members.size() == 12)
            << family.members.size();
    }
}

TEST(ReflectorModel, FixedFamiliesComeFirstAndTheListStaysOrdered) {
    for (int index : {8, 10, 11, 13, 14, 15, 18, 19}) {
        const rm::PhaseList list = rm::buildPhaseListFromDirectory(DataDirectory(), SpecOf(index));
        SCOPED_TRACE(list.spec.name);
        const std::vector<rm::FixedRun> fixed =
            rm::readFixedRuns(DataDirectory() + "/given_families.txt", index);
        std::size_t i = 0;
        for (const rm::FixedRun& run : fixed) {
            for (const rm::Miller& hkl : run.members) {
                ASSERT_LT(i, list.entries.size());
                EXPECT_EQ(list.entries[i].hkl, hkl);
                EXPECT_EQ(list.entries[i].intensity, run.intensity);
                ++i;
            }
        }
        EXPECT_LE(list.entries.size(), rm::kListCapacity);
        for (std::size_t j = 1; j < list.entries.size(); ++j) {
            EXPECT_LE(list.entries[j].intensity, list.entries[j - 1].intensity);
        }
    }
}

TEST(ReflectorModel, BadInputIsReported) {
    EXPECT_THROW(rm::readStructureFile(DataDirectory() + "/no_such_file.cif"), std::runtime_error);
    EXPECT_THROW(rm::readPhaseSpecs(DataDirectory() + "/no_such_file.txt"), std::runtime_error);
}
