// The designer preview: the sample crystal set, its reflector list against an independent
// symmetry expansion, the drawing of cell and bands, ReflectorCount in the designer, and
// the run-time control that shows nothing of it.
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <vector>

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include "CrystalEBSPpanel.h"
#include "panel_probe.h"

namespace {

using TCreation = TCrystalEBSPpanel::TCreation;

struct Family {
    int h, k, l;
    double spacing, intensity;
};
const Family kFamilies[] = {
    {0, 0, 2, 2.3645, 100.0}, {0, 1, 1, 2.2501, 67.7},  {1, 1, 0, 1.477, 36.5},
    {1, 0, 0, 2.55824, 29.1}, {1, 1, 2, 1.25269, 24.5}, {0, 1, 3, 1.34202, 21.8},
    {0, 0, 4, 1.18225, 21.1}, {0, 2, 1, 1.23475, 17.7}, {1, 0, 2, 1.73641, 13.2},
    {1, 1, 4, 0.92298, 10.5}, {0, 2, 3, 0.99325, 9.8},
};

struct V {
    double x, y, z;
};

// 6/mmm in Cartesian axes with c along z, written out: turns of 60 degrees about z, each
// also followed by the two-fold about x, and all of them with the inversion.
std::vector<std::function<V(V)>> hexagonalOperators() {
    std::vector<std::function<V(V)>> ops;
    for (int turn = 0; turn < 6; ++turn)
        for (int flip = 0; flip < 2; ++flip)
            for (int sign : {1, -1}) {
                const double a = turn * M_PI / 3.0;
                ops.push_back([=](V v) {
                    if (flip) v = {v.x, -v.y, -v.z};
                    const V r{std::cos(a) * v.x - std::sin(a) * v.y,
                              std::sin(a) * v.x + std::cos(a) * v.y, v.z};
                    return V{sign * r.x, sign * r.y, sign * r.z};
                });
            }
    return ops;
}

// The distinct axes (a direction and its opposite once) equivalent to (h, k, l).
std::vector<V> equivalentAxes(const Family& f) {
    const double n = std::sqrt(double(f.h * f.h + f.k * f.k + f.l * f.l));
    const V d{f.h / n, f.k / n, f.l / n};
    std::vector<V> axes;
    for (const auto& op : hexagonalOperators()) {
        const V v = op(d);
        bool known = false;
        for (const V& a : axes)
            if (std::abs(std::abs(a.x * v.x + a.y * v.y + a.z * v.z) - 1.0) < 1e-9) known = true;
        if (!known) axes.push_back(v);
    }
    return axes;
}

// An entry can stem from an axis when each index lies within rounding of the axis (either
// sense) scaled by the family's length.
bool fromAxis(const ebsp::Reflector& r, const V& a, double length) {
    for (int sign : {1, -1}) {
        const double slack = 0.5 + 1e-6;
        if (std::abs(r.h - sign * a.x * length) <= slack &&
            std::abs(r.k - sign * a.y * length) <= slack &&
            std::abs(r.l - sign * a.z * length) <= slack)
            return true;
    }
    return false;
}

// Whether every entry can be paired with a different axis (augmenting paths).
bool perfectMatching(const std::vector<std::vector<bool>>& fits) {
    const size_t n = fits.size();
    std::vector<int> owner(n, -1);
    std::function<bool(size_t, std::vector<bool>&)> place = [&](size_t e, std::vector<bool>& seen) {
        for (size_t a = 0; a < n; ++a) {
            if (!fits[e][a] || seen[a]) continue;
            seen[a] = true;
            if (owner[a] < 0 || place(size_t(owner[a]), seen)) {
                owner[a] = int(e);
                return true;
            }
        }
        return false;
    };
    for (size_t e = 0; e < n; ++e) {
        std::vector<bool> seen(n, false);
        if (!place(e, seen)) return false;
    }
    return true;
}

QRgb rgbOf(ebsp::Rgb c) {
    return qRgb(c.r, c.g, c.b) & 0xFFFFFFu;
}

int countColour(const QImage& image, QRgb colour) {
    int count = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if ((image.pixel(x, y) & 0xFFFFFFu) == (colour & 0xFFFFFFu)) ++count;
    return count;
}

int countFaceColours(const TCrystalEBSPpanel& panel) {
    int count = 0;
    for (int i = 0; i < viewtest::probe(panel).Cell().faceCount; ++i)
        count += countColour(panel.Image(), rgbOf(viewtest::probe(panel).Cell().faces[i].colour));
    return count;
}

}  // namespace

TEST(DesignerPreview, SampleCrystalSetOrientationAndCell) {
    TCrystalEBSPpanel panel(nullptr, TCreation::Designer);
    EXPECT_TRUE(viewtest::probe(panel).DesignerMode());
    const TCrySet* cs = viewtest::probe(panel).CrystalSet();
    ASSERT_NE(cs, nullptr);
    EXPECT_STREQ(cs->Name, "Hexagonal");
    EXPECT_GT(std::strlen(cs->Reference), 0u);
    EXPECT_EQ(cs->LaueGroup, 9);
    EXPECT_EQ(cs->SpaceGroup, 0);
    EXPECT_EQ(cs->A, 2.954f);
    EXPECT_EQ(cs->B, 2.954f);
    EXPECT_EQ(cs->C, 4.729f);
    EXPECT_EQ(cs->Gamma, 120.0f);
    EXPECT_EQ(cs->SymOpCount % 12, 0);  // 6/mmm: twelve rotations, with or without -1
    // The angles as they stand, in radians.
    EXPECT_EQ(viewtest::probe(panel).EulerAngles().x, 23.0);
    EXPECT_EQ(viewtest::probe(panel).EulerAngles().y, 47.0);
    EXPECT_EQ(viewtest::probe(panel).EulerAngles().z, 39.0);
    EXPECT_DOUBLE_EQ(panel.Euler2deg(), 47.0 * 180.0 / M_PI);
    // The hexagonal prism, built and projected.
    EXPECT_TRUE(viewtest::probe(panel).HexCell());
    EXPECT_FALSE(viewtest::probe(panel).GeometryStale() ||
                 viewtest::probe(panel).ProjectionStale() || viewtest::probe(panel).MatrixStale());
    EXPECT_EQ(viewtest::probe(panel).Cell().vertexCount, 12);
    EXPECT_EQ(viewtest::probe(panel).Cell().faceCount, 8);
    // Bands built at once, not left for the first paint.
    EXPECT_FALSE(viewtest::probe(panel).NormalsStale() || viewtest::probe(panel).BraggStale() ||
                 viewtest::probe(panel).GreyStale() || viewtest::probe(panel).BandsStale());
    // Property values stay the creation values: the designer shows and records those.
    EXPECT_FALSE(panel.ShowEBSP());
    EXPECT_EQ(panel.KikuchiBandGreyMin(), 200);
    EXPECT_EQ(panel.kV(), 20.0);
}

TEST(DesignerPreview, ReflectorListIsTheSymmetryExpansionOfTheFamilies) {
    TCrystalEBSPpanel panel(nullptr, TCreation::Designer);
    const TCrySet* cs = viewtest::probe(panel).CrystalSet();
    ASSERT_NE(cs, nullptr);
    // The written-out operators assume c along z.
    ASSERT_NEAR(cs->Direct.col[2].x, 0.0, 1e-6);
    ASSERT_NEAR(cs->Direct.col[2].y, 0.0, 1e-6);

    int index = 0;
    for (const Family& f : kFamilies) {
        const std::vector<V> axes = equivalentAxes(f);
        const double length = std::sqrt(double(f.h * f.h + f.k * f.k + f.l * f.l));
        ASSERT_LE(index + int(axes.size()), panel.ReflectorCount());
        // The identity comes first, so each family starts with its own indices.
        const ebsp::Reflector& first = viewtest::probe(panel).ReflectorRecord(index);
        EXPECT_EQ(first.h, f.h);
        EXPECT_EQ(first.k, f.k);
        EXPECT_EQ(first.l, f.l);
        std::vector<std::vector<bool>> fits;
        for (size_t i = 0; i < axes.size(); ++i) {
            const ebsp::Reflector& r = viewtest::probe(panel).ReflectorRecord(index + int(i));
            EXPECT_EQ(r.d, f.spacing) << f.h << f.k << f.l << " entry " << i;
            EXPECT_EQ(r.intensity, f.intensity);
            std::vector<bool> row;
            for (const V& a : axes)
                row.push_back(fromAxis(r, a, length));
            fits.push_back(row);
        }
        EXPECT_TRUE(perfectMatching(fits)) << "family " << f.h << f.k << f.l;
        index += int(axes.size());
    }
    EXPECT_EQ(panel.ReflectorCount(), index);
}

TEST(DesignerPreview, DrawsCellAndBands) {
    TCrystalEBSPpanel panel(nullptr, TCreation::Designer);
    ASSERT_NE(viewtest::probe(panel).CrystalSet(), nullptr);
    panel.resize(260, 220);
    panel.SetFaceColour(QColor(40, 160, 220));  // faces apart from the band greys
    panel.Repaint();
    const QRgb strongest = rgbOf(viewtest::probe(panel).ReflectorRecord(0).colour);
    EXPECT_EQ(strongest, qRgb(30, 30, 30) & 0xFFFFFFu);  // grey at intensity 100
    EXPECT_GT(countFaceColours(panel), 500);
    EXPECT_EQ(countColour(panel.Image(), strongest), 0);  // the map is off as created

    panel.SetShowEBSP(true);
    EXPECT_GT(countColour(panel.Image(), strongest), 100);
    EXPECT_GT(countFaceColours(panel), 50);  // the cell still shows between the bands
    int visible = 0;
    for (int i = 0; i < panel.ReflectorCount(); ++i)
        visible += viewtest::probe(panel).ReflectorRecord(i).visible == ebsp::kBandVisible;
    EXPECT_GT(visible, panel.ReflectorCount() / 2);
    // A resize rebuilds the bands for the new size.
    panel.resize(120, 120);
    panel.Repaint();
    EXPECT_EQ(panel.Image().size(), QSize(120, 120));
    EXPECT_GT(countColour(panel.Image(), strongest), 20);
}

TEST(DesignerPreview, ReflectorCountWritesOnlyStoreTheNumber) {
    TCrystalEBSPpanel panel(nullptr, TCreation::Designer);
    ASSERT_NE(viewtest::probe(panel).CrystalSet(), nullptr);
    int asked = 0;
    panel.OnGetReflector = [&](QObject*, int, int8_t& h, int8_t& k, int8_t& l, double& d,
                               double& intensity) {
        ++asked;
        h = k = l = 1;
        d = 1.0;
        intensity = 1.0;
    };
    const int repaints = viewtest::probe(panel).RepaintCount();
    panel.SetReflectorCount(3);
    EXPECT_EQ(panel.ReflectorCount(), 3);
    panel.setProperty("ReflectorCount", 7);  // as Designer's property editor writes it
    EXPECT_EQ(panel.ReflectorCount(), 7);
    EXPECT_EQ(asked, 0);
    EXPECT_EQ(viewtest::probe(panel).RepaintCount(), repaints);
    EXPECT_FALSE(viewtest::probe(panel).NormalsStale() || viewtest::probe(panel).BandsStale());
    const ebsp::Reflector& first = viewtest::probe(panel).ReflectorRecord(0);
    EXPECT_EQ(first.l, 2);
    EXPECT_EQ(first.d, 2.3645);
    panel.SetReflectorCount(500);  // kept within the table
    EXPECT_EQ(panel.ReflectorCount(), 200);
    EXPECT_EQ(asked, 0);
}

TEST(DesignerPreview, RunTimeCreationShowsOnlyTheBackground) {
    TCrystalEBSPpanel explicitRunTime(nullptr, TCreation::RunTime);
    TCrystalEBSPpanel plain;
    for (TCrystalEBSPpanel* panel : {&explicitRunTime, &plain}) {
        EXPECT_FALSE(viewtest::probe(panel).DesignerMode());
        EXPECT_EQ(viewtest::probe(panel).CrystalSet(), nullptr);
        EXPECT_EQ(panel->ReflectorCount(), 0);
        panel->resize(90, 70);
        panel->SetShowEBSP(true);
        panel->SetReflectorCount(5);  // no crystal set: ignored
        EXPECT_EQ(panel->ReflectorCount(), 0);
        EXPECT_EQ(countColour(panel->Image(), qRgb(255, 255, 255)), 90 * 70);
    }
}

TEST(DesignerPreview, UnreadableSetupDataLeavesTheEmptyPanel) {
    QTemporaryDir config, system;
    ASSERT_TRUE(config.isValid() && system.isValid());
    QFile conf(QDir(config.path()).filePath("Orvane.conf"));
    ASSERT_TRUE(conf.open(QIODevice::WriteOnly));
    conf.write("[General]\nSystemDir=" + QFile::encodeName(system.path()) + "\n");
    conf.close();
    const QByteArray saved = qgetenv("XDG_CONFIG_DIRS");
    qputenv("XDG_CONFIG_DIRS", QFile::encodeName(config.path()));
    TCrystalEBSPpanel panel(nullptr, TCreation::Designer);
    qputenv("XDG_CONFIG_DIRS", saved);

    EXPECT_EQ(viewtest::probe(panel).CrystalSet(), nullptr);
    EXPECT_EQ(panel.ReflectorCount(), 0);
    panel.resize(80, 80);
    panel.SetShowEBSP(true);
    EXPECT_EQ(countColour(panel.Image(), qRgb(255, 255, 255)), 80 * 80);
}
