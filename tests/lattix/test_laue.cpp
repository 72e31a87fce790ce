// Laue-group and space-group exports.  The symbol table is checked by spot
// checks typed from the international tables and by structural rules: every
// symbol's own axes must imply the Laue class that GetLaueGroupIndex gives.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <map>
#include <numbers>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "lattixLib.h"

namespace {

constexpr double kPi = std::numbers::pi;

std::string symbol(int n) {
    char buf[32];
    std::memset(buf, '#', sizeof buf);
    EXPECT_EQ(GetHermannMauguinSymbol(n, buf), buf);
    const std::size_t len = std::strlen(buf);
    EXPECT_LT(len, 14u) << n;
    for (std::size_t i = len + 1; i < sizeof buf; ++i)
        EXPECT_EQ(buf[i], '#') << n;  // no overrun
    return std::string(buf);
}

std::vector<std::string> split(const std::string& s) {
    std::vector<std::string> parts;
    std::istringstream in(s);
    for (std::string p; in >> p;)
        parts.push_back(p);
    return parts;
}

// The Laue class implied by a short symbol: screw subscripts and glide letters
// do not change it, only the rotation axes and the number of symmetry directions.
int laueFromSymbol(const std::string& sym) {
    std::vector<std::string> parts = split(sym);
    parts.erase(parts.begin());  // lattice letter
    const std::string& main = parts[0];
    const char axis = main[main[0] == '-' ? 1 : 0];  // the digit before any screw subscript
    const bool cubic = parts.size() >= 2 && (parts[1] == "3" || parts[1] == "-3");
    if (cubic) return parts.size() == 2 ? 10 : 11;
    if (axis == '6') return parts.size() == 1 ? 8 : 9;
    if (axis == '3') return parts.size() == 1 ? 6 : 7;
    if (axis == '4') return parts.size() == 1 ? 4 : 5;
    if (parts.size() == 3) return 3;
    return (main == "1" || main == "-1") ? 1 : 2;
}

}  // namespace

// ---- The eleven Laue groups -----------------------------------------------------------

TEST(LaueTables, TextsOfAllGroups) {
    const char* shortTexts[] = {"-1",  "2/m", "mmm",   "4/m", "4/mmm", "-3",
                                "-3m", "6/m", "6/mmm", "m3",  "m3m"};
    const char* longTexts[] = {"Triclinic",       "Monoclinic",   "Orthorhombic",  "Tetragonal-Low",
                               "Tetragonal-High", "Trigonal-Low", "Trigonal-High", "Heaxagonal-Low",
                               "Heaxagonal-High", "Cubic-Low",    "Cubic-High"};
    for (int i = 1; i <= 11; ++i) {
        char s[6], l[16];
        EXPECT_EQ(LaueGroupShortText(i, s), s);
        EXPECT_STREQ(s, shortTexts[i - 1]);
        EXPECT_EQ(LaueGroupLongText(i, l), l);
        EXPECT_STREQ(l, longTexts[i - 1]);
    }
}

TEST(LaueTables, OutOfRangeLeavesBufferAlone) {
    for (int bad : {0, -1, 12, 240, 2147483647, -2147483647 - 1}) {
        char s[16], l[16];
        std::memset(s, 'q', sizeof s);
        std::memset(l, 'q', sizeof l);
        EXPECT_EQ(LaueGroupShortText(bad, s), s);
        EXPECT_EQ(LaueGroupLongText(bad, l), l);
        for (char c : s)
            EXPECT_EQ(c, 'q');
        for (char c : l)
            EXPECT_EQ(c, 'q');
    }
}

TEST(LaueTables, EulerLimits) {
    const double twoPi = 2 * kPi, half = kPi / 2;
    const double twoThirds = 2.0943951023931957, third = 1.0471975511965979;
    const double expected[11][3] = {
        {twoPi, kPi, twoPi}, {kPi, kPi, twoPi},       {kPi, kPi, kPi},       {twoPi, kPi, half},
        {kPi, kPi, half},    {twoPi, kPi, twoThirds}, {kPi, kPi, twoThirds}, {twoPi, kPi, third},
        {kPi, kPi, third},   {twoPi, half, kPi},      {twoPi, half, half}};
    for (int i = 1; i <= 11; ++i) {
        TVec3D out{-1, -1, -1};
        GetEulerLimits(i, &out);
        EXPECT_EQ(out.x, expected[i - 1][0]) << i;
        EXPECT_EQ(out.y, expected[i - 1][1]) << i;
        EXPECT_EQ(out.z, expected[i - 1][2]) << i;
    }
    // The thirds sit one unit in the last place above the nearest doubles.
    EXPECT_EQ(twoThirds, std::nextafter(2 * kPi / 3, 4.0));
    EXPECT_EQ(third, std::nextafter(kPi / 3, 4.0));
}

TEST(LaueTables, AxisAngleLimitsInRadians) {
    const long double degree = std::numbers::pi_v<long double> / 180.0L;
    const long double degrees[] = {180, 180, 120, 180, 98.5L, 180, 104.5L, 180, 94, 90, 63};
    for (int i = 1; i <= 11; ++i)
        EXPECT_EQ(GetAxisAngleLimit(i), static_cast<double>(degrees[i - 1] * degree)) << i;
    EXPECT_NEAR(GetAxisAngleLimit(11), 63 * kPi / 180, 1e-15);
    EXPECT_GT(GetAxisAngleLimit(11), 62.9 * kPi / 180);
    EXPECT_NEAR(GetAxisAngleLimit(5), 98.5 * kPi / 180, 1e-15);
    EXPECT_GT(GetAxisAngleLimit(5), 98.45 * kPi / 180);
    EXPECT_EQ(GetAxisAngleLimit(1), kPi);
}

// ---- Phase codes to Laue groups -------------------------------------------------------------

TEST(LaueGroupIndex, EveryRangeEdge) {
    const std::map<int, int> edges = {{-2147483647 - 1, -1},
                                      {-1, -1},
                                      {0, -1},
                                      {1, 1},
                                      {2, 1},
                                      {3, 2},
                                      {15, 2},
                                      {16, 3},
                                      {74, 3},
                                      {75, 4},
                                      {88, 4},
                                      {89, 5},
                                      {142, 5},
                                      {143, 6},
                                      {148, 6},
                                      {149, 7},
                                      {167, 7},
                                      {168, 8},
                                      {176, 8},
                                      {177, 9},
                                      {194, 9},
                                      {195, 10},
                                      {206, 10},
                                      {207, 11},
                                      {225, 11},
                                      {230, 11},
                                      {231, -1},
                                      {239, -1},
                                      {240, -1},
                                      {241, 1},
                                      {246, 6},
                                      {251, 11},
                                      {252, -1},
                                      {253, -1},
                                      {2147483647, -1}};
    for (const auto& [code, laue] : edges)
        EXPECT_EQ(GetLaueGroupIndex(code), laue) << code;
    for (int laue = 1; laue <= 11; ++laue)
        EXPECT_EQ(GetLaueGroupIndex(240 + laue), laue);
    for (int code = 252; code <= 1000; ++code)
        EXPECT_EQ(GetLaueGroupIndex(code), -1) << code;
}

// ---- The 230 symbols ------------------------------------------------------------------------

TEST(SpaceGroupSymbols, ErrorOutsideTheTable) {
    for (int n : {0, -1, 231, 240, 241, 100000})
        EXPECT_EQ(symbol(n), "[Error]") << n;
}

TEST(SpaceGroupSymbols, SpotChecks) {
    const std::map<int, std::string> known = {{1, "P 1"},           {2, "P -1"},
                                              {3, "P 2"},           {4, "P 2_1"},
                                              {5, "C 2"},           {7, "P c"},
                                              {9, "C c"},           {11, "P 2_1/m"},
                                              {14, "P 2_1/c"},      {15, "C 2/c"},
                                              {16, "P 2 2 2"},      {19, "P 2_1 2_1 2_1"},
                                              {20, "C 2 2 2_1"},    {24, "I 2_1 2_1 2_1"},
                                              {26, "P m c 2_1"},    {33, "P n a 2_1"},
                                              {36, "C m c 2_1"},    {39, "A b m 2"},
                                              {41, "A b a 2"},      {43, "F d d 2"},
                                              {46, "I m a 2"},      {47, "P m m m"},
                                              {53, "P m n a"},      {57, "P b c m"},
                                              {60, "P b c n"},      {61, "P b c a"},
                                              {62, "P n m a"},      {63, "C m c m"},
                                              {64, "C m c a"},      {68, "C c c a"},
                                              {70, "F d d d"},      {73, "I b c a"},
                                              {74, "I m m a"},      {76, "P 4_1"},
                                              {80, "I 4_1"},        {81, "P -4"},
                                              {82, "I -4"},         {84, "P 4_2/m"},
                                              {86, "P 4_2/n"},      {88, "I 4_1/a"},
                                              {90, "P 4 2_1 2"},    {92, "P 4_1 2_1 2"},
                                              {96, "P 4_3 2_1 2"},  {98, "I 4_1 2 2"},
                                              {102, "P 4_2 n m"},   {106, "P 4_2 b c"},
                                              {109, "I 4_1 m d"},   {110, "I 4_1 c d"},
                                              {113, "P -4 2_1 m"},  {114, "P -4 2_1 c"},
                                              {118, "P -4 n 2"},    {121, "I -4 2 m"},
                                              {122, "I -4 2 d"},    {123, "P 4/m m m"},
                                              {125, "P 4/n b m"},   {129, "P 4/n m m"},
                                              {131, "P 4_2/m m c"}, {136, "P 4_2/m n m"},
                                              {137, "P 4_2/n m c"}, {139, "I 4/m m m"},
                                              {140, "I 4/m c m"},   {141, "I 4_1/a m d"},
                                              {142, "I 4_1/a c d"}, {143, "P 3"},
                                              {144, "P 3_1"},       {146, "R 3"},
                                              {147, "P -3"},        {148, "R -3"},
                                              {149, "P 3 1 2"},     {150, "P 3 2 1"},
                                              {152, "P 3_1 2 1"},   {154, "P 3_2 2 1"},
                                              {155, "R 3 2"},       {156, "P 3 m 1"},
                                              {157, "P 3 1 m"},     {159, "P 3 1 c"},
                                              {160, "R 3 m"},       {161, "R 3 c"},
                                              {162, "P -3 1 m"},    {164, "P -3 m 1"},
                                              {165, "P -3 c 1"},    {166, "R -3 m"},
                                              {167, "R -3 c"},      {168, "P 6"},
                                              {169, "P 6_1"},       {170, "P 6_5"},
                                              {173, "P 6_3"},       {174, "P -6"},
                                              {176, "P 6_3/m"},     {178, "P 6_1 2 2"},
                                              {182, "P 6_3 2 2"},   {185, "P 6_3 c m"},
                                              {186, "P 6_3 m c"},   {187, "P -6 m 2"},
                                              {189, "P -6 2 m"},    {190, "P -6 2 c"},
                                              {191, "P 6/m m m"},   {193, "P 6_3/m c m"},
                                              {194, "P 6_3/m m c"}, {195, "P 2 3"},
                                              {198, "P 2_1 3"},     {199, "I 2_1 3"},
                                              {200, "P m -3"},      {201, "P n -3"},
                                              {203, "F d -3"},      {205, "P a -3"},
                                              {206, "I a -3"},      {207, "P 4 3 2"},
                                              {208, "P 4_2 3 2"},   {210, "F 4_1 3 2"},
                                              {212, "P 4_3 3 2"},   {213, "P 4_1 3 2"},
                                              {214, "I 4_1 3 2"},   {215, "P -4 3 m"},
                                              {218, "P -4 3 n"},    {219, "F -4 3 c"},
                                              {220, "I -4 3 d"},    {221, "P m -3 m"},
                                              {222, "P n -3 n"},    {223, "P m -3 n"},
                                              {224, "P n -3 m"},    {225, "F m -3 m"},
                                              {226, "F m -3 c"},    {227, "F d -3 m"},
                                              {228, "F d -3 c"},    {229, "I m -3 m"},
                                              {230, "I a -3 d"}};
    for (const auto& [n, s] : known)
        EXPECT_EQ(symbol(n), s) << n;
}

TEST(SpaceGroupSymbols, WellFormedAndConsistentWithTheLaueClass) {
    const std::set<std::string> axes = {"1",   "-1",  "2",   "2_1", "3",   "3_1", "3_2",
                                        "-3",  "4",   "4_1", "4_2", "4_3", "-4",  "6",
                                        "6_1", "6_2", "6_3", "6_4", "6_5", "-6"};
    const std::set<std::string> planes = {"m", "a", "b", "c", "d", "n"};
    std::set<std::string> seen;
    std::size_t longest = 0;
    for (int n = 1; n <= 230; ++n) {
        const std::string s = symbol(n);
        ASSERT_FALSE(s.empty()) << n;
        EXPECT_TRUE(seen.insert(s).second) << "duplicate " << s;
        longest = std::max(longest, s.size());
        EXPECT_EQ(s.find("  "), std::string::npos) << s;
        EXPECT_NE(s.front(), ' ');
        EXPECT_NE(s.back(), ' ');
        const std::vector<std::string> parts = split(s);
        ASSERT_GE(parts.size(), 2u) << s;
        ASSERT_LE(parts.size(), 4u) << s;
        for (std::size_t i = 1; i < parts.size(); ++i) {
            const std::string& p = parts[i];
            const std::size_t slash = p.find('/');
            if (slash == std::string::npos) {
                EXPECT_TRUE(axes.count(p) || planes.count(p)) << s << ": " << p;
            } else {
                EXPECT_TRUE(axes.count(p.substr(0, slash))) << s;
                EXPECT_TRUE(planes.count(p.substr(slash + 1))) << s;
            }
        }
        const int laue = GetLaueGroupIndex(n);
        EXPECT_EQ(laueFromSymbol(s), laue) << n << " " << s;
        // Lattice letters allowed in each crystal family.
        const std::string lattice = parts[0];
        std::string allowed;
        switch (laue) {
            case 1:
                allowed = "P";
                break;
            case 2:
                allowed = "PC";
                break;
            case 3:
                allowed = "PCAFI";
                break;
            case 4:
            case 5:
                allowed = "PI";
                break;
            case 6:
            case 7:
                allowed = "PR";
                break;
            case 8:
            case 9:
                allowed = "P";
                break;
            default:
                allowed = "PFI";
                break;
        }
        ASSERT_EQ(lattice.size(), 1u) << s;
        EXPECT_NE(allowed.find(lattice), std::string::npos) << s;
    }
    EXPECT_EQ(seen.size(), 230u);
    EXPECT_EQ(longest, 13u);
    EXPECT_EQ(symbol(19).size(), 13u);
}

TEST(SpaceGroupSymbols, LatticeLetterCounts) {
    // Centred groups by number: R 146 148 155 160 161 166 167; A 38-41;
    // C 5 8 9 12 15 20 21 35-37 63-68; F 22 42 43 69 70 and 11 cubic;
    // I 9 orthorhombic, 19 tetragonal, 10 cubic.  The rest are primitive.
    std::map<char, int> count;
    for (int n = 1; n <= 230; ++n)
        ++count[symbol(n)[0]];
    EXPECT_EQ(count['R'], 7);
    EXPECT_EQ(count['A'], 4);
    EXPECT_EQ(count['C'], 16);
    EXPECT_EQ(count['F'], 16);
    EXPECT_EQ(count['I'], 38);
    EXPECT_EQ(count['P'], 149);
    const int rhombohedral[] = {146, 148, 155, 160, 161, 166, 167};
    for (int n : rhombohedral)
        EXPECT_EQ(symbol(n)[0], 'R') << n;
}
