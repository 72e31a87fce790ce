// Fitting the detector into a picture, the band inputs and the strongest zone axes.
#include "detector_scene.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <numeric>

#include "pointer_pick.h"

namespace ebsp {
namespace {

int gcd3(int a, int b, int c) {
    return std::gcd(std::gcd(std::abs(a), std::abs(b)), std::abs(c));
}

}  // namespace

DetectorFit fitDetector(const TDetector& detector, int width, int height) {
    DetectorFit fit;
    double bruker[3];
    if (width < 1 || height < 1 || DetectorGetPatternCentre(&detector, lxPcBruker, bruker) != 0)
        return fit;
    const double nx = detector.Width, ny = detector.Height;
    fit.scale = std::min(width / nx, height / ny);
    TDetector& d = fit.display;
    d = detector;
    d.Width = std::clamp(int(std::lround(nx * fit.scale)), 1, width);
    d.Height = std::clamp(int(std::lround(ny * fit.scale)), 1, height);
    // Rounding the size must not move the projection: the PC and the distance stay where
    // the exact scale puts them.
    d.PCx = detector.PCx * nx * fit.scale / d.Width;
    d.PCy = detector.PCy * ny * fit.scale / d.Height;
    d.PCz = detector.PCz * ny * fit.scale / d.Height;
    fit.offsetX = (width - d.Width) / 2;
    fit.offsetY = (height - d.Height) / 2;
    fit.valid = DetectorGetPatternCentre(&d, lxPcBruker, bruker) == 0;
    return fit;
}

TDetector defaultDetector() {
    TDetector d{};
    d.Width = 640;
    d.Height = 480;
    d.Binning = 1;
    d.PixelSize = 50.0;
    d.SampleTilt = 70.0;
    d.Tilt = 0.0;
    d.Azimuthal = 0.0;
    d.Twist = 0.0;
    d.PCx = 0.5;
    d.PCy = 0.5;
    d.PCz = 0.6;
    return d;
}

std::vector<DetectorBandInput> detectorBandInputs(const Reflector* reflectors, int count) {
    std::vector<DetectorBandInput> inputs;
    inputs.reserve(size_t(std::max(count, 0)));
    for (int i = 0; i < count; ++i) {
        const Reflector& r = reflectors[i];
        const uint32_t rgb =
            uint32_t(r.colour.r) << 16 | uint32_t(r.colour.g) << 8 | uint32_t(r.colour.b);
        inputs.push_back(DetectorBandInput{r.normal, r.halfWidth, rgb});
    }
    return inputs;
}

std::vector<ZoneAxisEntry> strongZones(const Reflector* reflectors, int count,
                                       const TCrySet& crySet, int strongest, int maxZones) {
    std::vector<int> order(size_t(std::max(count, 0)));
    std::iota(order.begin(), order.end(), 0);
    std::stable_sort(order.begin(), order.end(), [&](int a, int b) {
        return reflectors[a].intensity > reflectors[b].intensity;
    });
    order.resize(std::min(order.size(), size_t(std::max(strongest, 0))));

    std::vector<ZoneAxisEntry> zones;
    for (size_t i = 0; i < order.size(); ++i)
        for (size_t j = i + 1; j < order.size(); ++j) {
            const Reflector& a = reflectors[order[i]];
            const Reflector& b = reflectors[order[j]];
            // Weiss zone law: the zone of two planes is the cross product of their indices.
            int u = a.k * b.l - a.l * b.k, v = a.l * b.h - a.h * b.l, w = a.h * b.k - a.k * b.h;
            const int g = gcd3(u, v, w);
            if (g == 0) continue;
            u /= g, v /= g, w /= g;
            if (u < 0 || (u == 0 && (v < 0 || (v == 0 && w < 0)))) u = -u, v = -v, w = -w;
            const bool known = std::any_of(zones.begin(), zones.end(), [&](const ZoneAxisEntry& z) {
                return z.u == u && z.v == v && z.w == w;
            });
            if (!known) zones.push_back(ZoneAxisEntry{u, v, w, 0.0, {}});
        }
    for (ZoneAxisEntry& z : zones) {
        for (int i = 0; i < count; ++i) {
            const Reflector& r = reflectors[i];
            if (r.h * z.u + r.k * z.v + r.l * z.w == 0 && r.intensity > 0.0)
                z.weight += r.intensity;
        }
        const TVec3D uvw{double(z.u), double(z.v), double(z.w)};
        MatMul3x1(&crySet.Direct, &uvw, &z.direction);
        UnityVector(&z.direction);
    }
    std::stable_sort(zones.begin(), zones.end(),
                     [](const ZoneAxisEntry& a, const ZoneAxisEntry& b) {
                         if (a.weight != b.weight) return a.weight > b.weight;
                         return std::abs(a.u) + std::abs(a.v) + std::abs(a.w) <
                                std::abs(b.u) + std::abs(b.v) + std::abs(b.w);
                     });
    if (zones.size() > size_t(std::max(maxZones, 0))) zones.resize(size_t(std::max(maxZones, 0)));
    return zones;
}

std::string zoneAxisText(int u, int v, int w, bool hexCell, bool negate) {
    if (negate) u = -u, v = -v, w = -w;
    std::string text = "[";
    if (hexCell) {
        // [uvw] on a1, a2, c is [UVTW] = [2u-v, 2v-u, -(u+v), 3w] / 3, reduced.
        int U = 2 * u - v, V = 2 * v - u, T = -(u + v), W = 3 * w;
        const int g = std::gcd(gcd3(U, V, T), std::abs(W));
        if (g > 1) U /= g, V /= g, T /= g, W /= g;
        text += indexText(U) + indexText(V) + indexText(T) + indexText(W);
    } else {
        text += indexText(u) + indexText(v) + indexText(w);
    }
    return text + "]";
}

}  // namespace ebsp
