// The render command's detector view: its options, its pictures against the panel's own
// drawing and against band lines computed here, and the refused detectors.
#include <QFile>
#include <QImage>
#include <QListWidget>
#include <QPainter>
#include <QTemporaryDir>
#include <QTest>
#include <QXmlStreamReader>

#include <cmath>
#include <fstream>
#include <sstream>

#include <gtest/gtest.h>

#include "DetectorPanel.h"
#include "Unit1.h"
#include "detector_scene.h"
#include "detector_window.h"
#include "export_test_support.h"
#include "fake_platform_services.h"
#include "lattixDetector.h"
#include "phase_catalogue.h"
#include "render_args.h"
#include "render_command.h"
#include "view_setup.h"
#include "window_logic.h"

using namespace ebsp::render;

namespace {

struct RunResult {
    int status = -1;
    std::string out, err;
};

RunResult render(const std::vector<std::string>& args) {
    ebsp::RenderEnvironment env;
    env.stderrIsTerminal = 0;
    std::ostringstream out, err;
    RunResult run;
    run.status = ebsp::runRenderCommand(args, out, err, env);
    run.out = out.str();
    run.err = err.str();
    return run;
}

std::string path(const QTemporaryDir& dir, const char* name) {
    return dir.filePath(QString::fromLatin1(name)).toStdString();
}

TPhaseRecord phaseNamed(const char* name) {
    TPhaseRecord phase;
    for (std::uint32_t i = 1; i <= kPhaseCount; ++i) {
        BuildPhase(i, phase);
        if (phase.Name == name) return phase;
    }
    ADD_FAILURE() << "no phase " << name;
    return phase;
}

TCrySet crySetOf(const TPhaseRecord& p) {
    TCrySet crySet{};
    InitCrySet2(&crySet, "name", "ref", p.A, p.B, p.C, p.Alpha, p.Beta, p.Gamma,
                LaueIndexOfCode(p.SpaceGroupCode), static_cast<int32_t>(p.SpaceGroupCode));
    EXPECT_EQ(GetInitIoStatus(), 0) << "setup data not read";
    return crySet;
}

// The detector typed here field by field (not through the command's options).
TDetector detectorOf(int width, int height, int binning, double pixelUm, double sampleTilt,
                     double tilt, int convention, std::array<double, 3> pc) {
    TDetector d{};
    d.Width = width;
    d.Height = height;
    d.Binning = binning;
    d.PixelSize = pixelUm;
    d.SampleTilt = sampleTilt;
    d.Tilt = tilt;
    EXPECT_EQ(DetectorSetPatternCentre(&d, convention, pc.data()), 0);
    return d;
}

QImage readPng(const std::string& file) {
    return QImage(QString::fromStdString(file)).convertToFormat(QImage::Format_RGB32);
}

}  // namespace

TEST(RenderDetectorArgs, OptionsDefaultsAndRefusals) {
    const ParsedArgs plain =
        parseRenderArgs({"--phase", "1", "--out", "a.png", "--view", "detector"});
    ASSERT_TRUE(plain.ok) << plain.error;
    EXPECT_EQ(plain.options.view, ViewKind::Detector);
    const DetectorOptions& d0 = plain.options.detector;
    EXPECT_FALSE(d0.any || d0.patternGiven || d0.pcGiven || d0.binningGiven || d0.pixelSizeGiven);
    EXPECT_EQ(d0.convention, PcConvention::Bruker);
    EXPECT_EQ(d0.sampleTiltDeg, 70.0);
    EXPECT_EQ(d0.tiltDeg, 0.0);

    const ParsedArgs full = parseRenderArgs(
        {"--phase", "1", "--out", "a.png", "--view=detector", "--detector", "320x240", "--pc",
         "3.5, -12 ,15000", "--convention", "emsoft4", "--sample-tilt=65.5", "--tilt", "-10",
         "--binning", "4", "--pixel-size", "59.2"});
    ASSERT_TRUE(full.ok) << full.error;
    const DetectorOptions& d = full.options.detector;
    EXPECT_TRUE(d.patternGiven && d.pcGiven && d.binningGiven && d.pixelSizeGiven);
    EXPECT_EQ(d.pattern.width, 320);
    EXPECT_EQ(d.pattern.height, 240);
    EXPECT_EQ(d.pc, (std::array<double, 3>{3.5, -12, 15000}));
    EXPECT_EQ(d.convention, PcConvention::Emsoft4);
    EXPECT_EQ(d.sampleTiltDeg, 65.5);
    EXPECT_EQ(d.tiltDeg, -10.0);
    EXPECT_EQ(d.binning, 4);
    EXPECT_EQ(d.pixelSizeUm, 59.2);

    struct Name {
        const char* text;
        PcConvention convention;
    };
    for (const Name& n :
         {Name{"bruker", PcConvention::Bruker}, Name{"edax", PcConvention::Edax},
          Name{"width", PcConvention::Width}, Name{"emsoft4", PcConvention::Emsoft4},
          Name{"emsoft5", PcConvention::Emsoft5}}) {
        PcConvention c = PcConvention::Bruker;
        EXPECT_TRUE(parsePcConvention(n.text, c)) << n.text;
        EXPECT_EQ(c, n.convention) << n.text;
    }

    const std::vector<std::string> base = {"--phase", "1", "--out", "a.png", "--view", "detector"};
    struct Bad {
        std::vector<std::string> extra;
        const char* messagePart;
    };
    const Bad bad[] = {
        {{"--detector", "0x480"}, "--detector '0x480'"},
        {{"--detector", "100001x10"}, "--detector"},
        {{"--pc", "0.5,0.5"}, "--pc '0.5,0.5': expected three numbers"},
        {{"--pc", "0.5,0.5,inf"}, "--pc"},
        {{"--convention", "oxford", "--pc", "1,1,1"}, "--convention 'oxford'"},
        {{"--convention", "edax"}, "give --pc too"},
        {{"--sample-tilt", "181"}, "--sample-tilt '181'"},
        {{"--tilt", "ten"}, "--tilt 'ten'"},
        {{"--binning", "0"}, "--binning '0'"},
        {{"--binning", "65"}, "--binning '65'"},
        {{"--binning", "2.5"}, "--binning"},
        {{"--pixel-size", "0"}, "--pixel-size '0'"},
        {{"--pixel-size", "-50"}, "--pixel-size"},
        {{"--view", "map", "--pc", "0.5,0.5,0.6"}, "need --view detector"},
        {{"--view", "cell", "--tilt", "5"}, "need --view detector"},
        {{"--view", "pole"}, "expected map, cell or detector"},
    };
    for (const Bad& b : bad) {
        std::vector<std::string> args = base;
        args.insert(args.end(), b.extra.begin(), b.extra.end());
        const ParsedArgs parsed = parseRenderArgs(args);
        EXPECT_FALSE(parsed.ok) << b.messagePart;
        EXPECT_NE(parsed.error.find(b.messagePart), std::string::npos) << parsed.error;
    }
}

// The command's PNG is the panel's own drawing when the panel is set up here the way the
// main window sets its detector window up (the same detector typed field by field).
TEST(RenderDetector, PngEqualsThePanelsDrawing) {
    struct Case {
        std::vector<std::string> options;
        TDetector detector;
        QSize picture;
        ebsp::BandShape shape;
        int reflectors;
    };
    const Case cases[] = {
        {{"--pc", "0.45,0.35,0.7", "--tilt", "5"},
         detectorOf(640, 480, 1, 50, 70, 5, lxPcBruker, {0.45, 0.35, 0.7}),
         QSize(640, 480),
         ebsp::BandShape::Solid,
         100},
        {{"--detector", "200x160", "--binning", "4", "--pixel-size", "40", "--pc", "-20,40,9000",
          "--convention", "emsoft5", "--sample-tilt", "65", "--size", "300x300", "--style", "edge",
          "--reflectors", "60"},
         detectorOf(200, 160, 4, 40, 65, 0, lxPcEmsoft5, {-20, 40, 9000}),
         QSize(300, 300),
         ebsp::BandShape::Edges,
         60},
    };
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const TPhaseRecord phase = phaseNamed("Iron bcc");
    const TCrySet crySet = crySetOf(phase);
    for (const Case& c : cases) {
        std::vector<std::string> args = {"--phase", "Iron bcc", "--euler", "30,45,10",
                                         "--view",  "detector", "--out",   path(dir, "d.png")};
        args.insert(args.end(), c.options.begin(), c.options.end());
        const RunResult run = render(args);
        ASSERT_EQ(run.status, 0) << run.err;
        EXPECT_EQ(run.err, "");

        TDetectorPanel panel;
        panel.OnGetReflector = [&](int i, int8_t& h, int8_t& k, int8_t& l, double& d,
                                   double& intensity) {
            supplyPhaseReflector(phase, crySet, i, h, k, l, d, intensity);
        };
        panel.SetCrystalSet(&crySet);
        panel.SetReflectorCount(reflectorCut(phase, c.reflectors));
        panel.SetOrientation(
            {exporttest::radians(30), exporttest::radians(45), exporttest::radians(10)});
        panel.SetkV(20);
        panel.SetBandGreys(220, 80);
        ebsp::BandLook look;
        look.shape = c.shape;
        panel.SetBandLook(look);
        ASSERT_TRUE(panel.SetDetector(c.detector));
        QImage expected(c.picture, QImage::Format_RGB32);
        expected.fill(Qt::white);
        QPainter painter(&expected);
        panel.drawPicture(painter, c.picture);
        painter.end();

        const QImage written = readPng(path(dir, "d.png"));
        EXPECT_EQ(written.size(), c.picture);
        EXPECT_EQ(written, expected) << run.out;
    }
}

// The tool's detector picture is the main window's detector window in the same state.
TEST(RenderDetector, EqualsTheDetectorWindow) {
    QLocale::setDefault(QLocale::c());
    FakePlatformServices services;
    TForm1 form(&services);
    form.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&form));
    const QList<QListWidgetItem*> items =
        form.ListBox1->findItems(QStringLiteral("Iron bcc"), Qt::MatchExactly);
    ASSERT_EQ(items.size(), 1);
    form.ListBox1->setCurrentItem(items.front());
    const TVec3D euler{exporttest::radians(30), exporttest::radians(45), exporttest::radians(10)};
    form.CurrentOrientation = euler;
    form.CrystalEBSPpanel1->SetOrientation(euler);
    form.CrystalEBSPpanel2->SetOrientation(euler);
    form.MenuEdges1->trigger();
    form.MenuDetector1->trigger();
    ASSERT_NE(form.DetectorWindow1, nullptr);
    TDetectorPanel* panel = form.DetectorWindow1->Panel;
    // Width-based PC (0.45, 0.25, 0.5) on 400 x 300: Bruker (0.45, 2/3, 2/3).
    ASSERT_TRUE(
        panel->SetDetector(detectorOf(400, 300, 2, 70, 68, 4, lxPcWidth, {0.45, 0.25, 0.5})));
    const QImage window = panel->Image();
    ASSERT_FALSE(window.isNull());

    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const std::string out = path(dir, "window.png");
    const std::string size = std::to_string(window.width()) + "x" + std::to_string(window.height());
    const RunResult run = render({"--phase",      "Iron bcc", "--euler",       "30,45,10",
                                  "--style",      "edge",     "--view",        "detector",
                                  "--detector",   "400x300",  "--binning",     "2",
                                  "--pixel-size", "70",       "--sample-tilt", "68",
                                  "--tilt",       "4",        "--pc",          "0.45,0.25,0.5",
                                  "--convention", "width",    "--size",        size,
                                  "--out",        out});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(readPng(out), window);
}

// Pixels on the centre lines of the strongest bands, put there by the library's band line
// for a detector typed here in Bruker form, while the command had the same PC in EDAX form.
TEST(RenderDetector, StrongBandCentreLinesAreBandColoured) {
    const TPhaseRecord phase = phaseNamed("Iron bcc");
    ASSERT_TRUE(phase.A == phase.B && phase.B == phase.C && phase.Alpha == 90 && phase.Beta == 90 &&
                phase.Gamma == 90);
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    // Bruker (0.5, 0.3, 0.6) on 640 x 480 is EDAX (0.5, 0.7, 0.6): y* counts from the bottom.
    const RunResult run =
        render({"--phase", "Iron bcc", "--euler", "30,45,10", "--view", "detector", "--reflectors",
                "12", "--pc", "0.5,0.7,0.6", "--convention", "edax", "--out", path(dir, "fe.png")});
    ASSERT_EQ(run.status, 0) << run.err;
    const QImage image = readPng(path(dir, "fe.png"));
    ASSERT_EQ(image.size(), QSize(640, 480));
    const TDetector detector = detectorOf(640, 480, 1, 50, 70, 0, lxPcBruker, {0.5, 0.3, 0.6});

    // The {110} planes of bcc iron, its strongest reflections; with {200} and {211} they
    // meet in the zone axes the view marks.
    std::vector<std::array<int, 3>> planes, others;
    for (int h = -2; h <= 2; ++h)
        for (int k = -2; k <= 2; ++k)
            for (int l = -2; l <= 2; ++l) {
                const int n = h * h + k * k + l * l;
                if (n == 2 && std::abs(h) <= 1 && std::abs(k) <= 1 && std::abs(l) <= 1)
                    planes.push_back({h, k, l});
                else if (n == 4 || n == 6)
                    others.push_back({h, k, l});
            }
    auto bandShare = [&](double phi1Deg, int& sampled) {
        const TVec3D euler{exporttest::radians(phi1Deg), exporttest::radians(45),
                           exporttest::radians(10)};
        TMat3D g;
        Euler2Matrix(&euler, &g);
        auto linesOf = [&](const std::vector<std::array<int, 3>>& family) {
            std::vector<std::array<double, 3>> found;
            for (const auto& p : family) {
                const TVec3D normal{double(p[0]), double(p[1]), double(p[2])};
                std::array<double, 3> line{};
                if (DetectorBandLine(&detector, &g, &normal, line.data()) == 0)
                    found.push_back(line);
            }
            return found;
        };
        const std::vector<std::array<double, 3>> lines = linesOf(planes);
        std::vector<std::array<double, 3>> all = linesOf(others);
        all.insert(all.end(), lines.begin(), lines.end());
        // Where a {110} band meets another the view marks the zone axis and labels it: those
        // places and the pattern centre's mark are left out.
        std::vector<std::array<double, 2>> marks{{320.0, 144.0}};
        for (const auto& a : lines)
            for (const auto& b : all) {
                const double det = a[0] * b[1] - a[1] * b[0];
                if (std::fabs(det) > 1e-9)
                    marks.push_back(
                        {(a[1] * b[2] - b[1] * a[2]) / det, (b[0] * a[2] - a[0] * b[2]) / det});
            }
        int banded = 0;
        sampled = 0;
        for (const auto& line : lines) {
            // Walk the line a pixel at a time, away from the frame.
            const double along[2] = {-line[1], line[0]};
            const double foot[2] = {-line[0] * line[2], -line[1] * line[2]};
            for (double t = -1000; t <= 1000; t += 1.0) {
                const double x = foot[0] + t * along[0], y = foot[1] + t * along[1];
                if (x < 6 || y < 6 || x > 634 || y > 474) continue;
                bool nearMark = false;
                for (const auto& m : marks)
                    nearMark = nearMark || std::hypot(x - m[0], y - m[1]) < 40.0;
                if (nearMark) continue;
                const QRgb pixel = image.pixel(int(x), int(y));
                ++sampled;
                // Band greys run from 220 (weakest) to 80; the background is white.
                if (qRed(pixel) == qGreen(pixel) && qGreen(pixel) == qBlue(pixel) &&
                    qRed(pixel) < 230)
                    ++banded;
            }
        }
        return sampled > 0 ? double(banded) / sampled : 0.0;
    };
    int sampled = 0;
    EXPECT_GE(bandShare(30, sampled), 0.99) << sampled;
    EXPECT_GT(sampled, 1000);
    // The same lines for another orientation mostly miss: the check tells pictures apart.
    EXPECT_LT(bandShare(80, sampled), 0.5);
    int white = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            white += image.pixel(x, y) == qRgb(255, 255, 255);
    EXPECT_GT(white, image.width() * image.height() / 5);
}

// Each refused detector: exit 2, the message, no file.
TEST(RenderDetector, RefusedDetectorsExitTwo) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const std::string out = path(dir, "d.png");
    struct Case {
        std::vector<std::string> options;
        const char* messagePart;
    };
    const Case cases[] = {
        // Refused by the library: no valid pattern centre.
        {{"--pc", "0.5,0.5,-0.6"}, "the detector is refused"},
        {{"--pc", "0.5,0.5,0"}, "puts the screen behind the source"},
        {{"--pc", "0,0,0", "--convention", "emsoft5"}, "(emsoft5) puts the screen behind"},
        {{"--pc", "0.5,0.5,-1", "--convention", "width"}, "the detector is refused"},
        // Refused before drawing.
        {{"--detector", "9000x100"}, "exceed the largest picture (8000 a side): give --size"},
        {{"--detector", "12x0"}, "--detector '12x0'"},
        {{"--binning", "0"}, "--binning '0'"},
        {{"--pixel-size", "nan"}, "--pixel-size 'nan'"},
        {{"--sample-tilt", "-190"}, "--sample-tilt '-190'"},
        {{"--convention", "emsoft"}, "give --pc too"},
    };
    for (const Case& c : cases) {
        std::vector<std::string> args = {"--phase", "2", "--view", "detector", "--out", out};
        args.insert(args.end(), c.options.begin(), c.options.end());
        const RunResult run = render(args);
        EXPECT_EQ(run.status, 2) << c.messagePart;
        EXPECT_NE(run.err.find(c.messagePart), std::string::npos) << run.err;
        EXPECT_FALSE(QFile::exists(QString::fromStdString(out))) << c.messagePart;
    }
    // A detector too large for a picture is drawn fitted into the size asked for.
    const RunResult fitted = render({"--phase", "2", "--view", "detector", "--detector", "9000x100",
                                     "--size", "900x100", "--out", out});
    EXPECT_EQ(fitted.status, 0) << fitted.err;
    EXPECT_EQ(QImage(QString::fromStdString(out)).size(), QSize(900, 100));
}

// SVG pictures of a batch: each file parses and holds the bands as paths.
TEST(RenderDetector, SvgBatchParsesAndHoldsPaths) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    std::ofstream(path(dir, "list.txt")) << "0,0,0\n# two more\n30 45 10\n90,54.7,45\n";
    const RunResult run =
        render({"--phase", "Aluminium", "--view", "detector", "--detector", "320x240",
                "--euler-list", path(dir, "list.txt"), "--out", path(dir, "det_{n}.svg")});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_NE(run.out.find("rendered 3 of 3 pictures"), std::string::npos) << run.out;
    for (const char* name : {"det_1.svg", "det_3.svg", "det_4.svg"}) {
        QFile file(QString::fromStdString(path(dir, name)));
        ASSERT_TRUE(file.open(QIODevice::ReadOnly)) << name;
        QXmlStreamReader xml(&file);
        int paths = 0;
        QString viewBox;
        while (!xml.atEnd()) {
            if (xml.readNext() != QXmlStreamReader::StartElement) continue;
            if (xml.name() == QLatin1String("svg"))
                viewBox = xml.attributes().value(QLatin1String("viewBox")).toString();
            if (xml.name() == QLatin1String("path")) ++paths;
        }
        EXPECT_FALSE(xml.hasError()) << name << ": " << xml.errorString().toStdString();
        EXPECT_EQ(viewBox, QLatin1String("0 0 320 240")) << name;
        EXPECT_GE(paths, 10) << name;
    }
}
