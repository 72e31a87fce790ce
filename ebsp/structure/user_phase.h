// Phases beyond the built-in table: a structure file (CIF) or a crystal file
// of the library's own format, turned into a phase record with a reflector
// list computed by the same kinematic model as the built-in lists.
//
// Plain C++, no Qt.  The program adds a loaded phase by taking the record as
// it takes a built-in one, with one difference: the Laue group it passes to
// InitCrySet2 is UserPhase::laueGroup (which can be lower than the one the
// space-group code implies; see chooseLaueGroup).
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "phase_catalogue.h"

namespace ebsp_structure {

// Whether six lattice values (angstrom, degrees) close a cell.
bool latticeIsUsable(double a, double b, double c, double alpha, double beta, double gamma);

struct UserPhase {
    // Name (from the file, at most 49 characters), lattice, SpaceGroupCode
    // (1..230 for a structure, 240 + Laue index for a crystal file), Symbol
    // (e.g. "P 6_3/m m c", or the Laue symbol), Reflectors (up to 200, whole
    // families, strongest first, zeros after the list).
    TPhaseRecord record;
    // Laue group index 1..11 to pass to InitCrySet2.
    std::int32_t laueGroup = 0;
    // The four description lines as the window shows them (PhaseDescriptionLines
    // with '.' as decimal separator); a window with another separator calls
    // PhaseDescriptionLines itself on its crystal set.
    std::array<std::string, 4> description;
    // Remarks for the user (settings transformed, displacement parameters,
    // Laue group lowered, ...), without the "Note: " prefix.
    std::vector<std::string> notes;
    std::string path;           // the file as given
    std::string blockName;      // CIF data block read; empty for a crystal file
    bool hasStructure = false;  // false: crystal file, bands by spacing only
};

struct UserPhaseResult {
    bool ok = false;
    UserPhase phase;    // meaningful only when ok
    std::string error;  // when not ok: "FILE:LINE: what" or "FILE: what"
};

// Reads path: a crystal file when its first line is a version tag (VER...),
// otherwise a CIF, of which the structure block blockIndex (0-based among the
// blocks holding atom sites; -1: the first) is used.  Crystal files are read
// through the library's InitCrySet and so need the setup data.
UserPhaseResult loadUserPhase(const std::string& path, int blockIndex = -1);

// The same for CIF text in memory; label names it in messages.
UserPhaseResult loadUserPhaseFromCifText(const std::string& text, const std::string& label,
                                         int blockIndex = -1);

// Names of the data blocks of a CIF file that hold a structure, to let the
// user pick one; empty for an unreadable file or one without structures.
std::vector<std::string> structureBlocksOfFile(const std::string& path);

// Intensity (hundredths, 1..10000) of a crystal file's band of spacing d when
// the largest spacing of the list is dMax: 10000 (d / dMax)^2, at least 1.
std::uint16_t spacingIntensity(double d, double dMax);

}  // namespace ebsp_structure
