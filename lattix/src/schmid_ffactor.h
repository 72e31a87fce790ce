// f factors of a crystal direction and Schmid factors of a slip-system family, with the slip trace.
#pragma once

#include "lattixtype.h"

namespace lattix {

void fFactorInit(TFFactorSet& ff);
// Sums over the equivalent directions of their squared components along the
// specimen (or reference) axes; they add up to FDirCount.
TVec3D fFactor(const TFFactorSet& ff, const TVec3D& orientation);

void schmidFactorInit(TSchmidSet& ss);
// Largest cos(lambda).cos(phi) over the slip systems for the loading direction
// (specimen frame); the trace of the winning plane when asked for.  An
// uninitialised record (no slip systems) gives 0 and leaves the trace alone.
double schmidFactor(const TSchmidSet& ss, const TVec3D& orientation, TSchmidTrace& trace);

}  // namespace lattix
