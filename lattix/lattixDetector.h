/* lattix detector exports: the gnomonic projection of crystal directions and lattice planes
 * onto a flat EBSD screen, and the five common pattern-centre conventions.
 *
 * Frames (all right-handed):
 *  - sample S: X = RD, Y = TD, Z = ND; the orientation matrix g takes sample to crystal
 *    coordinates, c = g.s (Euler2Matrix, Bunge, radians);
 *  - projection G: origin at the source point, Z_G from there to the pattern centre (PC) and
 *    normal to the screen, X_G right and Y_G up in the displayed pattern (seen from behind the
 *    screen, looking towards the sample; row 0 at the top, towards the pole piece);
 *  - pixels: continuous (X, Y) in binned pixels, origin at the outer top-left corner of the
 *    image, X right, Y down; pixel (row i, column j) covers [j, j+1) x [i, i+1), its centre is
 *    (j + 1/2, i + 1/2).
 * With Nx = Width, Ny = Height and the PC in Bruker form (PCx, PCy, PCz), the PC sits at
 * (PCx Nx, PCy Ny) and the source point lies DD = PCz Ny pixels behind it.  A direction with
 * v_G = (vx, vy, vz), vz > 0, reaches the screen at
 *     X = PCx Nx + (vx / vz) PCz Ny,     Y = PCy Ny - (vy / vz) PCz Ny.
 *
 * Statuses: every export returns 0 on success or one of the negative lxDet* codes below, and
 * writes nothing when it fails.  The checks run in this order: null pointers, convention,
 * detector fields, other arguments.  A detector is valid when Width, Height and Binning are
 * at least 1, every double is finite, PCz > 0, and (for the EMsoft conventions only)
 * PixelSize > 0.  DetectorProject and DetectorBandLine also return the non-negative
 * outcomes 1 and 2 documented with them.
 */
#pragma once

#include "lattixLib.h"

#ifdef __cplusplus
extern "C" {
#endif

typedef struct TDetector {
    int32_t Width, Height; /* Nx columns, Ny rows of the pattern as used (after binning) */
    int32_t Binning;       /* b >= 1 */
    double PixelSize;      /* unbinned pixel size in micrometres (the EMsoft conventions need it) */
    double SampleTilt;     /* sigma, degrees (70 is usual) */
    double Tilt;           /* detector tilt theta, degrees; positive turns the screen normal
                              below the horizontal and moves features up */
    double Azimuthal;      /* omega, degrees, about Y_G; positive moves features right */
    double Twist;          /* gamma, degrees, about Z_G; positive turns features
                              counter-clockwise about the PC */
    double PCx, PCy, PCz;  /* pattern centre, Bruker convention: X_pc/Nx, Y_pc/Ny (Y down),
                              DD/Ny */
} TDetector;

/* Pattern-centre conventions.  With X_pc, Y_pc, DD in binned pixels as above:
 *  lxPcBruker  (PCx, PCy, PCz)  = (X_pc/Nx, Y_pc/Ny, DD/Ny)
 *  lxPcEdax    (x*, y*, z*)     = (X_pc/Nx, (Ny - Y_pc)/Ny, DD/min(Nx, Ny))
 *  lxPcWidth   (x*, y*, z*)     = (X_pc/Nx, (Ny - Y_pc)/Nx, DD/Nx)   (fractions of the width)
 *  lxPcEmsoft4 (xpc, ypc, L)    = (b (X_pc - Nx/2), b (Ny/2 - Y_pc), DD b PixelSize)
 *  lxPcEmsoft5 (xpc, ypc, L)    = (b (Nx/2 - X_pc), b (Ny/2 - Y_pc), DD b PixelSize)
 * EMsoft xpc, ypc are in unbinned pixels and L in micrometres; a positive v5 xpc puts the PC
 * left of the centre.  Example, 640 x 480 (Nx x Ny), b = 1, 50 um: Bruker (0.5, 0.5, 0.625) is
 * EDAX (0.5, 0.5, 0.625), width (0.5, 0.375, 0.46875), EMsoft v4 and v5 (0, 0, 15000).
 * Example, 80 x 60, b = 8, 59.2 um: Bruker (0.4, 0.2, 0.6) is EDAX (0.4, 0.8, 0.6), width
 * (0.4, 0.6, 0.45), EMsoft v4 (-64, 144, 17049.6), EMsoft v5 (64, 144, 17049.6). */
enum { lxPcBruker = 0, lxPcEdax = 1, lxPcWidth = 2, lxPcEmsoft4 = 3, lxPcEmsoft5 = 4 };

/* Failure statuses (nothing is written). */
enum {
    lxDetNullPointer = -1,   /* a pointer argument is NULL */
    lxDetBadConvention = -2, /* convention is none of lxPc* */
    lxDetBadField = -3,      /* a TDetector field is non-finite or out of range */
    lxDetBadArgument = -4    /* another argument is non-finite, a zero vector, or a PC that
                                gives no valid Bruker PC (PCz <= 0) */
};

/* Sets d's PCx, PCy, PCz from pc given in the convention (see above); the PC fields of d are
 * not checked beforehand, its other fields are.  The converted PC must be finite with
 * PCz > 0.  Example: 60 x 60, b = 8, 59.2 um, EMsoft v4 (3.4848, 114.2016, 15767.7) gives
 * Bruker (0.50726, 0.26208, 0.554888).  Returns 0 or a failure status. */
LATTIX_API int32_t LATTIX_CALL DetectorSetPatternCentre(TDetector* d, int32_t convention,
                                                        const double pc[3]);

/* Writes d's PC in the convention into pc.  Example: 80 x 60, Bruker (0.25, 1, 1) reads as
 * width (0.25, 0, 0.75).  Returns 0 or a failure status. */
LATTIX_API int32_t LATTIX_CALL DetectorGetPatternCentre(const TDetector* d, int32_t convention,
                                                        double pc[3]);

/* Writes the rotation M_SG = Rz(Twist) Ry(Azimuthal) Rx(SampleTilt - Tilt) P, P taking
 * (x, y, z)_S to (y, z, x), as a TMat3D (columns stored): v_G = M_SG v_S (MatMul3x1).  Its
 * rows are X_G, Y_G, Z_G in sample coordinates.  Example: sigma = 70, others 0: rows
 * (0, 1, 0), (-0.939693, 0, 0.342020), (0.342020, 0, 0.939693); as a quaternion (w, x, y, z)
 * (0.696364, -0.122788, -0.122788, -0.696364).  Returns 0 or a failure status. */
LATTIX_API int32_t LATTIX_CALL DetectorSampleMatrix(const TDetector* d, TMat3D* m);

/* Projects the crystal-frame direction crystalDir (Cartesian, as Miller2Vec makes it from
 * [uvw]; any length > 0) seen in orientation g onto the screen: writes the continuous pixel
 * position (x, y).  Returns 0 when it lies on the closed screen rectangle [0, Nx] x [0, Ny],
 * 1 when it reaches the screen plane outside it (x, y written), 2 when it points away from
 * the screen or along it (v_Gz <= 1e-12 |v|; nothing written), or a failure status.
 * Example: Ni, identity g, 640 x 480, sigma = 70, PC (0.5, 0.3, 0.6): [001] -> (320,
 * 39.176573), [111] -> (544.699331, 278.296606) and 0; [100] -> (320, 935.273497) and 1; [010]
 * -> 2. */
LATTIX_API int32_t LATTIX_CALL DetectorProject(const TDetector* d, const TMat3D* g,
                                               const TVec3D* crystalDir, double* x, double* y);

/* The inverse: writes the unit crystal-frame direction seen at continuous pixel position
 * (x, y) (any finite position, on the screen or not).  Example (set-up as above): the centre
 * of pixel row 100, column 200, (x, y) = (200.5, 100.5), is (0.183037, -0.379573, 0.906875),
 * 23.824646 degrees from the PC.  Returns 0 or a failure status. */
LATTIX_API int32_t LATTIX_CALL DetectorDirection(const TDetector* d, const TMat3D* g, double x,
                                                 double y, TVec3D* crystalDir);

/* Writes (a, b, c), a^2 + b^2 = 1, of the centre line a x + b y + c = 0 (pixels) of the band
 * of the crystal-frame plane normal planeNormal (Cartesian, as Miller2Vec makes it from (hkl);
 * any length > 0), signed so that the normal has n_Gz > 0 (for |n_Gz| <= 1e-12, a normal in
 * the screen plane: so that a > 0, or a = 0 and b > 0); the value at the PC,
 * a PCx Nx + b PCy Ny + c >= 0, is then the PC's distance from the line.  Returns 0 when
 * the line crosses the closed screen rectangle, 1 when it misses it (line written), 2 when
 * the band is at infinity (the normal along Z_G, sin of its angle to Z_G <= 1e-12; nothing
 * written), or a failure status.  Example (set-up as above): (1-11) gives (0.615133,
 * -0.788424, 22.573104), (200) gives (0, 1, -39.176573). */
LATTIX_API int32_t LATTIX_CALL DetectorBandLine(const TDetector* d, const TMat3D* g,
                                                const TVec3D* planeNormal, double line[3]);

#ifdef __cplusplus
}
#endif

LATTIX_CHECK_OFFSET(TDetector, Width, 0);
LATTIX_CHECK_OFFSET(TDetector, Height, 4);
LATTIX_CHECK_OFFSET(TDetector, Binning, 8);
LATTIX_CHECK_OFFSET(TDetector, PixelSize, 16);
LATTIX_CHECK_OFFSET(TDetector, SampleTilt, 24);
LATTIX_CHECK_OFFSET(TDetector, Tilt, 32);
LATTIX_CHECK_OFFSET(TDetector, Azimuthal, 40);
LATTIX_CHECK_OFFSET(TDetector, Twist, 48);
LATTIX_CHECK_OFFSET(TDetector, PCx, 56);
LATTIX_CHECK_OFFSET(TDetector, PCy, 64);
LATTIX_CHECK_OFFSET(TDetector, PCz, 72);
LATTIX_CHECK_SIZE(TDetector, 80);
