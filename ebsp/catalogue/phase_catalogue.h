// The built-in phase catalogue: 19 crystalline phases with their reflector
// lists, and the classification and description texts of a phase.
//
// Texts are 8-bit Windows Latin-1 held in std::string: the angstrom sign is
// the byte 0xC5 and the degree sign 0xB0.  Qt callers convert them with
// QString::fromLatin1.  Nothing here depends on the process locale.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>

#include "lattixtype.h"

// Number of built-in phases; valid phase indices are 1 to kPhaseCount.
inline constexpr std::uint32_t kPhaseCount = 19;
// Capacity of a phase's reflector list.
inline constexpr std::size_t kPhaseReflectorCapacity = 200;

// One reflector of a phase: Miller indices of the plane, the intensity in
// hundredths of a percent of the strongest family (10000 = 100.00) and the
// family number (1 for the first family, +1 at each new family in list
// order).  Entries past the end of a list are all zero.
struct TPhaseReflector {
    std::int8_t h = 0;
    std::int8_t k = 0;
    std::int8_t l = 0;
    std::uint16_t Intensity = 0;
    std::uint8_t Family = 0;
};

// A built-in phase.  Reflectors[0] is the first entry of the list (entry 1 in
// the phase table's own numbering); used entries come first and are
// contiguous.
struct TPhaseRecord {
    std::string Name;     // at most 49 characters; empty: no phase
    std::string Comment;  // at most 25 characters; empty in every built-in phase
    float A = 1.0f;       // lattice lengths, angstrom
    float B = 1.0f;
    float C = 1.0f;
    float Alpha = 90.0f;  // lattice angles, degrees
    float Beta = 90.0f;
    float Gamma = 90.0f;
    std::array<TPhaseReflector, kPhaseReflectorCapacity> Reflectors{};
    // 1..230: space-group number; 241..251: 240 + Laue group index; 0: no phase.
    std::uint8_t SpaceGroupCode = 0;
    std::string Setting;  // at most 5 characters: "3", "9", "b uni" or empty
    std::string Symbol;   // Hermann-Mauguin symbol, or Laue symbol for Laue-coded phases
    std::string Remark;   // empty in every built-in phase
    std::uint16_t Year = 0;
};

// Fills phase with built-in phase number index (1 to kPhaseCount), all 200
// reflector entries included.  Any other index empties the texts, sets
// a = b = c = 1, all angles 90, code 0 and year 0, and leaves the reflector
// entries as they were.
void BuildPhase(std::uint32_t index, TPhaseRecord& phase);

// Number of used (leading, non-zero) reflector entries of phase.
std::size_t UsedReflectorCount(const TPhaseRecord& phase);

// Laue group index 1..11 (-1, 2/m, mmm, 4/m, 4/mmm, -3, -3m, 6/m, 6/mmm, m3,
// m3m) of a phase code: a space-group number 1..230 or 240 + Laue index.
// Any other code gives -1.
std::int32_t LaueIndexOfCode(std::int32_t code);

// "Triclinic" ... "Cubic" for a Laue group index 1..11, otherwise "[Error]".
std::string CrystalSystemOfLaueGroup(std::int32_t laueGroup);

// Crystal system name of a phase code, "[Error]" for an invalid code.
std::string CrystalSystemText(std::int32_t code);

// The lattice parameter line of a crystal set, chosen by its LaueGroup (for
// example "a=4.754 c=12.98\xC5 gamma=120\xB0"), numbers with four
// significant digits and decimalSeparator in place of the point (the program
// passes its locale's).  "[Error]" for an invalid Laue group.
std::string LatticeText(const TCrySet& crySet, char decimalSeparator = '.');

// "167, R -3 c" for a space-group-coded phase, the symbol alone otherwise.
std::string PhaseTitle(const TPhaseRecord& phase);

// The four lines the main window shows for a phase: "Phase=" + name (cut to
// 55 characters), the space-group or Laue-group line, "Crystal System=" + the
// system of the code, and the lattice line of crySet (built from the phase).
// Serves built-in and loaded phases alike.
std::array<std::string, 4> PhaseDescriptionLines(const TPhaseRecord& phase, const TCrySet& crySet,
                                                 char decimalSeparator = '.');
