// The eleven Laue groups (texts, Euler-angle boxes, misorientation limits) and
// the 230 space-group symbols in short Hermann-Mauguin form.
#include "laue_tables.h"

#include <numbers>

namespace lattix {

namespace {

constexpr double kPi = std::numbers::pi;
// 2pi/3 and pi/3 one unit in the last place above the nearest doubles; the
// fundamental-zone reductions compare against exactly these values.
constexpr double kTwoPiThirds = 2.0943951023931957;
constexpr double kPiThirds = 1.0471975511965979;

struct LaueGroup {
    const char* shortText;
    const char* longText;
    TVec3D eulerMax;
    long double axisAngleDegrees;
};

// "Heaxagonal" is the group's established text; callers compare against it.
const LaueGroup kLaueGroups[kLaueGroupCount] = {
    {"-1", "Triclinic", {2 * kPi, kPi, 2 * kPi}, 180.0L},
    {"2/m", "Monoclinic", {kPi, kPi, 2 * kPi}, 180.0L},
    {"mmm", "Orthorhombic", {kPi, kPi, kPi}, 120.0L},
    {"4/m", "Tetragonal-Low", {2 * kPi, kPi, kPi / 2}, 180.0L},
    {"4/mmm", "Tetragonal-High", {kPi, kPi, kPi / 2}, 98.5L},
    {"-3", "Trigonal-Low", {2 * kPi, kPi, kTwoPiThirds}, 180.0L},
    {"-3m", "Trigonal-High", {kPi, kPi, kTwoPiThirds}, 104.5L},
    {"6/m", "Heaxagonal-Low", {2 * kPi, kPi, kPiThirds}, 180.0L},
    {"6/mmm", "Heaxagonal-High", {kPi, kPi, kPiThirds}, 94.0L},
    {"m3", "Cubic-Low", {2 * kPi, kPi / 2, kPi}, 90.0L},
    {"m3m", "Cubic-High", {2 * kPi, kPi / 2, kPi / 2}, 63.0L},
};

const char* const kSpaceGroups[LATTIX_SPACE_GROUP_COUNT] = {
    // Triclinic 1-2
    "P 1",
    "P -1",
    // Monoclinic 3-15
    "P 2",
    "P 2_1",
    "C 2",
    "P m",
    "P c",
    "C m",
    "C c",
    "P 2/m",
    "P 2_1/m",
    "C 2/m",
    "P 2/c",
    "P 2_1/c",
    "C 2/c",
    // Orthorhombic 16-74
    "P 2 2 2",
    "P 2 2 2_1",
    "P 2_1 2_1 2",
    "P 2_1 2_1 2_1",
    "C 2 2 2_1",
    "C 2 2 2",
    "F 2 2 2",
    "I 2 2 2",
    "I 2_1 2_1 2_1",
    "P m m 2",
    "P m c 2_1",
    "P c c 2",
    "P m a 2",
    "P c a 2_1",
    "P n c 2",
    "P m n 2_1",
    "P b a 2",
    "P n a 2_1",
    "P n n 2",
    "C m m 2",
    "C m c 2_1",
    "C c c 2",
    "A m m 2",
    "A b m 2",
    "A m a 2",
    "A b a 2",
    "F m m 2",
    "F d d 2",
    "I m m 2",
    "I b a 2",
    "I m a 2",
    "P m m m",
    "P n n n",
    "P c c m",
    "P b a n",
    "P m m a",
    "P n n a",
    "P m n a",
    "P c c a",
    "P b a m",
    "P c c n",
    "P b c m",
    "P n n m",
    "P m m n",
    "P b c n",
    "P b c a",
    "P n m a",
    "C m c m",
    "C m c a",
    "C m m m",
    "C c c m",
    "C m m a",
    "C c c a",
    "F m m m",
    "F d d d",
    "I m m m",
    "I b a m",
    "I b c a",
    "I m m a",
    // Tetragonal 75-142
    "P 4",
    "P 4_1",
    "P 4_2",
    "P 4_3",
    "I 4",
    "I 4_1",
    "P -4",
    "I -4",
    "P 4/m",
    "P 4_2/m",
    "P 4/n",
    "P 4_2/n",
    "I 4/m",
    "I 4_1/a",
    "P 4 2 2",
    "P 4 2_1 2",
    "P 4_1 2 2",
    "P 4_1 2_1 2",
    "P 4_2 2 2",
    "P 4_2 2_1 2",
    "P 4_3 2 2",
    "P 4_3 2_1 2",
    "I 4 2 2",
    "I 4_1 2 2",
    "P 4 m m",
    "P 4 b m",
    "P 4_2 c m",
    "P 4_2 n m",
    "P 4 c c",
    "P 4 n c",
    "P 4_2 m c",
    "P 4_2 b c",
    "I 4 m m",
    "I 4 c m",
    "I 4_1 m d",
    "I 4_1 c d",
    "P -4 2 m",
    "P -4 2 c",
    "P -4 2_1 m",
    "P -4 2_1 c",
    "P -4 m 2",
    "P -4 c 2",
    "P -4 b 2",
    "P -4 n 2",
    "I -4 m 2",
    "I -4 c 2",
    "I -4 2 m",
    "I -4 2 d",
    "P 4/m m m",
    "P 4/m c c",
    "P 4/n b m",
    "P 4/n n c",
    "P 4/m b m",
    "P 4/m n c",
    "P 4/n m m",
    "P 4/n c c",
    "P 4_2/m m c",
    "P 4_2/m c m",
    "P 4_2/n b c",
    "P 4_2/n n m",
    "P 4_2/m b c",
    "P 4_2/m n m",
    "P 4_2/n m c",
    "P 4_2/n c m",
    "I 4/m m m",
    "I 4/m c m",
    "I 4_1/a m d",
    "I 4_1/a c d",
    // Trigonal 143-167
    "P 3",
    "P 3_1",
    "P 3_2",
    "R 3",
    "P -3",
    "R -3",
    "P 3 1 2",
    "P 3 2 1",
    "P 3_1 1 2",
    "P 3_1 2 1",
    "P 3_2 1 2",
    "P 3_2 2 1",
    "R 3 2",
    "P 3 m 1",
    "P 3 1 m",
    "P 3 c 1",
    "P 3 1 c",
    "R 3 m",
    "R 3 c",
    "P -3 1 m",
    "P -3 1 c",
    "P -3 m 1",
    "P -3 c 1",
    "R -3 m",
    "R -3 c",
    // Hexagonal 168-194
    "P 6",
    "P 6_1",
    "P 6_5",
    "P 6_2",
    "P 6_4",
    "P 6_3",
    "P -6",
    "P 6/m",
    "P 6_3/m",
    "P 6 2 2",
    "P 6_1 2 2",
    "P 6_5 2 2",
    "P 6_2 2 2",
    "P 6_4 2 2",
    "P 6_3 2 2",
    "P 6 m m",
    "P 6 c c",
    "P 6_3 c m",
    "P 6_3 m c",
    "P -6 m 2",
    "P -6 c 2",
    "P -6 2 m",
    "P -6 2 c",
    "P 6/m m m",
    "P 6/m c c",
    "P 6_3/m c m",
    "P 6_3/m m c",
    // Cubic 195-230
    "P 2 3",
    "F 2 3",
    "I 2 3",
    "P 2_1 3",
    "I 2_1 3",
    "P m -3",
    "P n -3",
    "F m -3",
    "F d -3",
    "I m -3",
    "P a -3",
    "I a -3",
    "P 4 3 2",
    "P 4_2 3 2",
    "F 4 3 2",
    "F 4_1 3 2",
    "I 4 3 2",
    "P 4_3 3 2",
    "P 4_1 3 2",
    "I 4_1 3 2",
    "P -4 3 m",
    "F -4 3 m",
    "I -4 3 m",
    "P -4 3 n",
    "F -4 3 c",
    "I -4 3 d",
    "P m -3 m",
    "P n -3 n",
    "P m -3 n",
    "P n -3 m",
    "F m -3 m",
    "F m -3 c",
    "F d -3 m",
    "F d -3 c",
    "I m -3 m",
    "I a -3 d",
};

}  // namespace

bool isLaueIndex(int laue) {
    return laue >= 1 && laue <= kLaueGroupCount;
}

TVec3D eulerLimits(int laue) {
    if (!isLaueIndex(laue)) return TVec3D{2 * kPi, kPi, 2 * kPi};
    return kLaueGroups[laue - 1].eulerMax;
}

const char* laueShortText(int laue) {
    return isLaueIndex(laue) ? kLaueGroups[laue - 1].shortText : nullptr;
}

const char* laueLongText(int laue) {
    return isLaueIndex(laue) ? kLaueGroups[laue - 1].longText : nullptr;
}

double axisAngleLimit(int laue) {
    if (!isLaueIndex(laue)) return kPi;
    // Degrees to radians with the factor in extended precision, rounded once.
    constexpr long double kDegree = std::numbers::pi_v<long double> / 180.0L;
    return static_cast<double>(kLaueGroups[laue - 1].axisAngleDegrees * kDegree);
}

const char* hermannMauguinSymbol(int spaceGroup) {
    if (spaceGroup < 1 || spaceGroup > LATTIX_SPACE_GROUP_COUNT) return "[Error]";
    return kSpaceGroups[spaceGroup - 1];
}

int laueGroupIndex(int phaseCode) {
    struct Range {
        int last;
        int laue;
    };
    static constexpr Range kRanges[] = {{2, 1},   {15, 2},  {74, 3},  {88, 4},   {142, 5}, {148, 6},
                                        {167, 7}, {176, 8}, {194, 9}, {206, 10}, {230, 11}};
    if (phaseCode >= 1 && phaseCode <= LATTIX_SPACE_GROUP_COUNT) {
        for (const Range& r : kRanges)
            if (phaseCode <= r.last) return r.laue;
    }
    if (phaseCode > LATTIX_LAUE_CODE_BASE && phaseCode <= LATTIX_LAUE_CODE_BASE + kLaueGroupCount)
        return phaseCode - LATTIX_LAUE_CODE_BASE;
    return -1;
}

}  // namespace lattix
