// Builds each built-in phase's reflector list: the families the phase table
// fixes, followed by the strongest computed families that still fit.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "reflector_model.h"

namespace reflector_model {

inline constexpr std::size_t kListCapacity = 200;

// One line of phases.txt: which structure file models a phase, and the
// table's counts of used entries and families for comparison.
struct PhaseSpec {
    int index = 0;
    std::string structureFile;
    int tableEntries = 0;
    int tableFamilies = 0;
    std::string name;
};

// A run of equal stored intensity inside one fixed family (given_families.txt).
struct FixedRun {
    int family = 0;
    int intensity = 0;
    std::vector<Miller> members;
};

struct ListEntry {
    Miller hkl{};
    int intensity = 0;  // hundredths of a percent
    int family = 0;
};

// How the model compares with one fixed family.
struct FixedFamilyCheck {
    int family = 0;
    int givenIntensity = 0;      // the family's first stored intensity
    int computedIntensity = -1;  // round(10000 I / Imax), -1: members not one computed family
    bool sameMembers = false;    // the computed family has exactly the fixed members
};

struct PhaseList {
    PhaseSpec spec;
    Structure structure;
    std::vector<ListEntry> entries;
    int familyCount = 0;
    std::vector<FixedFamilyCheck> checks;
    int clampedFamilies = 0;  // computed families lowered to keep intensities falling
    int droppedFamilies = 0;  // computed families sharing only some members with fixed ones
    double sMax = 0;
    bool converged = true;  // false: searched to sLimit without proving the list complete
};

std::vector<PhaseSpec> readPhaseSpecs(const std::string& path);
std::vector<FixedRun> readFixedRuns(const std::string& path, int phaseIndex);

// Structure file and fixed families in, the finished list out.  The search
// sphere grows until no reflection outside it could outrank the first family
// left out; when that needs s > sLimit (1/angstrom) it throws
// std::runtime_error, or with requireConvergence false returns the list of the
// last sphere within sLimit, marked unconverged.
PhaseList buildPhaseList(const PhaseSpec& spec, const Structure& structure,
                         const std::vector<FixedRun>& fixed, bool requireConvergence = true,
                         double sLimit = 2.0);

// buildPhaseList for phase spec, reading its files from dataDirectory.
PhaseList buildPhaseListFromDirectory(const std::string& dataDirectory, const PhaseSpec& spec);

}  // namespace reflector_model
