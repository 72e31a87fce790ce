// EBSD detector geometry: the sample-to-screen rotation, the gnomonic projection in pixels
// and the pattern-centre conventions.
#pragma once

#include <cstdint>

#include "lattixDetector.h"

namespace lattix {

// 0 when d is usable (see lattixDetector.h); with checkPc false the PC fields are not
// looked at.  needPixelSize: the convention in hand needs PixelSize > 0.
int32_t checkDetector(const TDetector& d, bool checkPc, bool needPixelSize);
bool isPcConvention(int32_t convention);
bool conventionNeedsPixelSize(int32_t convention);

// PC in the convention -> Bruker (PCx, PCy, PCz), and back; d supplies Nx, Ny, b, PixelSize.
void pcToBruker(const TDetector& d, int32_t convention, const double in[3], double out[3]);
void pcFromBruker(const TDetector& d, int32_t convention, const double in[3], double out[3]);

// M_SG = Rz(twist) Ry(azimuthal) Rx(sigma - tilt) P: v_G = M_SG v_S.
TMat3D sampleToDetector(const TDetector& d);

// Everything one orientation needs: crystal -> G is toG = M_SG g^T, G -> crystal is its
// transpose (for a rotation g), and the PC in pixels.
struct DetectorFrame {
    TMat3D toG;
    TMat3D toCrystal;
    double pcX, pcY;  // PC position, pixels
    double dd;        // source-to-screen distance, pixels
    double width, height;
};
DetectorFrame makeDetectorFrame(const TDetector& d, const TMat3D& g);

// Results of projectDirection and bandLine.
enum : int32_t { kOnScreen = 0, kOffScreen = 1, kAtInfinity = 2 };

// v in crystal coordinates (any length > 0) -> pixel position; kAtInfinity writes nothing.
int32_t projectDirection(const DetectorFrame& f, const TVec3D& v, double& x, double& y);
// Unit crystal direction at pixel position (x, y); false (out untouched) when there is none.
bool pixelDirection(const DetectorFrame& f, double x, double y, TVec3D& out);
// Centre line of the band of plane normal n (crystal, any length > 0).
int32_t bandLine(const DetectorFrame& f, const TVec3D& n, double line[3]);

bool isFinite(const TVec3D& v);
bool isFinite(const TMat3D& m);

}  // namespace lattix
