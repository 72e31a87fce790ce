// The simulated band image against the library's own projection, and the image helpers.
#include <gtest/gtest.h>

#include <cmath>

#include "detector_geometry.h"
#include "fit_image.h"
#include "pattern_render.h"
#include "phase_catalogue.h"
#include "synthetic_pattern.h"

namespace ebsp::fit {
namespace {

TDetector detector640() {
    TDetector d{};
    d.Width = 640;
    d.Height = 480;
    d.Binning = 1;
    d.PixelSize = 50.0;
    d.SampleTilt = 70.0;
    d.Tilt = 4.0;
    d.Azimuthal = 1.5;
    d.Twist = -2.0;
    d.PCx = 0.48;
    d.PCy = 0.33;
    d.PCz = 0.64;
    return d;
}

double smoothstepProfile(double dot, double s, double soft) {
    double t = (s + soft - std::fabs(dot)) / (2.0 * soft);
    t = std::clamp(t, 0.0, 1.0);
    return t * t * (3.0 - 2.0 * t);
}

// Every pixel against a brute-force sum over bands, with the pixel direction from the library's
// DetectorDirection (a separate path from the renderer's row quadratics).
TEST(FitRender, MatchesPerPixelBruteForce) {
    PhaseModel model;
    std::string error;
    ASSERT_TRUE(buildPhaseModel(findPhase("Titanium"), 15.0, 40, model, error)) << error;
    TDetector d = detector640();
    d.Width = 160;
    d.Height = 120;
    const TMat3D g = testing::eulerDeg(100.0, 35.0, 250.0);
    RenderOptions options;
    options.edgeSoftnessPx = 1.3;
    options.background = 0.25f;
    GreyImage image;
    ASSERT_TRUE(renderPattern(d, g, model.bands, image, options));
    ASSERT_EQ(image.width, 160);
    ASSERT_EQ(image.height, 120);
    const double soft = options.edgeSoftnessPx / (d.PCz * d.Height);
    double worst = 0.0;
    for (int y = 0; y < d.Height; ++y)
        for (int x = 0; x < d.Width; ++x) {
            TVec3D r;
            ASSERT_EQ(DetectorDirection(&d, &g, x + 0.5, y + 0.5, &r), 0);
            double expected = options.background;
            for (const SimBand& b : model.bands)
                expected +=
                    b.weight * smoothstepProfile(Dot(&r, &b.normal), std::sin(b.halfWidth), soft);
            worst = std::max(worst, std::fabs(expected - image.at(x, y)));
        }
    EXPECT_LT(worst, 1e-4);
}

// One band alone: pixels on its centre line (DetectorBandLine) carry the full weight, points on
// its edges (DetectorProjection's hyperbolae) half of it.
TEST(FitRender, SingleBandCentreAndEdgesAgreeWithTheProjection) {
    const TDetector d = detector640();
    const TMat3D g = testing::eulerDeg(20.0, 40.0, 60.0);
    for (const TVec3D& n : {TVec3D{1, 1, 1}, TVec3D{0, 0, 1}, TVec3D{1, -2, 0.5}}) {
        SimBand band;
        band.normal = n;
        UnityVector(&band.normal);
        band.halfWidth = 0.03;
        band.weight = 0.8f;
        GreyImage image;
        ASSERT_TRUE(renderPattern(d, g, {band}, image));
        double line[3];
        if (DetectorBandLine(&d, &g, &band.normal, line) != 0) continue;
        int checked = 0;
        for (int x = 0; x < d.Width; x += 7) {
            if (std::fabs(line[1]) < 0.3) break;
            const double y = -(line[0] * (x + 0.5) + line[2]) / line[1];
            const int row = static_cast<int>(std::lround(y - 0.5));
            if (row < 0 || row >= d.Height) continue;
            EXPECT_NEAR(image.at(x, row), 0.8f, 1e-5);
            ++checked;
        }
        const DetectorProjection projection(d, g);
        const DetectorBandShape shape = projection.band({band.normal, band.halfWidth, 0});
        for (const auto& edgeSet : shape.edges)
            for (const DetectorPolyline& piece : edgeSet)
                for (const DetectorPoint& p : piece) {
                    // Only interior points with a pixel centre near enough to the edge.
                    const int col = static_cast<int>(p.x), row = static_cast<int>(p.y);
                    if (col < 1 || row < 1 || col >= d.Width - 1 || row >= d.Height - 1) continue;
                    TVec3D r;
                    DetectorDirection(&d, &g, col + 0.5, row + 0.5, &r);
                    const double expected =
                        0.8 * smoothstepProfile(Dot(&r, &band.normal), std::sin(0.03),
                                                0.7 / (d.PCz * d.Height));
                    EXPECT_NEAR(image.at(col, row), expected, 1e-5);
                    ++checked;
                }
        EXPECT_GT(checked, 10);
    }
}

TEST(FitRender, BinnedDetectorKeepsThePatternCentreAndDirections) {
    const TDetector d = detector640();
    const TMat3D g = testing::eulerDeg(10.0, 20.0, 30.0);
    for (int factor : {2, 3, 7, 8}) {
        const TDetector b = binDetector(d, factor);
        EXPECT_EQ(b.Width, 640 / factor);
        EXPECT_EQ(b.Binning, factor);
        const TVec3D dir{0.1, -0.2, 1.0};
        double x = 0, y = 0, bx = 0, by = 0;
        ASSERT_GE(DetectorProject(&d, &g, &dir, &x, &y), 0);
        ASSERT_GE(DetectorProject(&b, &g, &dir, &bx, &by), 0);
        EXPECT_NEAR(bx * factor, x, 1e-9);
        EXPECT_NEAR(by * factor, y, 1e-9);
    }
}

// A record with its own Laue group (as a structure file may give one below its space group's
// class) builds the crystal set of that group and the same bands as the built-in phase.
TEST(FitRender, PhaseRecordsBuildWithTheirOwnLaueGroup) {
    PhaseModel builtIn, lowered;
    std::string error;
    ASSERT_TRUE(buildPhaseModel(findPhase("Aluminium"), 20.0, 65, builtIn, error)) << error;
    TPhaseRecord phase;
    BuildPhase(findPhase("Aluminium"), phase);
    ASSERT_TRUE(buildPhaseModel(phase, 10, 20.0, 65, lowered, error)) << error;
    EXPECT_EQ(builtIn.crySet.SymOpCount, 24);
    EXPECT_EQ(lowered.crySet.SymOpCount, 12);  // m-3
    EXPECT_EQ(lowered.crySet.SpaceGroup, 250);
    EXPECT_EQ(lowered.index, 0u);
    EXPECT_EQ(lowered.name, builtIn.name);
    ASSERT_EQ(lowered.bands.size(), builtIn.bands.size());
    for (std::size_t i = 0; i < builtIn.bands.size(); ++i) {
        EXPECT_EQ(lowered.bands[i].normal.x, builtIn.bands[i].normal.x);
        EXPECT_EQ(lowered.bands[i].normal.z, builtIn.bands[i].normal.z);
        EXPECT_EQ(lowered.bands[i].halfWidth, builtIn.bands[i].halfWidth);
    }
    for (std::int32_t bad : {0, 12, -1})
        EXPECT_FALSE(buildPhaseModel(phase, bad, 20.0, 65, lowered, error)) << bad;
}

TEST(FitRender, RefusesInvalidDetectors) {
    TDetector d = detector640();
    d.PCz = -1.0;
    GreyImage image(3, 3);
    EXPECT_FALSE(renderPattern(d, testing::eulerDeg(0, 0, 0), {}, image));
    EXPECT_TRUE(image.empty());
    EXPECT_EQ(findPhase("aluminium"), findPhase("Aluminium"));
    EXPECT_EQ(findPhase("2"), findPhase("Aluminium"));
    for (const char* bad : {"", "0", "20", "0002", "Alumin", "1x"})
        EXPECT_EQ(findPhase(bad), 0u) << bad;
}

TEST(FitImage, CorrelationBackgroundAndBinning) {
    GreyImage a(40, 30), b(40, 30);
    for (int y = 0; y < 30; ++y)
        for (int x = 0; x < 40; ++x) {
            a.at(x, y) = static_cast<float>(std::sin(0.7 * x) * std::cos(0.4 * y));
            b.at(x, y) = 3.0f * a.at(x, y) + 5.0f;
        }
    EXPECT_NEAR(normalisedCrossCorrelation(a, b), 1.0, 1e-6);
    GreyImage negated = a;
    for (float& v : negated.pixels)
        v = -v;
    EXPECT_NEAR(normalisedCrossCorrelation(a, negated), -1.0, 1e-6);
    EXPECT_EQ(normalisedCrossCorrelation(a, GreyImage(40, 30, 2.0f)), 0.0);
    EXPECT_EQ(normalisedCrossCorrelation(a, GreyImage(41, 30)), 0.0);

    // A smooth multiplicative background is divided away: the corrected images agree closely.
    GreyImage lit = a;
    for (int y = 0; y < 30; ++y)
        for (int x = 0; x < 40; ++x)
            lit.at(x, y) = (2.0f + a.at(x, y) * 0.3f) * (1.0f + 0.02f * x + 0.01f * y);
    GreyImage plain = a;
    for (float& v : plain.pixels)
        v = 2.0f + v * 0.3f;
    const GreyImage c1 = correctBackground(lit, BackgroundMode::Divide, 0.125);
    const GreyImage c2 = correctBackground(plain, BackgroundMode::Divide, 0.125);
    GreyImage raw1 = lit, raw2 = plain;
    standardise(raw1);
    standardise(raw2);
    EXPECT_GT(normalisedCrossCorrelation(c1, c2), 0.97);
    EXPECT_LT(normalisedCrossCorrelation(raw1, raw2), 0.8);
    double mean = 0.0, var = 0.0;
    for (float v : c1.pixels)
        mean += v;
    for (float v : c1.pixels)
        var += v * v;
    EXPECT_NEAR(mean / c1.pixels.size(), 0.0, 1e-5);
    EXPECT_NEAR(var / c1.pixels.size(), 1.0, 1e-4);

    // Blur keeps constants (edges normalised) and the masked-out pixels carry no weight.
    GreyImage flat(17, 9, 4.0f);
    PixelMask mask(flat.pixels.size(), 1);
    flat.pixels[5] = 1000.0f;
    mask[5] = 0;
    for (float v : blurImage(flat, 3.0, &mask).pixels)
        EXPECT_NEAR(v, 4.0f, 1e-4);
    GreyImage constant(23, 11, 4.0f);
    subtractSmooth(constant, 5.0);
    for (float v : constant.pixels)
        EXPECT_NEAR(v, 0.0f, 1e-5);

    // Binning: block means, remainder cropped; masks need the whole block inside.
    const GreyImage binned = binImage(a, 3);
    ASSERT_EQ(binned.width, 13);
    ASSERT_EQ(binned.height, 10);
    double sum = 0.0;
    for (int y = 3; y < 6; ++y)
        for (int x = 6; x < 9; ++x)
            sum += a.at(x, y);
    EXPECT_NEAR(binned.at(2, 1), sum / 9.0, 1e-6);
    PixelMask full(40 * 30, 1);
    full[4 * 40 + 7] = 0;
    const PixelMask bm = binMask(full, 40, 30, 3);
    EXPECT_EQ(bm[1 * 13 + 2], 0);
    EXPECT_EQ(bm[0], 1);
}

}  // namespace
}  // namespace ebsp::fit

namespace ebsp::fit {
namespace {

// A surface of degree 4 is its own least-squares fit, masked pixels or not; a sixth-degree
// term is not.
TEST(FitImage, PolynomialBackgroundReproducesQuarticSurfaces) {
    GreyImage image(90, 70);
    auto surface = [](double x, double y) {
        const double u = 2.0 * x / 90 - 1.0, v = 2.0 * y / 70 - 1.0;
        return 5.0 + u - 2.0 * v + 0.5 * u * v - u * u * v * v + 0.25 * u * u * u * u;
    };
    for (int y = 0; y < 70; ++y)
        for (int x = 0; x < 90; ++x)
            image.at(x, y) = static_cast<float>(surface(x + 0.5, y + 0.5));
    PixelMask mask(image.pixels.size(), 1);
    for (int i = 0; i < 900; ++i) {
        mask[i] = 0;
        image.pixels[i] = 1e4f;  // masked out: must not pull the fit
    }
    const GreyImage fit = polynomialBackground(image, &mask);
    for (int y = 11; y < 70; y += 5)
        for (int x = 0; x < 90; x += 7)
            EXPECT_NEAR(fit.at(x, y), surface(x + 0.5, y + 0.5), 1e-3);
    GreyImage sixth = image;
    for (int y = 0; y < 70; ++y)
        for (int x = 0; x < 90; ++x)
            sixth.at(x, y) = static_cast<float>(std::pow(2.0 * x / 90 - 1.0, 6));
    const GreyImage rough = polynomialBackground(sixth);
    EXPECT_GT(std::fabs(rough.at(0, 35) - sixth.at(0, 35)), 0.05);
}

}  // namespace
}  // namespace ebsp::fit
