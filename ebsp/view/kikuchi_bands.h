// Kikuchi band geometry: the reflector table, plane normals, half-widths, greys and the
// integer point lists of every band.  No Qt here.
#pragma once

#include <cstdint>

#include "lattixLib.h"
#include "unit_cell.h"
#include "view_projection.h"

namespace ebsp {

inline constexpr int kMaxReflectors = 200;
inline constexpr int kBandTracePoints = 16;
inline constexpr uint8_t kBandVisible = 32;

// One reflector and its cached band.
struct Reflector {
    int8_t h = 0, k = 0, l = 0;  // as the owner's handler gave them
    double d = 0.0;              // spacing, unit of the cell
    double intensity = 0.0;      // percent; negative: drawn in red
    TVec3D normal{};             // unit plane normal, crystal frame
    TVec3D viewNormal{};
    IntPoint outline[2 * kBandTracePoints]{};  // first edge, then the second edge backwards
    IntPoint edge1[kBandTracePoints]{};
    IntPoint edge2[kBandTracePoints]{};
    IntPoint centre[kBandTracePoints]{};
    uint8_t visible = 0;     // 0: no outline; kBandVisible: outline built
    double halfWidth = 0.0;  // wavelength / (2 d), used as an angle in radians
    Rgb colour;
};

// Unit crystal-frame plane normals through Recip; clears every visible marker.
void updateNormals(Reflector* reflectors, int count, const TCrySet& crySet);

// Half-widths from the electron wavelength at voltageKv.  A spacing that is not positive
// gives half-width 0, which leaves the band without an outline.
void updateBandWidths(Reflector* reflectors, int count, double voltageKv);

// Grey from greyMin at intensity 0 to greyMax at intensity 100 (either order), clamped to
// 0..255; negative intensities give red.
void updateBandGreys(Reflector* reflectors, int count, int greyMin, int greyMax);

// The near half of every band as integer pixel points.  A band whose normal lies along the
// view axis (its circle is the rim) or that has no width gets no outline.
void buildBands(Reflector* reflectors, int count, const TMat3D& inverseView,
                const OrthographicProjection& projection);

}  // namespace ebsp
