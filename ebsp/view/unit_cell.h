// Unit-cell geometry: the parallelepiped or hexagonal prism of a crystal set, scaled into
// radius 0.95, its view-frame copy and the face shading.  No Qt here.
#pragma once

#include <cstdint>

#include "lattixLib.h"

namespace ebsp {

// An RGB triple (0..255 each).
struct Rgb {
    int r = 0;
    int g = 0;
    int b = 0;
    friend bool operator==(const Rgb&, const Rgb&) = default;
};

struct CellFace {
    uint8_t vertices[6] = {};  // zero-based vertex numbers in drawing order
    int vertexCount = 0;       // 4 or 6
    TVec3D normal{};           // unit outward normal, crystal frame
    TVec3D viewNormal{};
    Rgb colour;  // shaded colour
};

struct CellAxis {
    TVec3D P{}, D{}, W{};  // start, end, visibility vector; crystal frame
    TVec3D viewP{}, viewD{}, viewW{};
    int fromVertex = 0;  // zero-based
    int toVertex = 0;
    int face = -1;  // zero-based, -1: the axis's own direction decides
    Rgb colour;
};

inline constexpr int kMaxCellVertices = 12;
inline constexpr int kMaxCellFaces = 8;
inline constexpr int kMaxCellAxes = 4;

struct UnitCell {
    TVec3D vertices[kMaxCellVertices]{};
    TVec3D viewVertices[kMaxCellVertices]{};
    int vertexCount = 0;
    CellFace faces[kMaxCellFaces];
    int faceCount = 0;
    CellAxis axes[kMaxCellAxes];
    int axisCount = 0;
};

// True exactly for Laue groups 6..9 with showHexUnitCell and |Gamma - 120| < 0.01
// (a difference of exactly 0.01 gives the parallelepiped).
bool decideHexCell(const TCrySet& crySet, bool showHexUnitCell);

// Vertices, outward face normals and axis stubs in the crystal frame, the farthest vertex
// at distance 0.95.
void buildCell(UnitCell& cell, const TCrySet& crySet, bool hexCell);

// Carries vertices, normals and axes into the view frame and shades every face.
void projectCell(UnitCell& cell, const TMat3D& inverseView, Rgb faceColour);

// Lambert shade of faceColour for a view-frame normal, lit from (-1, 1.5, 3.3).
Rgb shadeFace(const TVec3D& viewNormal, Rgb faceColour);

}  // namespace ebsp
