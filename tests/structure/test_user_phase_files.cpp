// Crystal files (bands by spacing only) and broken files of both kinds.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <set>

#include "structure_test_support.h"

namespace {

using namespace structure_test;

// A file under the temporary folder, removed again at the end of the test.
class TempFile {
  public:
    TempFile(const std::string& name, const std::string& text)
        : path_((std::filesystem::temp_directory_path() / ("ebsp_st_" + name)).string()) {
        std::ofstream(path_, std::ios::binary) << text;
    }
    ~TempFile() { std::filesystem::remove(path_); }
    const std::string& path() const { return path_; }

  private:
    std::string path_;
};

struct CrystalCase {
    const char* name;
    const char* text;
    int laue;
};

const CrystalCase kCrystalFiles[] = {
    {"hexagonal", "VER3.1\r\nHex test\r\nref\r\n9\r\n3 3 5 90 90 120\r\n", 9},
    {"tetragonal", "ver2.2\r\nTet test\r\nref\r\n5\r\n4 4 6.5 90 90 90\r\n", 5},
    {"cubic", "VER3.0\nCubic test\nref\n11\n3.2 3.2 3.2 90 90 90\n", 11},
    {"monoclinic", "VER3.1\r\nMono test\r\nref\r\n2\r\n5 6 7 90 100 90\r\n", 2},
};

class CrystalFileList : public ::testing::TestWithParam<CrystalCase> {};

TEST_P(CrystalFileList, FormsInOrderOfSpacingWithTheDocumentedIntensity) {
    const CrystalCase& c = GetParam();
    TempFile file(std::string(c.name) + ".cry", c.text);
    const auto result = ebsp_structure::loadUserPhase(file.path());
    ASSERT_TRUE(result.ok) << result.error;
    const auto& phase = result.phase;
    EXPECT_FALSE(phase.hasStructure);
    EXPECT_EQ(phase.laueGroup, c.laue);
    EXPECT_EQ(phase.record.SpaceGroupCode, 240 + c.laue);
    ASSERT_EQ(phase.notes.size(), 1u);
    EXPECT_EQ(phase.notes[0], "no structure: bands by spacing only");

    TCrySet cs{};
    initCrySetOf(cs, phase.record, phase.laueGroup);
    EXPECT_EQ(phase.description, PhaseDescriptionLines(phase.record, cs));
    EXPECT_EQ(phase.description[1],
              "Laue Group=" + std::to_string(c.laue) + " (" + phase.record.Symbol + ")");
    const auto entries = usedEntries(phase.record);
    ASSERT_GT(entries.size(), 150u);
    const double d1 = LatticeSpacing(&cs, entries[0].h, entries[0].k, entries[0].l);
    double previous = d1;
    std::map<Miller, int> familyOf;
    for (const auto& e : entries) {
        const double d = LatticeSpacing(&cs, e.h, e.k, e.l);
        EXPECT_LE(d, previous + 1e-9);
        previous = d;
        EXPECT_EQ(e.Intensity, ebsp_structure::spacingIntensity(d, d1));
        EXPECT_NEAR(e.Intensity, 10000.0 * d * d / (d1 * d1), 1.0);
        familyOf[{e.h, e.k, e.l}] = e.Family;
    }
    EXPECT_EQ(familyOf.size(), entries.size());  // no plane twice
    // Families are whole forms of the library's operators.
    for (int op = 0; op < cs.SymOpCount; ++op)
        for (const auto& e : entries) {
            Miller turned;
            ASSERT_TRUE(turnedPlane(cs, op, {e.h, e.k, e.l}, turned));
            const auto it = familyOf.find(canonical(turned));
            ASSERT_NE(it, familyOf.end());
            EXPECT_EQ(it->second, e.Family);
        }
    // Brute force: every plane of larger spacing than the last listed is listed.
    const double dLast = LatticeSpacing(&cs, entries.back().h, entries.back().k, entries.back().l);
    for (int h = 0; h <= 12; ++h)
        for (int k = -12; k <= 12; ++k)
            for (int l = -12; l <= 12; ++l) {
                const Miller hkl{h, k, l};
                if (hkl == Miller{0, 0, 0} || canonical(hkl) != hkl) continue;
                if (LatticeSpacing(&cs, h, k, l) > dLast * (1 + 1e-9)) {
                    EXPECT_TRUE(familyOf.count(hkl)) << h << " " << k << " " << l;
                }
            }
}

INSTANTIATE_TEST_SUITE_P(CrystalFiles, CrystalFileList, ::testing::ValuesIn(kCrystalFiles),
                         [](const auto& param_info) { return std::string(param_info.param.name); });

struct BrokenCase {
    const char* name;
    const char* text;  // nullptr: a file that does not exist
    const char* expected;
};

#define CELL                                                                       \
    "_cell_length_a 4\n_cell_length_b 4\n_cell_length_c 4\n_cell_angle_alpha 90\n" \
    "_cell_angle_beta 90\n_cell_angle_gamma 90\n"
#define SITES                                                               \
    "loop_\n_atom_site_label\n_atom_site_type_symbol\n_atom_site_fract_x\n" \
    "_atom_site_fract_y\n_atom_site_fract_z\n"

const BrokenCase kBroken[] = {
    {"missing.cif", nullptr, "cannot open"},
    {"syntax.cif", "data_x\nloop_\n_a\n_b\n1 2 3\n", ":2:1: Wrong number of values in the loop"},
    {"no_cell.cif", "data_x\n_space_group_name_H-M_alt 'F m -3 m'\n" SITES "Cu Cu 0 0 0\n",
     "missing _cell_length_a"},
    {"bad_number.cif",
     "data_x\n_space_group_name_H-M_alt 'P 1'\n_cell_length_a four\n_cell_length_b 4\n"
     "_cell_length_c 4\n_cell_angle_alpha 90\n_cell_angle_beta 90\n_cell_angle_gamma 90\n" SITES
     "Cu Cu 0 0 0\n",
     ":3: _cell_length_a 'four' is not a number"},
    {"no_cell_closes.cif",
     "data_x\n_space_group_name_H-M_alt 'P 1'\n_cell_length_a 4\n_cell_length_b 4\n"
     "_cell_length_c 4\n_cell_angle_alpha 120\n_cell_angle_beta 120\n_cell_angle_gamma 120\n" SITES
     "Cu Cu 0 0 0\n",
     "close no cell"},
    {"no_group.cif", "data_x\n" CELL SITES "Cu Cu 0 0 0\n", "no space group"},
    {"unknown_group.cif", "data_x\n_space_group_name_H-M_alt 'Q 7 7'\n" CELL SITES "Cu Cu 0 0 0\n",
     ":2: unknown space-group symbol 'Q 7 7'"},
    {"bad_operation.cif",
     "data_x\n" CELL "loop_\n_space_group_symop_operation_xyz\nx,y,z\nx,y,q\n" SITES
     "Cu Cu 0 0 0\n",
     "symmetry operation 'x,y,q' does not read"},
    {"unknown_element.cif", "data_x\n_space_group_name_H-M_alt 'P 1'\n" CELL SITES "Q1 Xx 0 0 0\n",
     ":9: site 'Q1': unknown element 'Xx'"},
    {"no_factor.cif", "data_x\n_space_group_name_H-M_alt 'P 1'\n" CELL SITES "E1 Es 0 0 0\n",
     "element Es has no electron scattering factor"},
    {"no_sites.cif", "data_x\n_space_group_name_H-M_alt 'P 1'\n" CELL, "no data block holds"},
    {"refused.cry", "VER2.1\r\nX\r\nref\r\n9\r\n3 3 5 90 90 120\r\n", "(status 300)"},
    {"not_number.cry", "VER3.1\r\nX\r\nref\r\n9\r\n3 abc 5 90 90 120\r\n", "(status 106)"},
    {"four_lines.cry", "VER3.1\r\nX\r\nref\r\n9\r\n", "(status 106)"},
    {"wrong_symmetry.cry", "VER3.1\r\nX\r\nref\r\n11\r\n3 4 5 90 90 90\r\n",
     "does not have the symmetry of Laue group 11 (m3m)"},
};

class BrokenFile : public ::testing::TestWithParam<BrokenCase> {};

TEST_P(BrokenFile, GivesItsMessageAndNoPhase) {
    const BrokenCase& c = GetParam();
    const std::string missing =
        (std::filesystem::temp_directory_path() / "ebsp_st_missing.cif").string();
    std::unique_ptr<TempFile> file;
    if (c.text != nullptr) {
        file = std::make_unique<TempFile>(c.name, c.text);
    }
    const std::string& path = file ? file->path() : missing;
    const auto result = ebsp_structure::loadUserPhase(path);
    EXPECT_FALSE(result.ok);
    EXPECT_EQ(result.error.rfind(path, 0), 0u) << result.error;
    EXPECT_NE(result.error.find(c.expected), std::string::npos) << result.error;
    EXPECT_TRUE(result.phase.record.Name.empty());
    EXPECT_EQ(result.phase.record.SpaceGroupCode, 0);
    EXPECT_EQ(UsedReflectorCount(result.phase.record), 0u);
}

INSTANTIATE_TEST_SUITE_P(BrokenFiles, BrokenFile, ::testing::ValuesIn(kBroken),
                         [](const auto& param_info) {
                             std::string name = param_info.param.name;
                             for (char& ch : name)
                                 if (ch == '.') ch = '_';
                             return name;
                         });

TEST(UserPhaseBlocks, TheFirstStructureBlockIsReadAndAnotherCanBePicked) {
    const std::string two =
        "data_empty\n_cell_length_a 3\n"
        "data_first\n_chemical_name_common 'First'\n"
        "_space_group_name_H-M_alt 'F m -3 m'\n" CELL SITES
        "Cu Cu 0 0 0\n"
        "data_second\n_chemical_name_common 'Second'\n"
        "_space_group_name_H-M_alt 'I m -3 m'\n" CELL SITES "Fe Fe 0 0 0\n";
    TempFile file("blocks.cif", two);
    EXPECT_EQ(ebsp_structure::structureBlocksOfFile(file.path()),
              (std::vector<std::string>{"first", "second"}));
    const auto first = ebsp_structure::loadUserPhase(file.path());
    ASSERT_TRUE(first.ok) << first.error;
    EXPECT_EQ(first.phase.record.Name, "First");
    EXPECT_EQ(first.phase.record.SpaceGroupCode, 225);
    const auto second = ebsp_structure::loadUserPhase(file.path(), 1);
    ASSERT_TRUE(second.ok) << second.error;
    EXPECT_EQ(second.phase.record.Name, "Second");
    EXPECT_EQ(second.phase.record.SpaceGroupCode, 229);
    EXPECT_FALSE(ebsp_structure::loadUserPhase(file.path(), 2).ok);
}

TEST(UserPhaseSymmetry, ListedOperationsWinOverADisagreeingSymbol) {
    // Operations of P -1 under the symbol P 1: the operations are used.
    const std::string text =
        "data_x\n_space_group_name_H-M_alt 'P 1'\n" CELL
        "loop_\n_space_group_symop_operation_xyz\nx,y,z\n-x,-y,-z\n" SITES "Cu Cu 0.1 0.2 0.3\n";
    const auto result = ebsp_structure::loadUserPhaseFromCifText(text, "ops.cif");
    ASSERT_TRUE(result.ok) << result.error;
    EXPECT_EQ(result.phase.record.SpaceGroupCode, 2);
    const auto& notes = result.phase.notes;
    EXPECT_TRUE(std::any_of(notes.begin(), notes.end(), [](const std::string& n) {
        return n.find("disagrees with the listed symmetry operations") != std::string::npos;
    }));
}

TEST(UserPhaseSymmetry, HallSymbolWinsOverADisagreeingHermannMauguinSymbol) {
    const std::string text =
        "data_x\n_space_group_name_H-M_alt 'P 1'\n"
        "_space_group_name_Hall '-P 1'\n" CELL SITES "Cu Cu 0.1 0.2 0.3\n";
    const auto result = ebsp_structure::loadUserPhaseFromCifText(text, "hall.cif");
    ASSERT_TRUE(result.ok) << result.error;
    EXPECT_EQ(result.phase.record.SpaceGroupCode, 2);
    EXPECT_EQ(result.phase.record.Symbol, "P -1");
    const auto& notes = result.phase.notes;
    EXPECT_TRUE(std::any_of(notes.begin(), notes.end(), [](const std::string& n) {
        return n.find("'P 1' disagrees with the Hall symbol") != std::string::npos;
    }));
}

TEST(LatticeCheck, RefusesValuesThatCloseNoCell) {
    EXPECT_TRUE(ebsp_structure::latticeIsUsable(4, 4, 4, 90, 90, 90));
    EXPECT_TRUE(ebsp_structure::latticeIsUsable(3, 3, 5, 90, 90, 120));
    EXPECT_TRUE(ebsp_structure::latticeIsUsable(4.7, 4.7, 4.7, 57.2, 57.2, 57.2));
    EXPECT_FALSE(ebsp_structure::latticeIsUsable(0, 4, 4, 90, 90, 90));
    EXPECT_FALSE(ebsp_structure::latticeIsUsable(4, 4, 4, 0, 90, 90));
    EXPECT_FALSE(ebsp_structure::latticeIsUsable(4, 4, 4, 180, 90, 90));
    EXPECT_FALSE(ebsp_structure::latticeIsUsable(4, 4, 4, 120, 120, 120));  // flat
    EXPECT_FALSE(ebsp_structure::latticeIsUsable(4, 4, 4, 30, 30, 90));     // gamma > alpha + beta
    EXPECT_FALSE(ebsp_structure::latticeIsUsable(4, 4, -4, 90, 90, 90));
}

}  // namespace
