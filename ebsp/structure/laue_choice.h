// The library's 11 Laue groups acting on Miller indices of a given cell, and
// the choice of the largest one under which a structure's intensities stay
// unchanged.
#pragma once

#include <array>
#include <vector>

#include "reflector_model.h"

namespace ebsp_structure {

using IndexMatrix = std::array<std::array<int, 3>, 3>;

struct CellValues {
    double a = 1, b = 1, c = 1, alpha = 90, beta = 90, gamma = 90;
};

// Number of proper rotations of Laue group laue (1..11); 0 outside.
int laueGroupOrder(int laue);

// The proper rotations of Laue group laue, in the library's fixed axes
// (generators as in its SYMGEN data), as integer matrices taking (h, k, l) to
// the indices of the turned plane in this cell.  False when the cell's metric
// does not carry the group (a turned plane has no integer indices).
bool laueOperatorsOnIndices(const CellValues& cell, int laue, std::vector<IndexMatrix>& out);

std::array<int, 3> applyToIndices(const IndexMatrix& m, const std::array<int, 3>& hkl);

// The largest Laue group whose operators all leave |F|^2 of the structure
// unchanged (checked on every reflection with s <= about 0.7 1/angstrom).
int chooseLaueGroup(const reflector_model::Structure& structure);

// Whether every operator of laue leaves |F|^2 unchanged for this structure.
bool intensitiesInvariant(const reflector_model::Structure& structure, int laue);

}  // namespace ebsp_structure
