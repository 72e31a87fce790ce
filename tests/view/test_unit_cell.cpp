// Unit-cell rendering: cell geometry, the prism choice, shading, solid and wire-frame drawing.
#include <algorithm>

#include "panel_probe.h"
#include "view_test_support.h"

using namespace viewtest;

namespace {

// Shading computed here from the light direction (-1, 1.5, 3.3).
ebsp::Rgb expectedShade(TVec3D n, ebsp::Rgb colour) {
    const double light = std::sqrt(1.0 + 2.25 + 10.89);
    const double length = std::sqrt(n.x * n.x + n.y * n.y + n.z * n.z);
    const double b = (-1.0 * n.x + 1.5 * n.y + 3.3 * n.z) / light / length * 127.0 + 127.0;
    int c[3] = {colour.r, colour.g, colour.b};
    if (std::max({c[0], c[1], c[2]}) <= 60)
        for (int& x : c)
            x += 60;
    for (int& x : c)
        x = static_cast<int>(std::clamp(b * x / 255.0, 0.0, 255.0));
    return {c[0], c[1], c[2]};
}

std::unique_ptr<TCrystalEBSPpanel> cellView(const TCrySet* cs, TVec3D euler, int size = 200) {
    auto panel = std::make_unique<TCrystalEBSPpanel>();
    panel->resize(size, size);
    panel->SetRepaintLocked(true);
    panel->SetCrystalSet(cs, false);
    panel->SetOrientation(euler);
    panel->SetRepaintLocked(false);
    return panel;
}

double distanceToSegment(double px, double py, QPointF a, QPointF b) {
    const double vx = b.x() - a.x(), vy = b.y() - a.y();
    double t = ((px - a.x()) * vx + (py - a.y()) * vy) / (vx * vx + vy * vy);
    t = std::clamp(t, 0.0, 1.0);
    const double dx = a.x() + t * vx - px, dy = a.y() + t * vy - py;
    return std::sqrt(dx * dx + dy * dy);
}

}  // namespace

TEST(CellShading, ShadeFaceAgainstTheLambertFormula) {
    const TVec3D normals[] = {{0, 0, 1},      {1, 0, 0},       {0, -1, 0},
                              {-1, 1.5, 3.3}, {1, -1.5, -3.3}, {0.3, 0.2, -0.9}};
    const ebsp::Rgb colours[] = {{20, 30, 40}, {128, 128, 128}, {60, 0, 0},
                                 {61, 0, 0},   {255, 255, 255}, {0, 0, 0}};
    for (const TVec3D& n : normals)
        for (const ebsp::Rgb& c : colours) {
            const ebsp::Rgb shade = ebsp::shadeFace(n, c);
            const ebsp::Rgb expected = expectedShade(n, c);
            EXPECT_EQ(shade, expected) << n.x << " " << n.y << " " << n.z << " / " << c.r;
        }
    // Straight at the light: scaled by 254/255; turned away: black.
    EXPECT_EQ(ebsp::shadeFace(TVec3D{-1, 1.5, 3.3}, ebsp::Rgb{255, 255, 255}),
              (ebsp::Rgb{254, 254, 254}));
    EXPECT_EQ(ebsp::shadeFace(TVec3D{1, -1.5, -3.3}, ebsp::Rgb{200, 100, 50}),
              (ebsp::Rgb{0, 0, 0}));
    // (20, 30, 40) is lifted to (80, 90, 100) before shading.
    EXPECT_EQ(ebsp::shadeFace(TVec3D{-1, 1.5, 3.3}, ebsp::Rgb{20, 30, 40}),
              (ebsp::Rgb{79, 89, 99}));
}

TEST(CellGeometry, FarthestVertexAtNinetyFivePercentAndNormalsOutward) {
    struct Lattice {
        float a, b, c, alpha, beta, gamma;
        int laue;
        int vertices;
    };
    const Lattice lattices[] = {
        {4, 4, 4, 90, 90, 90, 11, 8}, {3, 3, 7, 90, 90, 90, 5, 8},
        {2, 5, 9, 90, 90, 90, 3, 8},  {5, 6, 7, 90, 110, 90, 2, 8},
        {4, 5, 6, 70, 80, 100, 1, 8}, {3.2f, 3.2f, 5.2f, 90, 90, 120, 9, 12},
        {5, 5, 5, 60, 60, 60, 7, 8},  {2.95f, 2.95f, 4.68f, 90, 90, 120, 8, 12}};
    for (const Lattice& l : lattices) {
        auto cs = makeCrySet(l.a, l.b, l.c, l.alpha, l.beta, l.gamma, l.laue);
        auto panel = cellView(cs.get(), TVec3D{0.3, 0.5, 0.7});
        const ebsp::UnitCell& cell = viewtest::probe(panel).Cell();
        ASSERT_EQ(cell.vertexCount, l.vertices) << l.laue;
        double farthest = 0.0;
        for (int i = 0; i < cell.vertexCount; ++i) {
            const TVec3D& v = cell.vertices[i];
            farthest = std::max(farthest, std::sqrt(v.x * v.x + v.y * v.y + v.z * v.z));
            const TVec3D& w = cell.viewVertices[i];
            // The view copy keeps lengths (a rotation).
            EXPECT_NEAR(v.x * v.x + v.y * v.y + v.z * v.z, w.x * w.x + w.y * w.y + w.z * w.z,
                        1e-12);
        }
        EXPECT_NEAR(farthest, 0.95, 1e-12) << l.laue;
        for (int f = 0; f < cell.faceCount; ++f) {
            const ebsp::CellFace& face = cell.faces[f];
            TVec3D centre{0, 0, 0};
            for (int j = 0; j < face.vertexCount; ++j) {
                centre.x += cell.vertices[face.vertices[j]].x / face.vertexCount;
                centre.y += cell.vertices[face.vertices[j]].y / face.vertexCount;
                centre.z += cell.vertices[face.vertices[j]].z / face.vertexCount;
            }
            const TVec3D& n = face.normal;
            EXPECT_NEAR(n.x * n.x + n.y * n.y + n.z * n.z, 1.0, 1e-12);
            EXPECT_GT(n.x * centre.x + n.y * centre.y + n.z * centre.z, 0.0) << "face " << f;
        }
        // Each axis stub runs from the surface out to 0.96.
        for (int i = 0; i < cell.axisCount; ++i) {
            const TVec3D& d = cell.axes[i].D;
            EXPECT_NEAR(std::sqrt(d.x * d.x + d.y * d.y + d.z * d.z), 0.96, 1e-12);
        }
    }
}

TEST(CellGeometry, CollapsedLatticeStaysFinite) {
    TCrySet cs{};
    cs.LaueGroup = 11;
    for (int j = 0; j < 3; ++j)
        (&cs.Direct.col[j].x)[j] = 1e-6;  // a, b, c of 1e-6
    ebsp::UnitCell cell;
    ebsp::buildCell(cell, cs, false);
    for (int i = 0; i < cell.vertexCount; ++i) {
        EXPECT_TRUE(std::isfinite(cell.vertices[i].x));
        EXPECT_LT(std::fabs(cell.vertices[i].x), 0.01);  // m = 1e-7 instead of ~3e-12
    }
}

TEST(CellDrawing, CubicAtTheStartOrientation) {
    auto cs = cubic();
    auto panel = cellView(cs.get(), TVec3D{0, 0, 0});
    ASSERT_EQ(panel->Image().size(), QSize(200, 200));
    const ebsp::Rgb shade = viewtest::probe(panel).ShadeFace(TVec3D{0, 0, 1});
    // The +c face spans 100 +- 0.95 R / sqrt 3 = 45 .. 154 in both directions.
    const double half = 100.0 * 0.95 / std::sqrt(3.0);
    const int low = static_cast<int>(100 - half), high = static_cast<int>(100 + half);
    ASSERT_EQ(low, 45);
    ASSERT_EQ(high, 154);
    for (QPoint p : {QPoint(60, 60), QPoint(140, 70), QPoint(70, 140), QPoint(130, 130)})
        EXPECT_EQ(pixel(*panel, p.x(), p.y()), toRgb(shade)) << p.x() << "," << p.y();
    // Outline on the square's border, white beyond it (side faces are edge-on).
    EXPECT_EQ(pixel(*panel, low, 80), rgb(0, 0, 0));
    EXPECT_EQ(pixel(*panel, 80, high), rgb(0, 0, 0));
    EXPECT_EQ(pixel(*panel, low - 3, 80), rgb(255, 255, 255));
    EXPECT_EQ(pixel(*panel, 80, high + 3), rgb(255, 255, 255));
    EXPECT_EQ(pixel(*panel, 100, 180), rgb(255, 255, 255));
    // Axis stubs after the faces: c on the centre pixel, a to the right, b upwards.
    EXPECT_EQ(pixel(*panel, 100, 100), rgb(0, 0, 255));
    // (Rounding in the face centres may put these one pixel off the axis line.)
    EXPECT_TRUE(colourNear(*panel, 175, 100, rgb(255, 0, 0), 1));
    EXPECT_TRUE(colourNear(*panel, 100, 20, rgb(0, 255, 0), 1));
    // Without axes the centre shows the face.
    panel->SetShowCrystalAxes(false);
    EXPECT_EQ(pixel(*panel, 100, 100), toRgb(shade));
    EXPECT_FALSE(colourNear(*panel, 175, 100, rgb(255, 0, 0), 1));
}

TEST(CellDrawing, BackAxesAreCoveredByTheFrontFaces) {
    auto cs = cubic();
    // Turned half round about x: the c stub points away and lies behind the -c face.
    auto panel = cellView(cs.get(), TVec3D{0, kPi, 0});
    EXPECT_NE(pixel(*panel, 100, 100), rgb(0, 0, 255));
    EXPECT_LT(viewtest::probe(panel).Cell().axes[2].viewW.z, 0.0);
}

TEST(CellDrawing, PrismOnlyForHexagonalGammaOneTwenty) {
    auto hex = makeCrySet(3.2f, 3.2f, 5.2f, 90, 90, 120, 9);
    auto panel = cellView(hex.get(), TVec3D{0, 0, 0});
    EXPECT_TRUE(viewtest::probe(panel).HexCell());
    EXPECT_EQ(viewtest::probe(panel).Cell().vertexCount, 12);
    EXPECT_EQ(viewtest::probe(panel).Cell().faceCount, 8);
    EXPECT_EQ(viewtest::probe(panel).Cell().axisCount, 4);
    // The top hexagon faces the viewer with the c stub in its centre.
    EXPECT_EQ(pixel(*panel, 100, 100), rgb(0, 0, 255));
    EXPECT_EQ(pixel(*panel, 100, 110), toRgb(viewtest::probe(panel).ShadeFace(TVec3D{0, 0, 1})));

    panel->SetShowHexUnitCell(false);
    EXPECT_FALSE(viewtest::probe(panel).HexCell());  // re-decided at once
    EXPECT_EQ(viewtest::probe(panel).Cell().vertexCount, 8);
    EXPECT_EQ(viewtest::probe(panel).Cell().axisCount, 3);
    panel->SetShowHexUnitCell(true);
    EXPECT_TRUE(viewtest::probe(panel).HexCell());

    auto nearly = makeCrySet(3.2f, 3.2f, 5.2f, 90, 90, 119.98f, 9);
    panel->SetCrystalSet(nearly.get(), false);
    EXPECT_FALSE(viewtest::probe(panel).HexCell());
    EXPECT_EQ(viewtest::probe(panel).Cell().vertexCount, 8);

    auto rhombohedral = makeCrySet(5, 5, 5, 60, 60, 60, 7);
    panel->SetCrystalSet(rhombohedral.get(), false);
    EXPECT_FALSE(viewtest::probe(panel).HexCell());
    auto cubicSet = cubic();
    panel->SetCrystalSet(cubicSet.get(), false);
    EXPECT_FALSE(viewtest::probe(panel).HexCell());
}

TEST(CellDrawing, NothingWithoutAUsableCrystalSet) {
    auto cs = cubic();
    cs->LaueGroup = 0;
    auto panel = cellView(cs.get(), TVec3D{0.2, 0.3, 0.4});
    EXPECT_EQ(countColour(*panel, rgb(255, 255, 255)), 200 * 200);
    EXPECT_TRUE(viewtest::probe(panel).GeometryStale() && viewtest::probe(panel).MatrixStale());
}

TEST(CellDrawing, WireFrameWithAndWithoutHiddenLines) {
    auto cs = makeCrySet(3, 4, 5, 90, 90, 90, 3);
    auto panel = cellView(cs.get(), TVec3D{0.4, 0.9, 0.3}, 240);
    panel->SetShowCrystalAxes(false);
    panel->SetShowAsWireFrame(true);
    const ebsp::UnitCell& cell = viewtest::probe(panel).Cell();
    const double c = 120.0, R = 120.0;
    auto at = [&](int vertex) {
        // The drawn corners are truncated toward zero.
        const TVec3D& v = cell.viewVertices[vertex];
        return QPointF(int(c + R * v.x), int(c - R * v.y));
    };
    // Edges of front faces and edges shared only by back faces.
    std::vector<std::pair<int, int>> front, back;
    auto edgeOf = [](const ebsp::CellFace& f, int j) {
        const int a = f.vertices[j], b = f.vertices[(j + 1) % f.vertexCount];
        return std::make_pair(std::min(a, b), std::max(a, b));
    };
    for (int f = 0; f < cell.faceCount; ++f)
        if (cell.faces[f].viewNormal.z >= 0)
            for (int j = 0; j < 4; ++j)
                front.push_back(edgeOf(cell.faces[f], j));
    for (int f = 0; f < cell.faceCount; ++f)
        if (cell.faces[f].viewNormal.z < 0)
            for (int j = 0; j < 4; ++j) {
                auto e = edgeOf(cell.faces[f], j);
                if (std::find(front.begin(), front.end(), e) == front.end() &&
                    std::find(back.begin(), back.end(), e) == back.end())
                    back.push_back(e);
            }
    ASSERT_EQ(back.size(), 3u);  // the three edges at the hidden corner

    auto blackNearBackEdges = [&](int& samples) {
        int black = 0;
        samples = 0;
        for (auto [a, b] : back)
            for (double t = 0.15; t <= 0.85; t += 0.01) {
                const QPointF p = at(a) + t * (at(b) - at(a));
                bool nearFront = false;
                for (auto [fa, fb] : front)
                    nearFront |= distanceToSegment(p.x(), p.y(), at(fa), at(fb)) < 4.0;
                if (nearFront) continue;
                ++samples;
                black += pixel(*panel, int(p.x()), int(p.y())) == rgb(0, 0, 0);
            }
        return black;
    };
    int samples = 0;
    EXPECT_EQ(blackNearBackEdges(samples), 0);  // hidden lines off
    ASSERT_GT(samples, 60);
    // Front edges are drawn solid: every sample has the line within one pixel.
    for (auto [a, b] : front)
        for (double t = 0.1; t <= 0.9; t += 0.1) {
            const QPointF p = at(a) + t * (at(b) - at(a));
            EXPECT_TRUE(colourNear(*panel, int(p.x()), int(p.y()), rgb(0, 0, 0), 1));
        }
    // No shaded faces in wire frame.
    EXPECT_EQ(countColour(*panel, toRgb(cell.faces[0].colour)), 0);

    panel->SetShowHiddenLines(true);
    const int dotted = blackNearBackEdges(samples);
    EXPECT_GT(dotted, samples / 8);      // present ...
    EXPECT_LT(dotted, samples * 3 / 4);  // ... and dotted, not solid

    // Hidden lines belong to the wire frame only.
    panel->SetShowAsWireFrame(false);
    EXPECT_EQ(blackNearBackEdges(samples), 0);
}
