// The crystal set: lattice matrices, symmetry operators from SYMGEN, APU blocks, indices to vectors.
#pragma once

#include <cstdint>
#include <string_view>

#include "lattixtype.h"

namespace lattix {

// Thrown inside the library when a setup data file cannot be opened or read;
// caught at the export boundary, where it becomes GetInitIoStatus().
struct IoError {
    std::uint16_t status;
};

// Steps 3..8 of the initialisation: matrices, SymOps, Apu0, Apu1, limits,
// PseudoCount.  Throws IoError when SYMGEN or APU fail.
void completeCrySet(TCrySet& cs);
void buildLatticeMatrices(TCrySet& cs);
double latticeSpacing(const TCrySet& cs, int h, int k, int l);
bool miller2Vec(const TCrySet& cs, bool direction, const TIndices& idx, TVec3D& out);
// Unparsable text: zero indices, so out becomes (1,0,0).
void str2Vec(const TCrySet& cs, bool direction, std::string_view text, TVec3D& out);

}  // namespace lattix
