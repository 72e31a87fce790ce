// User phases from structure files written for these tests: lists against
// gemmi's own structure-factor calculator, equal lists for equal structures
// given in other settings, the Laue group given to the library, notes.
#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <set>

#include "phase_lists.h"
#include "structure_test_support.h"

namespace {

using namespace structure_test;

struct OracleCase {
    const char* file;
    const char* spaceGroup;  // the file's setting, as gemmi names it
    IndexMap map;            // file's indices from the loaded (library-axes) ones
    int laue;
    int code;
};

// Rhombohedral from hexagonal obverse indices; c-unique from b-unique ones.
constexpr IndexMap kHexToRhomb = {{{2, 1, 1}, {-1, 1, 1}, {-1, -2, 1}}};  // times 1/3
constexpr IndexMap kBToC = {{{0, 0, 1}, {1, 0, 0}, {0, 1, 0}}};

const OracleCase kCases[] = {
    {"copper.cif", "F m -3 m", kSame, 11, 225},
    {"copper_uiso.cif", "F m -3 m", kSame, 11, 225},
    {"copper_biso.cif", "F m -3 m", kSame, 11, 225},
    {"copper_aniso.cif", "F m -3 m", kSame, 11, 225},
    {"si_origin1.cif", "F d -3 m:1", kSame, 11, 227},
    {"si_origin2.cif", "F d -3 m:2", kSame, 11, 227},
    {"magnesium.cif", "P 63/m m c", kSame, 9, 194},
    {"bismuth_hex.cif", "R -3 m:H", kSame, 7, 166},
    {"bismuth_rhomb.cif", "R -3 m:R", kHexToRhomb, 7, 166},
    {"mono_b.cif", "P 1 21/c 1", kSame, 2, 14},
    {"mono_c.cif", "P 1 1 21/a", kBToC, 2, 14},
    {"trigonal_p31m.cif", "P -3 1 m", kSame, 6, 162},
    {"trigonal_p3m1.cif", "P -3 m 1", kSame, 7, 164},
};

class IntensityOracle : public ::testing::TestWithParam<OracleCase> {};

TEST_P(IntensityOracle, ListMatchesGemmiCalculatorAndLaueGroupHolds) {
    const OracleCase& c = GetParam();
    const ebsp_structure::UserPhase phase = loadOk(c.file);
    ASSERT_FALSE(phase.record.Name.empty());
    EXPECT_EQ(phase.laueGroup, c.laue);
    EXPECT_EQ(phase.record.SpaceGroupCode, c.code);
    EXPECT_TRUE(phase.hasStructure);

    // The rhombohedral map carries a factor 1/3.
    const bool third = c.map == kHexToRhomb;
    const IndexMap map = c.map;
    // gemmi works on integer indices: scale the rhombohedral map afterwards.
    auto fileIndices = [&](const Miller& h) {
        Miller f = applyMap(map, h);
        if (third) {
            for (int& v : f) {
                EXPECT_EQ(v % 3, 0);
                v /= 3;
            }
        }
        return f;
    };
    Oracle oracle(c.file, c.spaceGroup, kSame);
    auto intensity = [&](const Miller& h) { return oracle.intensity(fileIndices(h)); };

    const std::vector<TPhaseReflector> entries = usedEntries(phase.record);
    ASSERT_GE(entries.size(), 30u);
    ASSERT_LE(entries.size(), 200u);
    TCrySet cs{};
    initCrySetOf(cs, phase.record, phase.laueGroup);
    EXPECT_EQ(phase.description, PhaseDescriptionLines(phase.record, cs));

    // Every reflection of the loaded cell up to beyond the list's last spacing.
    double dLast = 1e9;
    for (const auto& e : entries)
        dLast = std::min(dLast, LatticeSpacing(&cs, e.h, e.k, e.l));
    const double qMax = 1.0 / dLast + 0.02;
    std::map<Miller, std::pair<double, double>> all;  // d, |F|^2
    double maximum = 0;
    const int hMax = static_cast<int>(qMax * cs.A) + 1, kMax = static_cast<int>(qMax * cs.B) + 1,
              lMax = static_cast<int>(qMax * cs.C) + 1;
    for (int h = 0; h <= hMax; ++h)
        for (int k = -kMax; k <= kMax; ++k)
            for (int l = -lMax; l <= lMax; ++l) {
                const Miller hkl{h, k, l};
                if (hkl == Miller{0, 0, 0} || canonical(hkl) != hkl) continue;
                const double d = LatticeSpacing(&cs, h, k, l);
                if (1.0 / d > qMax) continue;
                if (third && (-h + k + l) % 3 != 0) continue;  // obverse centring
                const double value = intensity(hkl);
                all[hkl] = {d, value};
                maximum = std::max(maximum, value);
            }

    std::map<int, std::vector<Miller>> families;
    int lastIntensity = 10000;
    for (const auto& e : entries) {
        const Miller hkl{e.h, e.k, e.l};
        ASSERT_EQ(canonical(hkl), hkl);
        ASSERT_TRUE(all.count(hkl)) << hkl[0] << hkl[1] << hkl[2];
        const auto [d, value] = all[hkl];
        EXPECT_NEAR(d, oracle.spacing(fileIndices(hkl)), 1e-4);
        const long expected = std::lround(10000.0 * value / maximum);
        EXPECT_LE(std::labs(expected - e.Intensity), 1)
            << c.file << " (" << e.h << " " << e.k << " " << e.l << ")";
        EXPECT_LE(e.Intensity, lastIntensity);
        lastIntensity = e.Intensity;
        families[e.Family].push_back(hkl);
    }
    EXPECT_EQ(entries.front().Intensity, 10000);

    // Families: equal d and |F|^2 inside, and every reflection of that d and
    // |F|^2 inside the family.
    for (const auto& [family, members] : families) {
        const auto [d0, i0] = all[members.front()];
        std::set<Miller> expected;
        for (const auto& [hkl, di] : all) {
            if (std::fabs(di.first - d0) <= 1e-6 * d0 &&
                std::fabs(di.second - i0) <= 1e-6 * maximum)
                expected.insert(hkl);
        }
        EXPECT_EQ(std::set<Miller>(members.begin(), members.end()), expected)
            << c.file << " family " << family;
    }

    // The library's operators of the Laue group given: each turns a listed
    // plane into a plane of the same family with the same oracle intensity.
    std::map<Miller, int> familyOf;
    for (const auto& e : entries)
        familyOf[{e.h, e.k, e.l}] = e.Family;
    for (int op = 0; op < cs.SymOpCount; ++op) {
        for (const auto& e : entries) {
            Miller turned;
            ASSERT_TRUE(turnedPlane(cs, op, {e.h, e.k, e.l}, turned)) << c.file << " op " << op;
            const auto it = familyOf.find(canonical(turned));
            ASSERT_NE(it, familyOf.end()) << c.file << " op " << op;
            EXPECT_EQ(it->second, e.Family) << c.file << " op " << op;
            EXPECT_NEAR(intensity(canonical(turned)), intensity({e.h, e.k, e.l}), 1e-6 * maximum);
        }
    }
}

INSTANTIATE_TEST_SUITE_P(TestStructures, IntensityOracle, ::testing::ValuesIn(kCases),
                         [](const auto& param_info) {
                             std::string name = param_info.param.file;
                             name = name.substr(0, name.find('.'));
                             return name;
                         });

void expectSameList(const char* first, const char* second, int tolerance) {
    const auto p = loadOk(first), q = loadOk(second);
    const auto a = usedEntries(p.record), b = usedEntries(q.record);
    ASSERT_EQ(a.size(), b.size()) << first << " / " << second;
    for (std::size_t i = 0; i < a.size(); ++i) {
        EXPECT_EQ(a[i].h, b[i].h);
        EXPECT_EQ(a[i].k, b[i].k);
        EXPECT_EQ(a[i].l, b[i].l);
        EXPECT_EQ(a[i].Family, b[i].Family);
        EXPECT_LE(std::abs(a[i].Intensity - b[i].Intensity), tolerance) << i;
    }
    EXPECT_EQ(p.laueGroup, q.laueGroup);
    EXPECT_EQ(p.record.SpaceGroupCode, q.record.SpaceGroupCode);
}

std::array<std::string, 4> descriptionOf(const ebsp_structure::UserPhase& phase) {
    TCrySet cs{};
    initCrySetOf(cs, phase.record, phase.laueGroup);
    return PhaseDescriptionLines(phase.record, cs);
}

bool hasNote(const ebsp_structure::UserPhase& phase, const std::string& part) {
    return std::any_of(phase.notes.begin(), phase.notes.end(),
                       [&](const std::string& n) { return n.find(part) != std::string::npos; });
}

TEST(UserPhaseSettings, SiliconInBothOriginChoicesGivesOneList) {
    expectSameList("si_origin1.cif", "si_origin2.cif", 0);
    EXPECT_EQ(descriptionOf(loadOk("si_origin1.cif")), descriptionOf(loadOk("si_origin2.cif")));
    // The diamond glide removes (200).
    for (const auto& e : usedEntries(loadOk("si_origin2.cif").record))
        EXPECT_FALSE(std::abs(e.h) + std::abs(e.k) + std::abs(e.l) == 2 && e.h * e.k * e.l == 0);
}

TEST(UserPhaseSettings, RhombohedralAxesGiveTheHexagonalList) {
    expectSameList("bismuth_hex.cif", "bismuth_rhomb.cif", 1);
    const auto hex = loadOk("bismuth_hex.cif"), rhomb = loadOk("bismuth_rhomb.cif");
    EXPECT_EQ(descriptionOf(hex), descriptionOf(rhomb));
    EXPECT_EQ(descriptionOf(hex)[3], "a=4.546 c=11.86\xC5 gamma=120\xB0");
    EXPECT_TRUE(hasNote(rhomb, "rhombohedral axes to hexagonal"));
    EXPECT_FALSE(hasNote(hex, "setting transformed"));
}

TEST(UserPhaseSettings, MonoclinicUniqueAxisCGivesTheUniqueAxisBList) {
    expectSameList("mono_b.cif", "mono_c.cif", 0);
    const auto c = loadOk("mono_c.cif");
    EXPECT_EQ(descriptionOf(c), descriptionOf(loadOk("mono_b.cif")));
    EXPECT_EQ(descriptionOf(c)[1], "Space Group=14, P 2_1/c");
    EXPECT_EQ(descriptionOf(c)[3], "a=5.1 b=6.2 c=7.3\xC5; beta=103\xB0");
    EXPECT_TRUE(hasNote(c, "c unique to b unique"));
}

TEST(UserPhaseLaueGroup, TwoFoldsOffTheAxisLowerTheLaueGroupWithANote) {
    const auto p31m = loadOk("trigonal_p31m.cif");
    EXPECT_EQ(p31m.laueGroup, 6);
    EXPECT_EQ(LaueIndexOfCode(p31m.record.SpaceGroupCode), 7);
    EXPECT_TRUE(hasNote(p31m, "Laue group -3 given to the library"));
    EXPECT_EQ(descriptionOf(p31m)[1], "Space Group=162, P -3 1 m");
    // -3m in the library's axes would claim what the structure lacks: one
    // of its operators changes a listed intensity.
    Oracle oracle("trigonal_p31m.cif", "P -3 1 m", kSame);
    TCrySet cs{};
    initCrySetOf(cs, p31m.record, 7);
    double largestChange = 0;
    for (int op = 0; op < cs.SymOpCount; ++op)
        for (const auto& e : usedEntries(p31m.record)) {
            Miller turned;
            ASSERT_TRUE(turnedPlane(cs, op, {e.h, e.k, e.l}, turned));
            largestChange = std::max(largestChange, std::fabs(oracle.intensity(turned) -
                                                              oracle.intensity({e.h, e.k, e.l})));
        }
    EXPECT_GT(largestChange, 1.0);
    // The same atoms under P-3m1 keep -3m, and no note about the Laue group.
    const auto p3m1 = loadOk("trigonal_p3m1.cif");
    EXPECT_EQ(p3m1.laueGroup, 7);
    EXPECT_FALSE(hasNote(p3m1, "Laue group"));
}

TEST(UserPhaseDisplacement, DebyeWallerWeakensHighOrderBands) {
    const auto plain = loadOk("copper.cif"), damped = loadOk("copper_uiso.cif");
    EXPECT_TRUE(hasNote(plain, "no displacement parameters"));
    EXPECT_TRUE(hasNote(damped, "Debye-Waller"));
    std::map<Miller, int> plainIntensity;
    for (const auto& e : usedEntries(plain.record))
        plainIntensity[{e.h, e.k, e.l}] = e.Intensity;
    int compared = 0, weaker = 0;
    for (const auto& e : usedEntries(damped.record)) {
        const auto it = plainIntensity.find({e.h, e.k, e.l});
        if (it == plainIntensity.end() || e.Family == 1) continue;
        ++compared;
        EXPECT_LE(e.Intensity, it->second);
        weaker += e.Intensity < it->second ? 1 : 0;
    }
    EXPECT_GT(compared, 20);
    EXPECT_EQ(weaker, compared);
    // U, B and an isotropic tensor are one displacement.
    expectSameList("copper_uiso.cif", "copper_biso.cif", 1);
    expectSameList("copper_uiso.cif", "copper_aniso.cif", 1);
    EXPECT_TRUE(hasNote(loadOk("copper_aniso.cif"), "anisotropic ones reduced"));
}

// An independent closed form: an fcc metal without displacement has
// |F|^2 = 16 f(s)^2 for unmixed indices, so a family's share is f(s)^2/f(s111)^2.
TEST(UserPhaseClosedForm, FccIntensitiesFollowTheScatteringFactor) {
    const auto phase = loadOk("copper.cif");
    const auto& cu = gemmi::C4322<double>::get(gemmi::El::Cu);
    auto f = [&](const TPhaseReflector& e) {
        const double q2 = (e.h * e.h + e.k * e.k + e.l * e.l) / (3.615 * 3.615);
        return cu.calculate_sf(q2 / 4.0);
    };
    const auto entries = usedEntries(phase.record);
    const double f111 = f(entries.front());
    for (const auto& e : entries) {
        EXPECT_TRUE((e.h % 2 == 0) == (e.k % 2 == 0) && (e.k % 2 == 0) == (e.l % 2 == 0));
        EXPECT_LE(std::labs(std::lround(10000.0 * f(e) * f(e) / (f111 * f111)) - e.Intensity), 1);
    }
    EXPECT_EQ(
        std::count_if(entries.begin(), entries.end(), [](const auto& e) { return e.Family == 1; }),
        4);
}

}  // namespace

namespace {

// The structure files of the built-in phases, loaded as user phases: the Laue
// group chosen from the intensities is the catalogue's, and every family is
// whole under the library's operators of that group.
TEST(UserPhaseBuiltInStructures, LaueGroupIsTheCatalogues) {
    const std::string directory = std::string(LATTIX_SOURCE_DIR_FOR_TESTS) + "/data/structures";
    for (const auto& spec : reflector_model::readPhaseSpecs(directory + "/phases.txt")) {
        const auto result = ebsp_structure::loadUserPhase(directory + "/" + spec.structureFile);
        ASSERT_TRUE(result.ok) << result.error;
        TPhaseRecord builtIn;
        BuildPhase(static_cast<std::uint32_t>(spec.index), builtIn);
        EXPECT_EQ(result.phase.laueGroup, LaueIndexOfCode(builtIn.SpaceGroupCode)) << spec.name;
        EXPECT_NEAR(result.phase.record.A, builtIn.A, 1e-3) << spec.name;
        EXPECT_NEAR(result.phase.record.Beta, builtIn.Beta, 1e-3) << spec.name;

        TCrySet cs{};
        initCrySetOf(cs, result.phase.record, result.phase.laueGroup);
        const auto entries = usedEntries(result.phase.record);
        std::map<Miller, int> familyOf;
        for (const auto& e : entries)
            familyOf[{e.h, e.k, e.l}] = e.Family;
        for (int op = 0; op < cs.SymOpCount; ++op)
            for (const auto& e : entries) {
                Miller turned;
                ASSERT_TRUE(turnedPlane(cs, op, {e.h, e.k, e.l}, turned)) << spec.name;
                const auto it = familyOf.find(canonical(turned));
                ASSERT_NE(it, familyOf.end()) << spec.name;
                EXPECT_EQ(it->second, e.Family) << spec.name;
            }
    }
}

}  // namespace
