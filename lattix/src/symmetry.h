// Symmetry sets of orientations and directions, and the reduction of Euler triples into a group's
// zone.
#pragma once

#include <cstdint>

#include "lattixtype.h"

namespace lattix {

// Every array that receives a symmetry set holds this many entries (4 x 24).
constexpr int kSymSetCapacity = LATTIX_SYM_CAPACITY;

// Specimen symmetry codes: 1 none, 2 two-fold about specimen Z, 3 two-folds
// about X, Y and Z.
constexpr int kSpecimenNone = 1;
constexpr int kSpecimenMonoclinic = 2;
constexpr int kSpecimenOrthorhombic = 3;

// SymOpCount limited to the room of SymOps, so a damaged record is never
// read past its operator array.
int operatorCount(const TCrySet& cs);

// S_i.M for every operator, then the specimen blocks (identity, X2, Y2, Z2
// order) applied on the right.  A code outside 1..3 gives the first block
// only.  Never writes more than kSymSetCapacity matrices; returns the count.
int symSetMat(const TCrySet& cs, int specimenCode, const TMat3D& m, TMat3D* out);
// The matrix set converted to Euler triples in slot order.
int symSetEul(const TCrySet& cs, int specimenCode, const TVec3D& e, TVec3D* out);
// The distinct S_i.d in operator order; with dropAntiparallel an opposite
// sense counts as a duplicate.  hasAntiparallel tells whether -d occurs.
int symSetDir(const TCrySet& cs, bool dropAntiparallel, const TVec3D& d, bool& hasAntiparallel,
              TVec3D* out);

// Reduces e in place into the group's zone; the result is symmetry-equivalent.
void normalizeEuler(const TCrySet& cs, TVec3D& e);
// Writes the candidates the reduction chooses between; count is in/out (see
// the export for which paths leave it unchanged).
void specialNormalizeEuler(const TCrySet& cs, const TVec3D& e, TVec3D* out, std::int32_t& count);

// Matrix2Euler for internal callers: on an arithmetic failure shows the
// "Error Matrix2Euler" box like the export does, and e keeps what was written.
void matrixToEuler(const TMat3D& g, TVec3D& e);

}  // namespace lattix
