// The built-in phase table and the classification and description texts.
#include "phase_catalogue.h"

#include <charconv>
#include <cmath>

#include "lattixLib.h"
#include "phase_reflectors.h"

namespace {

struct PhaseEntry {
    const char* name;
    const char* symbol;
    std::uint8_t code;
    double a, b, c, alpha, beta, gamma;
    const char* setting;
    std::uint16_t year;
};

// Lattice values are decimal here; BuildPhase stores the nearest floats.
constexpr PhaseEntry kPhases[kPhaseCount] = {
    {"Alumina", "R -3 c", 167, 4.754, 4.754, 12.982, 90, 90, 120, "", 0},
    {"Aluminium", "F m -3 m", 225, 4.05, 4.05, 4.05, 90, 90, 90, "", 0},
    {"Iron bcc", "I m -3 m", 229, 2.866, 2.866, 2.866, 90, 90, 90, "", 0},
    {"Iron fcc", "F m -3 m", 225, 3.6599, 3.6599, 3.6599, 90, 90, 90, "", 0},
    {"Titanium", "P 6_3/m m c", 194, 2.9504, 2.9504, 4.6833, 90, 90, 120, "", 0},
    {"YBa2Cu3O7", "mmm", 243, 3.823, 3.886, 11.681, 90, 90, 90, "3", 0},
    {"SiC [2H]", "6/mmm", 249, 3.076, 3.076, 5.048, 90, 90, 120, "9", 0},
    {"Zirconia, tetragonal", "P 4_2/n m c", 137, 3.6055, 3.6055, 5.1797, 90, 90, 90, "", 0},
    {"Zirconia, monoclinic", "P 2_1/c", 14, 5.1461, 5.2118, 5.313, 90, 99.22, 90, "", 0},
    {"Lead Titanate", "P 4 m m", 99, 3.9406, 3.9406, 4.0636, 90, 90, 90, "", 1985},
    {"Quartz", "P 3_1 2 1", 152, 4.913, 4.913, 5.504, 90, 90, 120, "", 0},
    {"Forsterite", "mmm", 243, 4.756, 10.207, 5.98, 90, 90, 90, "3", 0},
    {"Pyrite", "P a -3", 205, 5.418, 5.418, 5.418, 90, 90, 90, "", 0},
    {"Cordierite", "Cccm", 66, 17.119, 9.746, 9.361, 90, 90, 90, "", 1979},
    {"Andalusite", "Pnnm", 58, 7.756, 7.8735, 5.544, 90, 90, 90, "", 1984},
    {"Kyanite", "P-1", 2, 7.124, 7.856, 5.577, 89.99, 101.15, 105.95, "", 1997},
    {"Sillimanite", "mmm", 243, 7.4883, 7.6808, 5.7774, 90, 90, 90, "3", 0},
    {"Pigeonite", "P2_1/c", 14, 9.706, 8.95, 5.246, 90, 108.59, 90, "b uni", 1970},
    {"Augite", "C2/c", 15, 9.689, 8.824, 5.28, 90, 107.6, 90, "b uni", 1994},
};

const char* const kAngstrom = "\xC5";
const char* const kDegree = "\xB0";

// printf's "%.4g" without its dependence on the C locale: four significant
// digits, trailing zeros and point removed, then the caller's separator.
std::string FormatG4(double value, char decimalSeparator) {
    char buffer[64];
    auto result =
        std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::general, 4);
    std::string text(buffer, result.ptr);
    for (char& c : text) {
        if (c == '.') {
            c = decimalSeparator;
        }
    }
    return text;
}

}  // namespace

void BuildPhase(std::uint32_t index, TPhaseRecord& phase) {
    phase.Comment.clear();
    phase.Remark.clear();
    if (index < 1 || index > kPhaseCount) {
        phase.Name.clear();
        phase.Setting.clear();
        phase.Symbol.clear();
        phase.A = phase.B = phase.C = 1.0f;
        phase.Alpha = phase.Beta = phase.Gamma = 90.0f;
        phase.SpaceGroupCode = 0;
        phase.Year = 0;
        return;
    }
    const PhaseEntry& entry = kPhases[index - 1];
    phase.Name = entry.name;
    phase.A = static_cast<float>(entry.a);
    phase.B = static_cast<float>(entry.b);
    phase.C = static_cast<float>(entry.c);
    phase.Alpha = static_cast<float>(entry.alpha);
    phase.Beta = static_cast<float>(entry.beta);
    phase.Gamma = static_cast<float>(entry.gamma);
    phase.SpaceGroupCode = entry.code;
    phase.Setting = entry.setting;
    phase.Symbol = entry.symbol;
    phase.Year = entry.year;

    const PhaseReflectorList list = BuiltInReflectorList(index);
    for (std::size_t i = 0; i < kPhaseReflectorCapacity; ++i) {
        phase.Reflectors[i] = i < list.count ? list.entries[i] : TPhaseReflector{};
    }
}

std::size_t UsedReflectorCount(const TPhaseRecord& phase) {
    std::size_t count = 0;
    while (count < kPhaseReflectorCapacity && phase.Reflectors[count].Family != 0) {
        ++count;
    }
    return count;
}

std::int32_t LaueIndexOfCode(std::int32_t code) {
    // The library owns the Laue classes of the space groups.
    return GetLaueGroupIndex(code);
}

std::string CrystalSystemOfLaueGroup(std::int32_t laueGroup) {
    switch (laueGroup) {
        case 1:
            return "Triclinic";
        case 2:
            return "Monoclinic";
        case 3:
            return "Orthorhombic";
        case 4:
        case 5:
            return "Tetragonal";
        case 6:
        case 7:
            return "Trigonal";
        case 8:
        case 9:
            return "Hexagonal";
        case 10:
        case 11:
            return "Cubic";
        default:
            return "[Error]";
    }
}

std::string CrystalSystemText(std::int32_t code) {
    // Within 1..230 and 241..251 the Laue class fixes the crystal system.
    return CrystalSystemOfLaueGroup(LaueIndexOfCode(code));
}

std::string LatticeText(const TCrySet& crySet, char decimalSeparator) {
    const double a = crySet.A, b = crySet.B, c = crySet.C;
    const double alpha = crySet.Alpha, beta = crySet.Beta, gamma = crySet.Gamma;
    auto g = [decimalSeparator](double v) { return FormatG4(v, decimalSeparator); };
    const std::string abc = "a=" + g(a) + " b=" + g(b) + " c=" + g(c) + kAngstrom;
    switch (crySet.LaueGroup) {
        case 1:
            return abc + " alpha=" + g(alpha) + " beta=" + g(beta) + " gamma=" + g(gamma) + kDegree;
        case 2:
            // Show the one non-right angle; a difference of exactly 0.01 counts as right.
            if (std::fabs(beta - 90.0) > 0.01) {
                return abc + "; beta=" + g(beta) + kDegree;
            }
            if (std::fabs(gamma - 90.0) <= 0.01) {
                return abc + "; alpha=" + g(alpha) + kDegree;
            }
            return abc + "; gamma=" + g(gamma) + kDegree;
        case 3:
            return abc;
        case 4:
        case 5:
            return "a=" + g(a) + " c=" + g(c) + kAngstrom;
        case 6:
        case 7:
        case 8:
        case 9:
            // Hexagonal axes unless gamma is off 120 by 0.01 or more (rhombohedral axes).
            if (std::fabs(gamma - 120.0) < 0.01) {
                return "a=" + g(a) + " c=" + g(c) + kAngstrom + " gamma=120" + kDegree;
            }
            return "a=" + g(a) + kAngstrom + " gamma=" + g(gamma) + kDegree;
        case 10:
        case 11:
            return "a=" + g(a) + kAngstrom;
        default:
            return "[Error]";
    }
}

std::string PhaseTitle(const TPhaseRecord& phase) {
    if (phase.SpaceGroupCode >= 1 && phase.SpaceGroupCode <= 230) {
        return std::to_string(phase.SpaceGroupCode) + ", " + phase.Symbol;
    }
    return phase.Symbol;
}

std::array<std::string, 4> PhaseDescriptionLines(const TPhaseRecord& phase, const TCrySet& crySet,
                                                 char decimalSeparator) {
    std::array<std::string, 4> lines;
    lines[0] = ("Phase=" + phase.Name).substr(0, 55);
    if (phase.SpaceGroupCode > 230) {
        lines[1] =
            "Laue Group=" + std::to_string(phase.SpaceGroupCode - 240) + " (" + phase.Symbol + ")";
    } else {
        lines[1] = "Space Group=" + PhaseTitle(phase);
    }
    lines[2] = "Crystal System=" + CrystalSystemText(phase.SpaceGroupCode);
    lines[3] = LatticeText(crySet, decimalSeparator);
    return lines;
}
