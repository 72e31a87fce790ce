/* lattix: checking a unit cell before a crystal set is built from it.
 * Conventions as in lattixLib.h. */
#pragma once

#include "lattixLib.h"

#ifdef __cplusplus
extern "C" {
#endif

/* Degrees and angstrom (any one length unit); 0 when the six values make a
 * usable cell, otherwise the non-zero status InitCrySet would give for such a
 * cell (ErrMsg texts it): 106 (LATTIX_STATUS_INVALID_NUMBER) for a value that
 * is NaN, infinite or beyond the Single range; 207 (LATTIX_STATUS_NO_CELL) for
 * a length not above 0, an angle not strictly between 0 and 180, angles that
 * close no cell (for example 10, 10, 170) or close one of normalised volume
 * below 1e-6, and a cell volume below 1e-5 (Direct could not be inverted).
 * InitCrySet2 checks nothing: callers refuse such values before calling it. */
LATTIX_API int32_t LATTIX_CALL CheckLattice(double a, double b, double c, double alpha, double beta,
                                            double gamma);

#ifdef __cplusplus
}
#endif
