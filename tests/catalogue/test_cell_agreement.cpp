// The cell of each built-in phase stands in three places: the catalogue, the
// crystal file in data/COMMON (read by the library) and the structure file in
// data/structures (read by the reflector generator).  They must agree.
#include <gtest/gtest.h>

#include <cctype>
#include <cmath>
#include <cstdlib>
#include <fstream>
#include <map>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "phase_catalogue.h"

namespace {

// Crystal file of each phase, in phase order; the file's name line is checked
// against the phase name, so a wrong pairing shows.
constexpr const char* kCrystalFiles[kPhaseCount] = {
    "ALUMINA.CRY",   "ALUMINIUM.CRY",   "IRONBCC.CRY",   "IRONFCC.CRY",    "TITANIUM.CRY",
    "YBA2CU3O7.CRY", "SIC2H.CRY",       "ZRO2TET.CRY",   "ZRO2MONO.CRY",   "PBTIO3.CRY",
    "QUARTZ.CRY",    "FORSTERITE.CRY",  "PYRITE.CRY",    "CORDIERITE.CRY", "ANDALUSITE.CRY",
    "KYANITE.CRY",   "SILLIMANITE.CRY", "PIGEONITE.CRY", "AUGITE.CRY"};

constexpr const char* kFields[6] = {"a", "b", "c", "alpha", "beta", "gamma"};

std::string SourceDir() {
    const char* dir = std::getenv("LATTIX_SOURCE_DIR");
    return dir ? dir : ".";
}

std::optional<std::string> ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return std::nullopt;
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        lines.push_back(line);
    }
    return lines;
}

// A printed number, kept as text so its precision is known.  A standard
// uncertainty in brackets, as CIF files may carry, is dropped.
struct Printed {
    std::string text;
    double value() const { return std::stod(text); }
    // Half a unit of the last printed digit.  The files drop trailing zeros
    // ("90", "4.05"), so a short number is read as if printed to two places.
    double tolerance() const {
        const auto point = text.find('.');
        const int places = point == std::string::npos ? 0 : int(text.size() - point - 1);
        return 0.5 * std::pow(10.0, -std::max(places, 2));
    }
};

Printed Token(const std::string& raw) {
    return Printed{raw.substr(0, raw.find('('))};
}

float CatalogueValue(const TPhaseRecord& p, int field) {
    const float values[6] = {p.A, p.B, p.C, p.Alpha, p.Beta, p.Gamma};
    return values[field];
}

// The catalogue keeps floats: their rounding is allowed on top of the print.
bool Agrees(float stored, const Printed& printed) {
    return std::fabs(double(stored) - printed.value()) <=
           printed.tolerance() + 1e-6 * std::fabs(double(stored));
}

void ExpectCellAgrees(const TPhaseRecord& phase, const std::vector<Printed>& cell,
                      const std::string& file) {
    ASSERT_EQ(cell.size(), 6u) << file << ": expected six cell values";
    for (int i = 0; i < 6; ++i) {
        const float stored = CatalogueValue(phase, i);
        EXPECT_TRUE(Agrees(stored, cell[i]))
            << phase.Name << ": " << kFields[i] << " is " << stored << " in the catalogue, "
            << cell[i].text << " in " << file;
    }
}

// Structure file of each phase by index, from the generator's own list.
std::map<std::uint32_t, std::pair<std::string, std::string>> StructureFiles() {
    std::map<std::uint32_t, std::pair<std::string, std::string>> files;
    const auto text = ReadFile(SourceDir() + "/data/structures/phases.txt");
    if (!text) return files;
    for (const std::string& line : Lines(*text)) {
        if (line.empty() || line[0] == '#') continue;
        std::istringstream in(line);
        std::uint32_t index = 0;
        std::string file, entries, families, name;
        in >> index >> file >> entries >> families;
        std::getline(in >> std::ws, name);
        files[index] = {file, name};
    }
    return files;
}

class CellAgreement : public testing::TestWithParam<std::uint32_t> {
  protected:
    void SetUp() override { BuildPhase(GetParam(), phase); }
    TPhaseRecord phase;
};

TEST_P(CellAgreement, CrystalFileHasTheCatalogueCell) {
    const std::string name = kCrystalFiles[GetParam() - 1];
    const auto text = ReadFile(SourceDir() + "/data/COMMON/" + name);
    if (!text) GTEST_SKIP() << phase.Name << " has no crystal file (data/COMMON/" << name << ")";
    const auto lines = Lines(*text);
    ASSERT_GE(lines.size(), 5u) << name;
    EXPECT_EQ(lines[1], phase.Name) << name << " is not the crystal file of " << phase.Name;
    EXPECT_EQ(std::stoi(lines[3]), LaueIndexOfCode(phase.SpaceGroupCode))
        << name << ": Laue group of " << phase.Name;
    std::istringstream in(lines[4]);
    std::vector<Printed> cell;
    for (std::string token; in >> token;)
        cell.push_back(Token(token));
    ExpectCellAgrees(phase, cell, name);
}

TEST_P(CellAgreement, StructureFileHasTheCatalogueCell) {
    static const auto files = StructureFiles();
    const auto entry = files.find(GetParam());
    if (entry == files.end()) {
        GTEST_SKIP() << phase.Name << " has no structure file in data/structures/phases.txt";
    }
    const auto& [name, listedName] = entry->second;
    EXPECT_EQ(listedName, phase.Name) << "phases.txt names phase " << GetParam() << " differently";
    const auto text = ReadFile(SourceDir() + "/data/structures/" + name);
    if (!text)
        GTEST_SKIP() << phase.Name << " has no structure file (data/structures/" << name << ")";
    std::map<std::string, Printed> tags;
    for (const std::string& line : Lines(*text)) {
        std::istringstream in(line);
        std::string tag, value;
        if (in >> tag >> value && tag.rfind("_cell_", 0) == 0) tags[tag] = Token(value);
    }
    const char* const kTags[6] = {"_cell_length_a",    "_cell_length_b",   "_cell_length_c",
                                  "_cell_angle_alpha", "_cell_angle_beta", "_cell_angle_gamma"};
    std::vector<Printed> cell;
    for (const char* tag : kTags) {
        const auto found = tags.find(tag);
        ASSERT_NE(found, tags.end()) << name << " lacks " << tag;
        cell.push_back(found->second);
    }
    ExpectCellAgrees(phase, cell, name);
}

// Test names from the phase names: "Zirconia, tetragonal" -> ZirconiaTetragonal.
std::string PhaseTestName(const testing::TestParamInfo<std::uint32_t>& p) {
    TPhaseRecord phase;
    BuildPhase(p.param, phase);
    std::string name;
    bool upper = true;
    for (char c : phase.Name) {
        if (std::isalnum(static_cast<unsigned char>(c))) {
            name += upper ? static_cast<char>(std::toupper(static_cast<unsigned char>(c))) : c;
            upper = false;
        } else {
            upper = true;
        }
    }
    return name;
}

INSTANTIATE_TEST_SUITE_P(BuiltInPhases, CellAgreement, testing::Range(1u, kPhaseCount + 1),
                         PhaseTestName);

// The comparison is as fine as the file's print, no coarser: a unit off in
// the last printed digit fails, and a right angle printed "90" is 90.00.
TEST(CellAgreementRule, FollowsThePrintedDigits) {
    struct Case {
        float stored;
        const char* printed;
        bool agrees;
    } const cases[] = {
        {4.754f, "4.754", true},    {4.754f, "4.755", false},  {3.6599f, "3.66", true},
        {3.6599f, "3.6598", false}, {89.99f, "90", false},     {90.0f, "90", true},
        {107.6f, "107.6", true},    {107.6f, "107.61", false}, {5.1461f, "5.1461(3)", true},
        {17.119f, "17.12", true},   {17.119f, "17.11", false},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(Agrees(c.stored, Token(c.printed)), c.agrees) << c.stored << " vs " << c.printed;
    }
}

}  // namespace
