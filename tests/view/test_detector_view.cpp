// The detector view's picture against the library's projection: the strongest family's
// centre lines in the band colour, the pattern centre's cross, the zone markers where
// DetectorProject puts their indices, and a drag that turns about the detector's axes.
#include <QImage>
#include <QPainter>

#include <cmath>
#include <string>

#include "DetectorPanel.h"
#include "detector_scene.h"
#include "view_test_support.h"

namespace {

using namespace viewtest;

const QRgb kStrongest = qRgb(80, 80, 80);  // grey of intensity 100 with greys 220 -> 80
const QRgb kCentreMark = qRgb(0, 160, 0);
const QRgb kZoneMark = qRgb(0, 0, 255);

// Nickel's low-index planes (one of each +- pair), strongest family first.
std::vector<Feed> nickelPlanes(const TCrySet& cs) {
    std::vector<Feed> list;
    const int families[4][3] = {{1, 1, 1}, {2, 0, 0}, {2, 2, 0}, {3, 1, 1}};
    const double intensity[4] = {100.0, 70.0, 50.0, 30.0};
    for (int f = 0; f < 4; ++f)
        for (int h = -3; h <= 3; ++h)
            for (int k = -3; k <= 3; ++k)
                for (int l = -3; l <= 3; ++l) {
                    int a[3] = {std::abs(h), std::abs(k), std::abs(l)};
                    std::sort(a, a + 3, std::greater<int>());
                    const int* want = families[f];
                    int w[3] = {want[0], want[1], want[2]};
                    std::sort(w, w + 3, std::greater<int>());
                    if (a[0] != w[0] || a[1] != w[1] || a[2] != w[2]) continue;
                    // one of each pair: first non-zero index positive
                    if (h < 0 || (h == 0 && (k < 0 || (k == 0 && l < 0)))) continue;
                    list.push_back({h, k, l, LatticeSpacing(&cs, h, k, l), intensity[f]});
                }
    return list;
}

TDetector exampleDetector() {
    TDetector d = ebsp::defaultDetector();                      // 640 x 480, sigma 70
    d.PCx = 288.5 / 640.0, d.PCy = 168.5 / 480.0, d.PCz = 0.6;  // on a pixel centre
    return d;
}

struct DetectorScene : ::testing::Test {
    std::unique_ptr<TCrySet> cs = makeCrySet(3.52f, 3.52f, 3.52f, 90, 90, 90, 11);
    std::vector<Feed> planes = nickelPlanes(*cs);
    TDetectorPanel panel;
    const TVec3D euler{0.4, 0.35, 0.9};
    void SetUp() override {
        panel.resize(640, 480);
        panel.OnGetReflector = [this](int i, int8_t& h, int8_t& k, int8_t& l, double& d,
                                      double& intensity) {
            const Feed& f = planes[size_t(i)];
            h = int8_t(f.h), k = int8_t(f.k), l = int8_t(f.l), d = f.d, intensity = f.intensity;
        };
        panel.SetDetector(exampleDetector());
        panel.SetCrystalSet(cs.get());
        panel.SetBandGreys(220, 80);
        panel.SetReflectorCount(int(planes.size()));
        panel.SetOrientation(euler);
    }
    QImage picture(QSize size, QImage::Format format = QImage::Format_RGB32) const {
        QImage image(size, format);
        QPainter painter(&image);
        panel.drawPicture(painter, size);
        return image;
    }
    TMat3D g() const {
        TMat3D m;
        Euler2Matrix(&euler, &m);
        return m;
    }
};

// Near a zone label, the pattern centre or the frame the picture shows something else.
bool covered(const std::vector<ebsp::DetectorZoneLabel>& zones, const TDetector& d, double x,
             double y) {
    for (const auto& z : zones)
        if (std::fabs(x - z.at.x) < 45 && std::fabs(y - z.at.y) < 32) return true;
    if (std::hypot(x - d.PCx * d.Width, y - d.PCy * d.Height) < 10) return true;
    return x < 2 || y < 2 || x > d.Width - 2 || y > d.Height - 2;
}

TEST_F(DetectorScene, StrongestFamilyCentreLinesAreInTheBandColour) {
    const TDetector d = exampleDetector();
    const TMat3D gm = g();
    // Straight into a 32-bit image, and through the painter's own fills and lines (24 bits).
    const struct {
        ebsp::BandShape shape;
        QImage::Format format;
    } variants[] = {{ebsp::BandShape::Solid, QImage::Format_RGB32},
                    {ebsp::BandShape::Centre, QImage::Format_RGB32},
                    {ebsp::BandShape::Solid, QImage::Format_RGB888},
                    {ebsp::BandShape::Centre, QImage::Format_RGB888}};
    for (const auto& variant : variants) {
        const ebsp::BandShape shape = variant.shape;
        ebsp::BandLook look;
        look.shape = shape;
        panel.SetBandLook(look);
        const QImage image = picture(QSize(640, 480), variant.format);
        const auto zones = panel.ZoneLabels(QSize(640, 480));
        int checked = 0, lines = 0;
        for (const Feed& f : planes) {
            if (f.intensity != 100.0) continue;
            const TVec3D hkl{double(f.h), double(f.k), double(f.l)};
            TVec3D n;
            MatMul3x1(&cs->Recip, &hkl, &n);
            double line[3];
            if (DetectorBandLine(&d, &gm, &n, line) != 0) continue;
            ++lines;
            // Walk the line a x + b y + c = 0 along its longer axis, one pixel at a time.
            const bool steep = std::fabs(line[1]) < std::fabs(line[0]);
            const int extent = steep ? d.Height : d.Width;
            for (int t = 0; t < extent; ++t) {
                const double along = t + 0.5;
                const double x = steep ? -(line[1] * along + line[2]) / line[0] : along;
                const double y = steep ? along : -(line[0] * along + line[2]) / line[1];
                if (x < 0 || y < 0 || x >= d.Width || y >= d.Height) continue;
                if (covered(zones, d, x, y)) continue;
                const int px = int(std::floor(x)), py = int(std::floor(y));
                if (shape == ebsp::BandShape::Solid) {
                    EXPECT_EQ(image.pixel(px, py) & 0xffffff, kStrongest & 0xffffff)
                        << "(" << f.h << f.k << f.l << ") at " << px << "," << py;
                } else {  // one-pixel line: on the pixel or its neighbour across the line
                    bool found = false;
                    for (int o = -1; o <= 1 && !found; ++o) {
                        const int qx = steep ? px + o : px, qy = steep ? py : py + o;
                        found = qx >= 0 && qy >= 0 && qx < d.Width && qy < d.Height &&
                                (image.pixel(qx, qy) & 0xffffff) == (kStrongest & 0xffffff);
                    }
                    EXPECT_TRUE(found) << "(" << f.h << f.k << f.l << ") at " << px << "," << py;
                }
                ++checked;
            }
        }
        EXPECT_GE(lines, 2);
        EXPECT_GT(checked, 400);
    }
}

TEST_F(DetectorScene, PatternCentreAndZoneMarkersSitWhereTheLibraryProjects) {
    const TMat3D gm = g();
    // At the detector's own size and fitted into larger pictures of other shapes.
    for (const QSize size : {QSize(640, 480), QSize(1000, 500), QSize(500, 900)}) {
        const QImage image = picture(size);
        if (qEnvironmentVariableIsSet("DETECTOR_TEST_PNG"))
            image.save(
                QStringLiteral("/tmp/dv/scene_%1x%2.png").arg(size.width()).arg(size.height()));
        const ebsp::DetectorFit fit = panel.Fit(size);
        ASSERT_TRUE(fit.valid);
        const TDetector d = exampleDetector();
        const double s = std::min(size.width() / 640.0, size.height() / 480.0);
        EXPECT_NEAR(fit.scale, s, 1e-12);
        const double pcX = fit.offsetX + d.PCx * d.Width * s,
                     pcY = fit.offsetY + d.PCy * d.Height * s;
        EXPECT_EQ(image.pixel(int(pcX), int(pcY)) & 0xffffff, kCentreMark & 0xffffff);

        const auto zones = panel.ZoneLabels(size);
        ASSERT_GE(zones.size(), 3u) << size.width();
        for (const auto& zone : zones) {
            // The label's own indices, read back by the library and projected by it.
            const std::string text = zone.text.toStdString();
            ASSERT_TRUE(text.size() > 2 && text.front() == '[' && text.back() == ']');
            TVec3D dir;
            Str2Vec(cs.get(), 1, text.substr(1, text.size() - 2).c_str(), &dir);
            double x = 0, y = 0;
            ASSERT_EQ(DetectorProject(&d, &gm, &dir, &x, &y), 0) << text;
            EXPECT_NEAR(zone.at.x, x * s, 1e-6) << text << " " << x << "," << y;
            EXPECT_NEAR(zone.at.y, y * s, 1e-6) << text;
            EXPECT_EQ(image.pixel(int(fit.offsetX + x * s), int(fit.offsetY + y * s)) & 0xffffff,
                      kZoneMark & 0xffffff)
                << text << " at " << x * s << "," << y * s;
        }
    }
}

TEST_F(DetectorScene, StrongestZonesOfNickelAreLowIndex) {
    // Where many {111}, {200}, {220} bands meet: the <110>, <100> and <111> zones lead.
    std::vector<ebsp::Reflector> table(planes.size());
    for (size_t i = 0; i < planes.size(); ++i) {
        table[i].h = int8_t(planes[i].h), table[i].k = int8_t(planes[i].k);
        table[i].l = int8_t(planes[i].l), table[i].intensity = planes[i].intensity;
    }
    const auto zones = ebsp::strongZones(table.data(), int(table.size()), *cs, 24, 60);
    // Summed by hand: <110> 380 (two {111}, one {200}, one {220}, two {311}), <100> 240,
    // <112> 210, <111> 150.
    auto type = [](const ebsp::ZoneAxisEntry& z) {
        int a[3] = {std::abs(z.u), std::abs(z.v), std::abs(z.w)};
        std::sort(a, a + 3);
        return a[0] * 100 + a[1] * 10 + a[2];
    };
    const struct {
        size_t first, count;
        int type;
        double weight;
    } ranks[] = {{0, 6, 11, 380.0}, {6, 3, 1, 240.0}, {9, 12, 112, 210.0}, {21, 4, 111, 150.0}};
    ASSERT_GE(zones.size(), 25u);
    for (const auto& rank : ranks)
        for (size_t i = rank.first; i < rank.first + rank.count; ++i) {
            EXPECT_EQ(type(zones[i]), rank.type) << i;
            EXPECT_DOUBLE_EQ(zones[i].weight, rank.weight) << i;
        }
}

TEST(DetectorZoneText, ThreeAndFourIndexForms) {
    struct Case {
        int u, v, w;
        bool hex, negate;
        const char* text;
    } cases[] = {
        {1, 1, 0, false, false, "[110]"},   {1, -1, 2, false, true, "[-11-2]"},
        {1, 0, 0, true, false, "[2-1-10]"}, {0, 0, 1, true, false, "[0001]"},
        {1, 1, 0, true, false, "[11-20]"},  {0, 1, 0, true, true, "[1-210]"},
        {1, 0, 1, true, false, "[2-1-13]"}, {12, 0, 1, false, false, "[.1201]"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ebsp::zoneAxisText(c.u, c.v, c.w, c.hex, c.negate), c.text)
            << c.u << c.v << c.w << c.hex;
}

TEST_F(DetectorScene, DragTurnsAboutTheDetectorAxesAndTheGrabbedPointFollows) {
    const TDetector d = exampleDetector();
    TMat3D msg;
    ASSERT_EQ(DetectorSampleMatrix(&d, &msg), 0);
    // Rows of M_SG are the detector's axes in sample coordinates.
    const TVec3D xG{msg.col[0].x, msg.col[1].x, msg.col[2].x};
    const TVec3D yG{msg.col[0].y, msg.col[1].y, msg.col[2].y};
    struct Drag {
        QPoint from, to;
        const TVec3D* axis;  // the sample direction that keeps its crystal direction
    } drags[] = {
        {QPoint(200, int(d.PCy * d.Height)), QPoint(420, int(d.PCy * d.Height)), &yG},
        {QPoint(int(d.PCx * d.Width), 60), QPoint(int(d.PCx * d.Width), 400), &xG},
        {QPoint(100, 100), QPoint(500, 380), nullptr},
    };
    for (const Drag& drag : drags) {
        panel.SetOrientation(euler);
        const TMat3D before = g();
        TVec3D grabbed;
        ASSERT_EQ(
            DetectorDirection(&d, &before, drag.from.x() + 0.5, drag.from.y() + 0.5, &grabbed), 0);
        int rotates = 0;
        panel.OnRotate = [&](QObject*) { ++rotates; };
        press(&panel, drag.from);
        move(&panel, (drag.from + drag.to) / 2);
        move(&panel, drag.to);
        release(&panel, drag.to);
        EXPECT_EQ(rotates, 2);
        const TVec3D e = panel.EulerAngles();
        TMat3D after;
        Euler2Matrix(&e, &after);
        TVec3D seen;
        ASSERT_EQ(DetectorDirection(&d, &after, drag.to.x() + 0.5, drag.to.y() + 0.5, &seen), 0);
        EXPECT_NEAR(dot(seen, grabbed), 1.0, 1e-9);
        if (drag.axis != nullptr) {
            TVec3D a, b;
            MatMul3x1(&before, drag.axis, &a);
            MatMul3x1(&after, drag.axis, &b);
            EXPECT_NEAR(dot(a, b), 1.0, 1e-9);
        }
        // The view follows its owner again once the drag ended.
        panel.SetOrientation(euler);
        EXPECT_NEAR(panel.EulerAngles().x, euler.x, 0.0);
    }
}

TEST_F(DetectorScene, PointerReadsTheZoneUnderIt) {
    const auto zones = panel.ZoneLabels(QSize(640, 480));
    ASSERT_FALSE(zones.empty());
    QString zone, plane;
    panel.OnPointerRead = [&](QObject*, const QString& z, const QString& p) {
        zone = z, plane = p;
    };
    const QPoint at(int(zones[0].at.x), int(zones[0].at.y));
    move(&panel, at, Qt::NoButton);
    // The read-out may pick an equivalent zone text of the same direction.
    TVec3D a, b;
    Str2Vec(cs.get(), 1, zones[0].text.mid(1, zones[0].text.size() - 2).toLatin1().constData(), &a);
    ASSERT_FALSE(zone.isEmpty());
    Str2Vec(cs.get(), 1, zone.mid(1, zone.size() - 2).toLatin1().constData(), &b);
    EXPECT_GT(dot(unit(a), unit(b)), std::cos(3.0 * kPi / 180.0)) << zone.toStdString();
    EXPECT_FALSE(plane.isEmpty());
}

}  // namespace
