// Coarse-to-fine Nelder-Mead on the normalised cross-correlation.  Parameters are scaled so
// that one unit is one degree of rotation or 0.01 of PC; the simplex shrinks level by level.
#include "fit_refine.h"

#include <algorithm>
#include <array>
#include <cmath>

#include "lattixLib.h"

namespace ebsp::fit {

namespace {

constexpr double kDegToRad = 3.14159265358979323846 / 180.0;
constexpr int kMaxParams = 6;
using Params = std::array<double, kMaxParams>;

TMat3D rotationFromVector(const TVec3D& w) {
    const double angle = std::sqrt(w.x * w.x + w.y * w.y + w.z * w.z);
    TMat3D r{};
    r.col[0].x = r.col[1].y = r.col[2].z = 1.0;
    if (angle < 1e-15) return r;
    const double x = w.x / angle, y = w.y / angle, z = w.z / angle;
    const double c = std::cos(angle), s = std::sin(angle), t = 1.0 - c;
    // Active rotation about (x, y, z); col[j] is column j.
    r.col[0] = {t * x * x + c, t * x * y + s * z, t * x * z - s * y};
    r.col[1] = {t * x * y - s * z, t * y * y + c, t * y * z + s * x};
    r.col[2] = {t * x * z + s * y, t * y * z - s * x, t * z * z + c};
    return r;
}

struct Level {
    int factor = 1;
    double blurPx = 0.0;
    double step = 1.0;  // initial simplex, scaled units
};

std::vector<Level> makeLevels(const TDetector& d, const RefineOptions& o) {
    const int side = std::min(d.Width, d.Height);
    int f0 = 1;
    while (side / (2 * f0) >= std::max(8, o.coarsestSide))
        f0 *= 2;
    std::vector<Level> levels;
    levels.push_back({f0, 2.0, 1.0});
    double step = 0.3;
    for (int f = f0; f >= 1; f /= 2) {
        levels.push_back({f, 0.0, step});
        step = std::max(0.05, step * 0.5);
    }
    return levels;
}

class Objective {
  public:
    Objective(const GreyImage& corrected, const PixelMask& mask, const TDetector& d,
              const TMat3D& start, const std::vector<SimBand>& bands, const RefineOptions& o)
        : full_(corrected),
          fullMask_(mask),
          detector_(d),
          start_(start),
          bands_(bands),
          options_(o) {}

    void setLevel(const Level& level) {
        level_ = level;
        pattern_ = level.factor > 1 ? binImage(full_, level.factor) : full_;
        mask_ = binMask(fullMask_, full_.width, full_.height, level.factor);
        if (level.blurPx > 0.0) pattern_ = blurImage(pattern_, level.blurPx, &mask_);
        buildSurfaceBasis();
        projectOutSurface(pattern_);
        highPassSigma_ =
            options_.highPassSigma * std::min(full_.width, full_.height) / level.factor;
        // Small (binned) patterns are rendered finer and block-averaged, as the camera's
        // pixels average the bands.
        render_.supersample = full_.width * full_.height < 40000 && level.blurPx == 0.0 ? 3 : 1;
        // A smoothstep edge of half-width h has the spread of a Gaussian of sigma h / sqrt(5):
        // widen it as the blur widens the pattern's bands.
        render_.edgeSoftnessPx = std::sqrt(options_.edgeSoftnessPx * options_.edgeSoftnessPx +
                                           5.0 * level.blurPx * level.blurPx);
    }

    TDetector detectorAt(const Params& p) const {
        TDetector d = detector_;
        if (options_.refinePc) {
            d.PCx += 0.01 * p[3];
            d.PCy += 0.01 * p[4];
            d.PCz += 0.01 * p[5];
        }
        return d;
    }
    // A PC shift moves the whole pattern with it; the turn that moves it back is folded in,
    // so that the PC parameters only change the projection's distortion and the simplex does
    // not have to crawl along that valley.
    TMat3D orientationAt(const Params& p) const {
        double wx = p[0] * kDegToRad, wy = p[1] * kDegToRad;
        if (options_.refinePc) {
            wx -= 0.01 * p[4] / detector_.PCz;
            wy -= 0.01 * p[3] * detector_.Width / (detector_.PCz * detector_.Height);
        }
        return turnInDetectorFrame(start_, detector_, {wx, wy, p[2] * kDegToRad});
    }

    double fom(const Params& p) {
        const TDetector d = binDetector(detectorAt(p), level_.factor);
        if (!(d.PCz > 0.0) || !renderPattern(d, orientationAt(p), bands_, sim_, render_))
            return -1.0;
        if (sim_.width != pattern_.width || sim_.height != pattern_.height) return -1.0;
        // The pattern lost its smooth part to the background step; so does the simulation.
        subtractSmooth(sim_, highPassSigma_, &mask_);
        projectOutSurface(sim_);
        return normalisedCrossCorrelation(pattern_, sim_, &mask_);
    }

  private:
    const GreyImage& full_;
    const PixelMask& fullMask_;
    TDetector detector_;
    TMat3D start_;
    const std::vector<SimBand>& bands_;
    RefineOptions options_;
    Level level_;
    // The pattern was divided by a smooth surface; on small images that surface also takes up
    // some of the bands' large-scale brightness, so both images lose their least-squares
    // surface of the same degree (an orthonormal basis over the mask, made per level).
    void buildSurfaceBasis() {
        basis_.clear();
        const std::size_t n = pattern_.pixels.size();
        if (options_.background != BackgroundMode::DividePolynomial || n > 40000) return;
        for (int i = 0; i <= 4; ++i)
            for (int j = 0; i + j <= 4; ++j) {
                std::vector<double> b(n, 0.0);
                for (int y = 0; y < pattern_.height; ++y)
                    for (int x = 0; x < pattern_.width; ++x) {
                        const std::size_t k = static_cast<std::size_t>(y) * pattern_.width + x;
                        if (!mask_.empty() && !mask_[k]) continue;
                        const double u = 2.0 * (x + 0.5) / pattern_.width - 1.0;
                        const double v = 2.0 * (y + 0.5) / pattern_.height - 1.0;
                        b[k] = std::pow(u, i) * std::pow(v, j);
                    }
                for (const std::vector<float>& q : basis_) {  // modified Gram-Schmidt
                    double dot = 0.0;
                    for (std::size_t k = 0; k < n; ++k)
                        dot += b[k] * q[k];
                    for (std::size_t k = 0; k < n; ++k)
                        b[k] -= dot * q[k];
                }
                double norm = 0.0;
                for (double v : b)
                    norm += v * v;
                if (norm < 1e-9) continue;
                const double scale = 1.0 / std::sqrt(norm);
                std::vector<float> q(n);
                for (std::size_t k = 0; k < n; ++k)
                    q[k] = static_cast<float>(b[k] * scale);
                basis_.push_back(std::move(q));
            }
    }
    void projectOutSurface(GreyImage& image) const {
        for (const std::vector<float>& q : basis_) {
            double dot = 0.0;
            for (std::size_t k = 0; k < q.size(); ++k)
                dot += image.pixels[k] * q[k];
            const float d = static_cast<float>(dot);
            for (std::size_t k = 0; k < q.size(); ++k)
                image.pixels[k] -= d * q[k];
        }
    }

    GreyImage pattern_, sim_;
    std::vector<std::vector<float>> basis_;
    PixelMask mask_;
    RenderOptions render_;
    double highPassSigma_ = 0.0;
};

// Nelder-Mead with the dimension-adapted coefficients of Gao and Han (2012), minimising -fom.
// Returns when the simplex is smaller than tol or the budget or cancel ends it.
template <class Fn>
double nelderMead(Fn&& f, int n, Params& best, double step, double tol, int& budget,
                  const std::atomic<bool>* cancel) {
    const double alpha = 1.0, beta = 1.0 + 2.0 / n, gamma = 0.75 - 0.5 / n, delta = 1.0 - 1.0 / n;
    std::array<Params, kMaxParams + 1> x;
    std::array<double, kMaxParams + 1> fx;
    auto eval = [&](const Params& p) {
        --budget;
        return -f(p);
    };
    auto stop = [&] { return budget <= 0 || (cancel && cancel->load()); };
    for (int i = 0; i <= n; ++i) {
        x[i] = best;
        if (i > 0) x[i][i - 1] += step;
        fx[i] = i == 0 ? -f(best) : eval(x[i]);
    }
    std::array<int, kMaxParams + 1> order;
    while (!stop()) {
        for (int i = 0; i <= n; ++i) {
            int j = i;
            for (; j > 0 && fx[order[j - 1]] > fx[i]; --j)
                order[j] = order[j - 1];
            order[j] = i;
        }
        const int lo = order[0], hi = order[n], second = order[n - 1];
        double size = 0.0;
        for (int i = 0; i <= n; ++i)
            for (int k = 0; k < n; ++k)
                size = std::max(size, std::fabs(x[i][k] - x[lo][k]));
        if (size < tol) break;
        Params centroid{};
        for (int i = 0; i <= n; ++i)
            if (i != hi)
                for (int k = 0; k < n; ++k)
                    centroid[k] += x[i][k] / n;
        auto along = [&](double t) {
            Params p = centroid;
            for (int k = 0; k < n; ++k)
                p[k] = centroid[k] + t * (x[hi][k] - centroid[k]);
            return p;
        };
        const Params xr = along(-alpha);
        const double fr = eval(xr);
        if (fr < fx[lo]) {
            const Params xe = along(-alpha * beta);
            const double fe = eval(xe);
            if (fe < fr) {
                x[hi] = xe;
                fx[hi] = fe;
            } else {
                x[hi] = xr;
                fx[hi] = fr;
            }
            continue;
        }
        if (fr < fx[second]) {
            x[hi] = xr;
            fx[hi] = fr;
            continue;
        }
        const bool outside = fr < fx[hi];
        const Params xc = along(outside ? -alpha * gamma : gamma);
        const double fc = eval(xc);
        if (fc < (outside ? fr : fx[hi])) {
            x[hi] = xc;
            fx[hi] = fc;
            continue;
        }
        for (int i = 0; i <= n; ++i) {
            if (i == lo) continue;
            for (int k = 0; k < n; ++k)
                x[i][k] = x[lo][k] + delta * (x[i][k] - x[lo][k]);
            fx[i] = eval(x[i]);
        }
    }
    int lo = 0;
    for (int i = 1; i <= n; ++i)
        if (fx[i] < fx[lo]) lo = i;
    best = x[lo];
    return -fx[lo];
}

// The background step, then the same high-pass filter the simulations pass through.
GreyImage prepare(const GreyImage& pattern, const PixelMask& mask, const RefineOptions& options) {
    GreyImage p = correctBackground(pattern, options.background, options.backgroundSigma, &mask);
    subtractSmooth(p, options.highPassSigma * std::min(p.width, p.height), &mask);
    standardise(p, &mask);
    return p;
}

bool sizeMatches(const GreyImage& pattern, const PixelMask& mask, const TDetector& d) {
    return pattern.width == d.Width && pattern.height == d.Height && !pattern.empty() &&
           (mask.empty() || mask.size() == pattern.pixels.size());
}

}  // namespace

TMat3D turnInDetectorFrame(const TMat3D& g, const TDetector& detector, const TVec3D& omega) {
    // toG' = R toG with toG = M g^T, so g' = g M^T R^T M.
    TMat3D m, mt, r, rt, a, b, out;
    if (DetectorSampleMatrix(&detector, &m) != 0) return g;
    Transpose(&m, &mt);
    r = rotationFromVector(omega);
    Transpose(&r, &rt);
    MatMul3x3(&rt, &m, &a);
    MatMul3x3(&mt, &a, &b);
    MatMul3x3(&g, &b, &out);
    return out;
}

double figureOfMerit(const GreyImage& pattern, const PixelMask& mask, const TDetector& detector,
                     const TMat3D& g, const std::vector<SimBand>& bands,
                     const RefineOptions& options) {
    if (!sizeMatches(pattern, mask, detector)) return 0.0;
    const GreyImage corrected = prepare(pattern, mask, options);
    Objective objective(corrected, mask, detector, g, bands, options);
    objective.setLevel({1, 0.0, 0.0});
    return objective.fom(Params{});
}

RefineResult refineFit(const GreyImage& pattern, const PixelMask& mask, const TDetector& detector,
                       const TMat3D& start, const std::vector<SimBand>& bands,
                       const RefineOptions& options, const RefineProgressFn& progress,
                       const std::atomic<bool>* cancel) {
    RefineResult result;
    result.g = start;
    result.detector = detector;
    TMat3D probe;
    if (!sizeMatches(pattern, mask, detector) || DetectorSampleMatrix(&detector, &probe) != 0 ||
        !(std::fabs(Det3x3(&start) - 1.0) < 1e-3))
        return result;
    result.valid = true;

    const GreyImage corrected = prepare(pattern, mask, options);
    Objective objective(corrected, mask, detector, start, bands, options);
    const std::vector<Level> levels = makeLevels(detector, options);
    const int n = options.refinePc ? 6 : 3;
    int budget = std::max(1, options.maxEvaluations);

    RefineProgress state;
    state.levelCount = static_cast<int>(levels.size());
    auto counted = [&](const Params& p) {
        const double value = objective.fom(p);
        ++result.evaluations;
        state.evaluations = result.evaluations;
        state.bestFom = std::max(state.bestFom, value);
        if (progress) progress(state);
        return value;
    };

    Params best{};
    for (std::size_t li = 0; li < levels.size(); ++li) {
        const Level& level = levels[li];
        const double stepScale = level.step;
        objective.setLevel(level);
        state.level = static_cast<int>(li);
        state.bestFom = counted(best);
        double current = state.bestFom;
        // Scaled so that the PC step follows options.pcStep and the rotation rotationStepDeg.
        auto scaled = [&](const Params& q) {
            Params p = q;
            for (int k = 0; k < 3; ++k)
                p[k] *= options.rotationStepDeg;
            for (int k = 3; k < 6; ++k)
                p[k] *= options.pcStep / 0.01;
            return counted(p);
        };
        Params q{};
        for (int k = 0; k < 3; ++k)
            q[k] = best[k] / options.rotationStepDeg;
        for (int k = 3; k < 6; ++k)
            q[k] = best[k] * 0.01 / options.pcStep;
        // Restarts guard the coarse levels against a collapsed simplex; the finer levels only
        // polish, to a tolerance that is still far below the wanted accuracy.
        const bool finer = li >= 2;
        const int restarts = finer ? 0 : options.restarts;
        const double tol = (finer ? 0.25 : 0.05) * stepScale;
        for (int run = 0; run <= restarts; ++run) {
            if (budget <= 0 || (cancel && cancel->load())) break;
            const double step = run == 0 ? stepScale : stepScale * 0.5;
            // A large pattern's PC is settled at half size; full size polishes the orientation.
            const bool orientationOnly = li + 1 == levels.size() && li >= 3;
            const double found =
                nelderMead(scaled, orientationOnly ? 3 : n, q, step, tol, budget, cancel);
            const bool better = found > current + 1e-6;
            current = std::max(current, found);
            if (!better && run > 0) break;
        }
        for (int k = 0; k < 3; ++k)
            best[k] = q[k] * options.rotationStepDeg;
        for (int k = 3; k < 6; ++k)
            best[k] = q[k] * options.pcStep / 0.01;
        if (li + 1 == levels.size() || (cancel && cancel->load())) break;
    }

    // Judge at full size against the start; a cancelled run is judged the same way.
    objective.setLevel({1, 0.0, 0.0});
    result.fomBefore = objective.fom(Params{});
    const double after = objective.fom(best);
    result.cancelled = cancel && cancel->load();
    if (after > result.fomBefore) {
        result.improved = true;
        result.fomAfter = after;
        result.g = objective.orientationAt(best);
        result.detector = objective.detectorAt(best);
    } else {
        result.fomAfter = result.fomBefore;
    }
    Matrix2Euler(&result.g, &result.euler);
    return result;
}

}  // namespace ebsp::fit
