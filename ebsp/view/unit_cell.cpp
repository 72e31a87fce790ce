// Unit-cell geometry: vertex, face and axis tables, fit, projection and shading.
#include "unit_cell.h"

#include <algorithm>
#include <cmath>

#include "view_constants.h"

namespace ebsp {
namespace {

struct AxisEntry {
    int from, to, face;  // zero-based; face -1: none
    Rgb colour;
};

constexpr Rgb kRed{255, 0, 0};
constexpr Rgb kGreen{0, 255, 0};
constexpr Rgb kBlue{0, 0, 255};

// Parallelepiped, fractional coordinates.
constexpr double kBoxVertices[8][3] = {{1, 1, 1},  {1, -1, 1},  {-1, -1, 1},  {-1, 1, 1},
                                       {1, 1, -1}, {1, -1, -1}, {-1, -1, -1}, {-1, 1, -1}};
constexpr uint8_t kBoxFaces[6][4] = {{1, 5, 6, 2}, {1, 4, 8, 5}, {1, 2, 3, 4},
                                     {3, 7, 8, 4}, {2, 6, 7, 3}, {5, 8, 7, 6}};
constexpr AxisEntry kBoxAxes[3] = {{1, 6, 1, kRed}, {1, 8, 2, kGreen}, {1, 3, 3, kBlue}};

// Hexagonal prism: corners in units of a1 and a2, height in units of c.
constexpr double kPrismVertices[12][3] = {
    {1, 1, 0.5},  {0, 1, 0.5},  {-1, 0, 0.5},  {-1, -1, 0.5},  {0, -1, 0.5},  {1, 0, 0.5},
    {1, 1, -0.5}, {0, 1, -0.5}, {-1, 0, -0.5}, {-1, -1, -0.5}, {0, -1, -0.5}, {1, 0, -0.5}};
constexpr uint8_t kPrismSides[6][4] = {{6, 1, 7, 12}, {1, 2, 8, 7},   {2, 3, 9, 8},
                                       {3, 4, 10, 9}, {4, 5, 11, 10}, {5, 6, 12, 11}};
constexpr uint8_t kPrismTop[6] = {6, 5, 4, 3, 2, 1};
constexpr uint8_t kPrismBottom[6] = {7, 8, 9, 10, 11, 12};
constexpr AxisEntry kPrismAxes[4] = {
    {6, 12, 0, kRed}, {2, 8, 0, kRed}, {4, 10, 0, kRed}, {1, 4, 7, kBlue}};

TVec3D difference(const TVec3D& a, const TVec3D& b) {
    return {a.x - b.x, a.y - b.y, a.z - b.z};
}

void setFace(CellFace& face, const uint8_t* oneBased, int count) {
    face.vertexCount = count;
    for (int i = 0; i < count; ++i)
        face.vertices[i] = static_cast<uint8_t>(oneBased[i] - 1);
}

}  // namespace

bool decideHexCell(const TCrySet& crySet, bool showHexUnitCell) {
    return crySet.LaueGroup >= 6 && crySet.LaueGroup <= 9 && showHexUnitCell &&
           hasHexagonalAxes(static_cast<double>(crySet.Gamma));
}

void buildCell(UnitCell& cell, const TCrySet& crySet, bool hexCell) {
    const double(*table)[3] = hexCell ? kPrismVertices : kBoxVertices;
    cell.vertexCount = hexCell ? 12 : 8;
    for (int i = 0; i < cell.vertexCount; ++i) {
        const TVec3D f{table[i][0], table[i][1], table[i][2]};
        MatMul3x1(&crySet.Direct, &f, &cell.vertices[i]);
    }

    // Fit the farthest vertex to 0.95; a collapsed lattice is not blown up by 1/0.
    double m = 1e-20;
    for (int i = 0; i < cell.vertexCount; ++i) {
        const double squared = Dot(&cell.vertices[i], &cell.vertices[i]);
        if (squared > m) m = squared;
    }
    if (std::fabs(m) < 1e-7) m = 1e-7;
    const double s = std::sqrt(m) / 0.95;
    for (int i = 0; i < cell.vertexCount; ++i) {
        cell.vertices[i].x /= s;
        cell.vertices[i].y /= s;
        cell.vertices[i].z /= s;
    }

    if (hexCell) {
        cell.faceCount = 8;
        for (int i = 0; i < 6; ++i)
            setFace(cell.faces[i], kPrismSides[i], 4);
        setFace(cell.faces[6], kPrismTop, 6);
        setFace(cell.faces[7], kPrismBottom, 6);
    } else {
        cell.faceCount = 6;
        for (int i = 0; i < 6; ++i)
            setFace(cell.faces[i], kBoxFaces[i], 4);
    }
    for (int i = 0; i < cell.faceCount; ++i) {
        CellFace& face = cell.faces[i];
        const TVec3D& v1 = cell.vertices[face.vertices[0]];
        const TVec3D& v2 = cell.vertices[face.vertices[1]];
        const TVec3D& v3 = cell.vertices[face.vertices[2]];
        const TVec3D e1 = difference(v2, v3);
        const TVec3D e2 = difference(v1, v2);
        Cross(&e1, &e2, &face.normal, 1);
    }

    const AxisEntry* axes = hexCell ? kPrismAxes : kBoxAxes;
    cell.axisCount = 0;
    for (int i = 0; i < (hexCell ? 4 : 3); ++i) {
        CellAxis& axis = cell.axes[cell.axisCount++];
        axis.fromVertex = axes[i].from - 1;
        axis.toVertex = axes[i].to - 1;
        axis.face = axes[i].face - 1;
        axis.colour = axes[i].colour;
        const TVec3D& a = cell.vertices[axis.fromVertex];
        const TVec3D& b = cell.vertices[axis.toVertex];
        axis.P = TVec3D{(a.x + b.x) / 2, (a.y + b.y) / 2, (a.z + b.z) / 2};
        axis.D = axis.P;
        UnityVector(&axis.D);
        axis.W = axis.face < 0 ? axis.D : cell.faces[axis.face].normal;
        const double k = kSphereRadiusFactor;  // the stubs end on the sphere's rim
        axis.D = TVec3D{k * axis.D.x, k * axis.D.y, k * axis.D.z};
    }
}

void projectCell(UnitCell& cell, const TMat3D& inverseView, Rgb faceColour) {
    for (int i = 0; i < cell.vertexCount; ++i)
        MatMul3x1(&inverseView, &cell.vertices[i], &cell.viewVertices[i]);
    for (int i = 0; i < cell.faceCount; ++i) {
        CellFace& face = cell.faces[i];
        MatMul3x1(&inverseView, &face.normal, &face.viewNormal);
        face.colour = shadeFace(face.viewNormal, faceColour);
    }
    for (int i = 0; i < cell.axisCount; ++i) {
        CellAxis& axis = cell.axes[i];
        MatMul3x1(&inverseView, &axis.P, &axis.viewP);
        MatMul3x1(&inverseView, &axis.D, &axis.viewD);
        MatMul3x1(&inverseView, &axis.W, &axis.viewW);
    }
}

Rgb shadeFace(const TVec3D& viewNormal, Rgb faceColour) {
    TVec3D light{-1.0, 1.5, 3.3};
    UnityVector(&light);
    TVec3D n = viewNormal;
    UnityVector(&n);
    const double brightness = Dot(&light, &n) * 127.0 + 127.0;
    double c[3] = {static_cast<double>(faceColour.r), static_cast<double>(faceColour.g),
                   static_cast<double>(faceColour.b)};
    // Dark face colours are lifted first so that shading still shows on them.
    if (std::max({c[0], c[1], c[2]}) <= 60.0)
        for (double& component : c)
            component += 60.0;
    int out[3];
    for (int i = 0; i < 3; ++i)
        out[i] = static_cast<int>(std::clamp(brightness * c[i] / 255.0, 0.0, 255.0));
    return Rgb{out[0], out[1], out[2]};
}

}  // namespace ebsp
