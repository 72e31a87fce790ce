/* lattix array exports: whole maps of orientations per call, on all cores.
 *
 * Conventions beyond those of lattixLib.h:
 *  - n counts elements; arrays are caller-owned, contiguous and not aliased
 *    unless a comment says so; an array of no elements may be null;
 *  - every export returns an int32_t status: LTX_BATCH_OK (0) on success,
 *    otherwise one of the codes below, and then nothing has been written;
 *  - threads: 0 = all hardware threads, 1 = the calling thread only, k = at
 *    most k.  Every element is computed on its own, so the results are the
 *    same bit for bit whatever the number of threads;
 *  - the worker threads are started by the first call that asks for more
 *    than one and live for the process, parked on a condition variable; the
 *    library's static destructor stops and joins them, so unloading it is
 *    safe once no call is running.  Calls from several threads at once are
 *    allowed: a call that finds the workers busy runs on its own thread.
 *    Nothing is allocated on the evaluation path.
 *  - NaN marks a missing orientation (an unindexed pixel): an element with a
 *    NaN among its inputs gives NaN results.
 */
#pragma once

#include "lattixLib.h"

#ifdef __cplusplus
extern "C" {
#endif

#define LTX_BATCH_OK 0
#define LTX_BATCH_NULL_POINTER 1    /* a required pointer is null */
#define LTX_BATCH_BAD_COUNT 2       /* n, width, height or threads < 0, or a grid too large */
#define LTX_BATCH_BAD_CRYSTAL_SET 3 /* SymOpCount outside 1..96 */
#define LTX_BATCH_INTERNAL_ERROR 4  /* a fault inside the library; nothing written */

/* A unit quaternion w, x, y, z: the passive orientation g of Euler2Matrix with
 * P = +1 (Rowenhorst et al. 2015).  Euler (phi1, Phi, phi2) gives
 *   (cos(Phi/2) cos(s), -sin(Phi/2) cos(d), -sin(Phi/2) sin(d), -cos(Phi/2) sin(s)),
 * s = (phi1 + phi2)/2, d = (phi1 - phi2)/2, the sign chosen so that w >= 0.
 * Example: Euler (90 deg, 0, 0) gives (0.70711, 0, 0, -0.70711). */
typedef struct TQuat {
    double w, x, y, z;
} TQuat;

/* Euler2Matrix element by element. */
LATTIX_API int32_t LATTIX_CALL BatchEuler2Matrix(const TVec3D* e, TMat3D* g, int64_t n);
/* Matrix2Euler element by element, but never a message box: an element whose
 * g(3,3) is out of range (or NaN) gets NaN angles. */
LATTIX_API int32_t LATTIX_CALL BatchMatrix2Euler(const TMat3D* g, TVec3D* e, int64_t n);
LATTIX_API int32_t LATTIX_CALL BatchEuler2Quat(const TVec3D* e, TQuat* q, int64_t n);
/* The angles Matrix2Euler gives for the quaternion's matrix (NaN as above). */
LATTIX_API int32_t LATTIX_CALL BatchQuat2Euler(const TQuat* q, TVec3D* e, int64_t n);
/* w >= 0; for a half turn (w = 0) the sign found first is kept. */
LATTIX_API int32_t LATTIX_CALL BatchMatrix2Quat(const TMat3D* g, TQuat* q, int64_t n);
/* q need not be of unit length; it is normalised first (a zero q gives NaN). */
LATTIX_API int32_t LATTIX_CALL BatchQuat2Matrix(const TQuat* q, TMat3D* g, int64_t n);

/* For each i what AxisAngleMat(cs, a[i], b[i], axis, angle) gives: angle[i]
 * (radians) within 1e-12 of its angle; axis may be null (angle only, the
 * fast path), else axis[i] is its axis (same operator among equal angles).
 * a and b are rotation matrices (orthonormal up to rounding). */
LATTIX_API int32_t LATTIX_CALL BatchMisorientation(const TCrySet* cs, const TMat3D* a,
                                                   const TMat3D* b, int64_t n, double* angle,
                                                   TVec3D* axis, int32_t threads);
/* The same on quaternions, through their matrices (BatchQuat2Matrix). */
LATTIX_API int32_t LATTIX_CALL BatchMisorientationQuat(const TCrySet* cs, const TQuat* a,
                                                       const TQuat* b, int64_t n, double* angle,
                                                       TVec3D* axis, int32_t threads);
/* g: a row-major map, g[r * width + c].  right[i] is the misorientation angle
 * of pixel i with its right neighbour, down[i] with the one below; NaN where
 * there is none or either orientation holds a NaN. */
LATTIX_API int32_t LATTIX_CALL BatchGridMisorientation(const TCrySet* cs, const TMat3D* g,
                                                       int32_t width, int32_t height, double* right,
                                                       double* down, int32_t threads);
/* NormalizeEuler in place for each element (a triple holding a NaN or an
 * infinity becomes NaN). */
LATTIX_API int32_t LATTIX_CALL BatchNormalizeEuler(const TCrySet* cs, TVec3D* e, int64_t n,
                                                   int32_t threads);

#ifdef __cplusplus
}
#endif
