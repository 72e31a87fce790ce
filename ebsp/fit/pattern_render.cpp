// Band rasteriser: for each pixel row, the pixels inside a band follow from a quadratic in the
// column, so only the band's own pixels are visited.
#include "pattern_render.h"

#include <algorithm>
#include <cctype>
#include <cmath>

#include "lattixLib.h"
#include "phase_catalogue.h"

namespace ebsp::fit {

namespace {

std::string lower(std::string s) {
    for (char& c : s)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return s;
}

// Interval [lo, hi] (continuous X) on which q(X) = a X^2 + b X + c < 0, intersected with
// [xmin, xmax]; up to two pieces.
int negativeIntervals(double a, double b, double c, double xmin, double xmax, double lo[2],
                      double hi[2]) {
    int count = 0;
    auto add = [&](double l, double h) {
        l = std::max(l, xmin);
        h = std::min(h, xmax);
        if (l <= h) {
            lo[count] = l;
            hi[count] = h;
            ++count;
        }
    };
    const double scale = std::fabs(a) + std::fabs(b) / (std::fabs(xmax - xmin) + 1.0) + 1e-300;
    if (std::fabs(a) < 1e-12 * scale) {
        if (b == 0.0) {
            if (c < 0.0) add(xmin, xmax);
        } else if (b > 0.0) {
            add(xmin, -c / b);
        } else {
            add(-c / b, xmax);
        }
        return count;
    }
    const double disc = b * b - 4.0 * a * c;
    if (disc <= 0.0) {
        if (a < 0.0) add(xmin, xmax);
        return count;
    }
    // Stable roots.
    const double s = std::sqrt(disc);
    const double q = -0.5 * (b + (b >= 0.0 ? s : -s));
    double r1 = q / a, r2 = q != 0.0 ? c / q : r1;
    if (r1 > r2) std::swap(r1, r2);
    if (a > 0.0) {
        add(r1, r2);
    } else {
        add(xmin, r1);
        add(r2, xmax);
    }
    return count;
}

}  // namespace

std::uint32_t findPhase(const std::string& text) {
    if (text.empty()) return 0;
    if (std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; })) {
        if (text.size() > 3) return 0;
        const unsigned long n = std::stoul(text);
        return n >= 1 && n <= kPhaseCount ? static_cast<std::uint32_t>(n) : 0;
    }
    const std::string wanted = lower(text);
    TPhaseRecord phase;
    for (std::uint32_t i = 1; i <= kPhaseCount; ++i) {
        BuildPhase(i, phase);
        if (!phase.Name.empty() && lower(phase.Name) == wanted) return i;
    }
    return 0;
}

std::vector<SimBand> makeBands(const TCrySet& crySet, const int* hkl, const double* spacing,
                               const double* intensity, int count, double voltageKv) {
    std::vector<SimBand> bands;
    const double lambda = deBroglie(voltageKv);
    for (int i = 0; i < count; ++i) {
        TVec3D v{static_cast<double>(hkl[3 * i]), static_cast<double>(hkl[3 * i + 1]),
                 static_cast<double>(hkl[3 * i + 2])};
        if (v.x == 0.0 && v.y == 0.0 && v.z == 0.0) continue;
        SimBand band;
        MatMul3x1(&crySet.Recip, &v, &band.normal);
        if (!UnityVector(&band.normal)) continue;
        // Small-angle Bragg angle, as the map draws it; bands without a valid width are left out.
        const double theta = lambda / (2.0 * spacing[i]);
        if (!(spacing[i] > 0.0) || !std::isfinite(theta) || !(theta < 1.0)) continue;
        band.halfWidth = theta;
        band.weight = static_cast<float>(std::clamp(intensity[i], 0.0, 100.0) / 100.0);
        bands.push_back(band);
    }
    return bands;
}

bool buildPhaseModel(std::uint32_t index, double voltageKv, int maxReflectors, PhaseModel& model,
                     std::string& error) {
    TPhaseRecord phase;
    BuildPhase(index, phase);
    if (phase.Name.empty() || phase.SpaceGroupCode == 0) {
        error = "unknown phase";
        return false;
    }
    if (!buildPhaseModel(phase, LaueIndexOfCode(phase.SpaceGroupCode), voltageKv, maxReflectors,
                         model, error))
        return false;
    model.index = index;
    return true;
}

bool buildPhaseModel(const TPhaseRecord& phase, std::int32_t laueGroup, double voltageKv,
                     int maxReflectors, PhaseModel& model, std::string& error) {
    if (laueGroup < 1 || laueGroup > 11) {
        error = "the phase has no Laue group";
        return false;
    }
    if (!(voltageKv > 0.0) || !std::isfinite(voltageKv)) {
        error = "the voltage must be a positive number of kilovolts";
        return false;
    }
    model.index = 0;
    model.name = phase.Name;
    // A group below the code's own is passed as a Laue code, so the two never disagree.
    const std::int32_t code = LaueIndexOfCode(phase.SpaceGroupCode) == laueGroup
                                  ? static_cast<std::int32_t>(phase.SpaceGroupCode)
                                  : 240 + laueGroup;
    InitCrySet2(&model.crySet, "name", "ref", phase.A, phase.B, phase.C, phase.Alpha, phase.Beta,
                phase.Gamma, laueGroup, code);
    if (GetInitIoStatus() != 0) {
        error = "the setup data (SYMGEN, APU) could not be read";
        return false;
    }
    // Whole families only, as the map's reflector count cuts the list; at least the first.
    const std::size_t used = UsedReflectorCount(phase);
    std::size_t cut = 0, firstFamily = 0;
    for (std::size_t i = 1; i <= used; ++i) {
        const bool boundary =
            i == used || phase.Reflectors[i].Family != phase.Reflectors[i - 1].Family;
        if (!boundary) continue;
        if (firstFamily == 0) firstFamily = i;
        if (static_cast<int>(i) <= maxReflectors) cut = i;
    }
    if (cut == 0) cut = firstFamily;
    std::vector<int> hkl;
    std::vector<double> d, intensity;
    for (std::size_t i = 0; i < cut; ++i) {
        const TPhaseReflector& r = phase.Reflectors[i];
        hkl.insert(hkl.end(), {r.h, r.k, r.l});
        d.push_back(LatticeSpacing(&model.crySet, r.h, r.k, r.l));
        intensity.push_back(r.Intensity / 100.0);
    }
    model.bands = makeBands(model.crySet, hkl.data(), d.data(), intensity.data(),
                            static_cast<int>(cut), voltageKv);
    if (model.bands.empty()) {
        error = "the phase has no reflectors";
        return false;
    }
    return true;
}

bool renderPattern(const TDetector& d, const TMat3D& g, const std::vector<SimBand>& bands,
                   GreyImage& out, const RenderOptions& options) {
    out = GreyImage();
    if (options.supersample > 1 && options.supersample <= 16) {
        TDetector fine = d;
        fine.Width = d.Width * options.supersample;
        fine.Height = d.Height * options.supersample;
        RenderOptions o = options;
        o.supersample = 1;
        o.edgeSoftnessPx = options.edgeSoftnessPx * options.supersample;
        if (!renderPattern(fine, g, bands, out, o)) return false;
        out = binImage(out, options.supersample);
        return true;
    }
    TMat3D msg;
    if (DetectorSampleMatrix(&d, &msg) != 0) return false;
    if (static_cast<long long>(d.Width) * d.Height > (1LL << 28)) return false;
    // Crystal -> projection frame: M_SG g^T.
    TMat3D gt, toG;
    Transpose(&g, &gt);
    MatMul3x3(&msg, &gt, &toG);
    out = GreyImage(d.Width, d.Height, options.background);

    const double xpc = d.PCx * d.Width, ypc = d.PCy * d.Height, dd = d.PCz * d.Height;
    const double soft = std::max(1e-9, options.edgeSoftnessPx / dd);
    const double xmin = 0.5 - xpc, xmax = d.Width - 0.5 - xpc;  // pixel-centre X range
    for (const SimBand& band : bands) {
        TVec3D n;
        MatMul3x1(&toG, &band.normal, &n);
        const double s = std::sin(band.halfWidth);
        const double outer = s + soft;  // |n.r| beyond this adds nothing
        const float weight = band.weight;
        const double inv2h = 1.0 / (2.0 * soft);
        for (int row = 0; row < d.Height; ++row) {
            // Pixel direction (X, Y, D) with Y up: n.r = (nx X + C) / sqrt(X^2 + B).
            const double y = ypc - (row + 0.5);
            const double c = n.y * y + n.z * dd;
            const double b2 = y * y + dd * dd;
            double lo[2], hi[2];
            const int pieces = negativeIntervals(n.x * n.x - outer * outer, 2.0 * n.x * c,
                                                 c * c - outer * outer * b2, xmin, xmax, lo, hi);
            float* line = &out.pixels[static_cast<std::size_t>(row) * d.Width];
            for (int p = 0; p < pieces; ++p) {
                const int first = std::max(0, static_cast<int>(std::floor(lo[p] + xpc - 0.5)));
                const int last =
                    std::min(d.Width - 1, static_cast<int>(std::ceil(hi[p] + xpc - 0.5)));
                // Branch-free single precision, so that the compiler can vectorise the run.
                const float fx0 = static_cast<float>(first + 0.5 - xpc);
                const float fnx = static_cast<float>(n.x), fc = static_cast<float>(c);
                const float fb2 = static_cast<float>(b2), fouter = static_cast<float>(outer);
                const float finv2h = static_cast<float>(inv2h);
                for (int col = first; col <= last; ++col) {
                    const float x = fx0 + static_cast<float>(col - first);
                    const float dot = std::fabs(fnx * x + fc) / std::sqrt(x * x + fb2);
                    const float t = std::clamp((fouter - dot) * finv2h, 0.0f, 1.0f);
                    line[col] += weight * t * t * (3.0f - 2.0f * t);
                }
            }
        }
    }
    return true;
}

TDetector binDetector(const TDetector& d, int factor) {
    if (factor <= 1) return d;
    TDetector out = d;
    out.Width = std::max(1, d.Width / factor);
    out.Height = std::max(1, d.Height / factor);
    out.Binning = d.Binning * factor;
    const double xpc = d.PCx * d.Width / factor, ypc = d.PCy * d.Height / factor;
    const double dd = d.PCz * d.Height / factor;
    out.PCx = xpc / out.Width;
    out.PCy = ypc / out.Height;
    out.PCz = dd / out.Height;
    return out;
}

}  // namespace ebsp::fit
