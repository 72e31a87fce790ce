// Kinematic electron-diffraction model behind the built-in reflector lists:
// structure files in, families of equivalent reflections with |F|^2 out.
#pragma once

#include <array>
#include <string>
#include <vector>

namespace reflector_model {

using Miller = std::array<int, 3>;

struct Site {
    std::string element;  // element symbol, e.g. "Fe"
    double x = 0, y = 0, z = 0;
    double occupancy = 1;
    double uIso = 0;  // isotropic displacement, angstrom^2; 0: no Debye-Waller factor
};

struct Structure {
    std::string fileName;
    std::vector<std::string> sourceLines;      // the file's "# source:" lines
    double a = 1, b = 1, c = 1;                // angstrom
    double alpha = 90, beta = 90, gamma = 90;  // degrees
    std::string spaceGroup;                    // Hermann-Mauguin name as gemmi knows it
    std::vector<Site> sites;                   // asymmetric unit
    // Symmetry operations as x,y,z triplets (centring included); when given
    // they are used instead of spaceGroup to fill the cell.
    std::vector<std::string> operations;
    double snapTolerance = 1e-5;  // coordinates this close to k/24 become k/24
};

// Reads one of the project's structure files (a small CIF); throws
// std::runtime_error on a missing file, unknown space group or element.
Structure readStructureFile(const std::string& path);

// Atom sites of the whole unit cell; coordinates within snapTolerance of a
// multiple of 1/24 are snapped onto it first, so that equivalent reflections
// stay equal.
std::vector<Site> unitCellSites(const Structure& structure);

struct Family {
    std::vector<Miller> members;  // one of each Friedel pair, first non-zero index positive
    double dSpacing = 0;          // angstrom
    double intensity = 0;         // |F|^2 of each member
};

struct FamilyTable {
    std::vector<Family> families;  // strongest first
    double maximumIntensity = 0;   // |F|^2 of the strongest reflection
    double sMax = 0;               // sin(theta)/lambda searched, 1/angstrom
};

// |F|^2 of one reflection from the sites of the whole cell, each site's
// scattering factor damped by exp(-B s^2), B = 8 pi^2 uIso.
double structureIntensity(const Structure& structure, const std::vector<Site>& cellSites,
                          const Miller& hkl);

// Volume of the structure's cell, cubic angstrom.
double cellVolume(const Structure& structure);

// 1/d^2 of hkl in the structure's cell, 1/angstrom^2.
double inverseSpacingSquared(const Structure& structure, const Miller& hkl);

// All reflections with s = 1/(2d) <= sMax and non-zero F, grouped into
// families of equal d and equal |F| (relative tolerance 1e-6), sorted by
// intensity (to 1e-9 of the strongest), then d (larger first), then first member.
FamilyTable computeFamilies(const Structure& structure, double sMax);

// Upper bound of |F|^2 for any reflection with s >= sMax: the sum of the
// atoms' |f_e(sMax)| squared (every f_e falls monotonically with s).
double intensityBoundBeyond(const Structure& structure, double sMax);

// Electron scattering factor (International Tables C 4.3.2.2) of an element at s.
double electronScatteringFactor(const std::string& element, double s);

// Canonical member of a Friedel pair: the one whose first non-zero index is positive.
Miller friedelCanonical(const Miller& hkl);

}  // namespace reflector_model
