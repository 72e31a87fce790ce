#include "synthetic_pattern.h"

#include <algorithm>
#include <cmath>

#include "lattixLib.h"

namespace ebsp::fit::testing {

namespace {

// splitmix64: the same numbers on every platform, unlike std::normal_distribution.
struct Random {
    std::uint64_t state;
    double uniform() {
        std::uint64_t z = (state += 0x9E3779B97F4A7C15ull);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
        z ^= z >> 31;
        return (static_cast<double>(z >> 11) + 0.5) / 9007199254740992.0;
    }
    double normal() {
        const double u = uniform(), v = uniform();
        return std::sqrt(-2.0 * std::log(u)) * std::cos(6.283185307179586 * v);
    }
};

}  // namespace

GreyImage makeSyntheticPattern(const TDetector& d, const TMat3D& g,
                               const std::vector<SimBand>& bands, const Degradation& how) {
    TDetector fine = d;
    fine.Width = d.Width * how.oversample;
    fine.Height = d.Height * how.oversample;
    GreyImage sim;
    renderPattern(fine, g, bands, sim);
    const float top = std::max(1e-6f, *std::max_element(sim.pixels.begin(), sim.pixels.end()));
    Random random{how.seed};
    GreyImage raw(fine.Width, fine.Height);
    for (int y = 0; y < fine.Height; ++y)
        for (int x = 0; x < fine.Width; ++x) {
            // A bright off-centre lobe, as the backscatter yield falls off across the screen.
            const double dx = (x + 0.5) / fine.Width - 0.45, dy = (y + 0.5) / fine.Height - 0.35;
            const double background =
                1.0 - how.lobe + how.lobe * std::exp(-(dx * dx + dy * dy) / 0.5);
            const double signal =
                how.counts * background * (1.0 - how.contrast + how.contrast * sim.at(x, y) / top);
            raw.at(x, y) = static_cast<float>(signal + std::sqrt(signal) * random.normal());
        }
    // The optics blur the camera's own pixels; binning comes after.
    raw = binImage(blurImage(raw, how.blurPx), how.oversample);
    const float hi = *std::max_element(raw.pixels.begin(), raw.pixels.end());
    for (float& v : raw.pixels)
        v = std::round(std::clamp(v / hi * 255.0f, 0.0f, 255.0f));
    return raw;
}

double misorientationDeg(const TMat3D& a, const TMat3D& b) {
    // trace(a b^T) = 1 + 2 cos(angle)
    double trace = 0.0;
    const double* pa = &a.col[0].x;
    const double* pb = &b.col[0].x;
    for (int i = 0; i < 9; ++i)
        trace += pa[i] * pb[i];
    const double c = std::clamp((trace - 1.0) / 2.0, -1.0, 1.0);
    return std::acos(c) * 180.0 / 3.14159265358979323846;
}

TMat3D eulerDeg(double phi1, double Phi, double phi2) {
    const double k = 3.14159265358979323846 / 180.0;
    const TVec3D e{phi1 * k, Phi * k, phi2 * k};
    TMat3D g;
    Euler2Matrix(&e, &g);
    return g;
}

}  // namespace ebsp::fit::testing
