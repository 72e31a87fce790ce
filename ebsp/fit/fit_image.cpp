// Image helpers of the pattern fit: box-approximated Gaussian blur, background correction,
// binning and the normalised cross-correlation.
#include "fit_image.h"

#include <algorithm>
#include <cmath>

namespace ebsp::fit {

namespace {

bool inside(const PixelMask* mask, std::size_t i) {
    return !mask || mask->empty() || (*mask)[i] != 0;
}

// Box radius of each of three passes so that their variance matches sigma^2 (a box of width
// 2r + 1 has variance ((2r + 1)^2 - 1) / 12).
int boxRadius(double sigma) {
    const double width = std::sqrt(4.0 * sigma * sigma + 1.0);
    return std::max(0, static_cast<int>(std::lround((width - 1.0) / 2.0)));
}

// One box pass along a line of n samples with stride; weights travel with the values so
// that edges and masked pixels are normalised away.
void boxLine(float* values, float* weights, int n, std::size_t stride, int r,
             std::vector<double>& sumV, std::vector<double>& sumW) {
    sumV.assign(static_cast<std::size_t>(n) + 1, 0.0);
    sumW.assign(static_cast<std::size_t>(n) + 1, 0.0);
    for (int i = 0; i < n; ++i) {
        sumV[i + 1] = sumV[i] + values[i * stride];
        sumW[i + 1] = sumW[i] + weights[i * stride];
    }
    for (int i = 0; i < n; ++i) {
        const int lo = std::max(0, i - r);
        const int hi = std::min(n, i + r + 1);
        const double count = hi - lo;
        values[i * stride] = static_cast<float>((sumV[hi] - sumV[lo]) / count);
        weights[i * stride] = static_cast<float>((sumW[hi] - sumW[lo]) / count);
    }
}

}  // namespace

PixelMask brighterThan(const GreyImage& image, float darkLevel) {
    PixelMask mask(image.pixels.size());
    for (std::size_t i = 0; i < mask.size(); ++i)
        mask[i] = image.pixels[i] > darkLevel;
    return mask;
}

GreyImage blurImage(const GreyImage& image, double sigma, const PixelMask* mask) {
    GreyImage out = image;
    if (image.empty() || !(sigma > 0.0)) return out;
    const int r = boxRadius(sigma);
    const std::size_t n = image.pixels.size();
    // Weighted values: blurring v*w and w, then dividing, ignores pixels outside the mask.
    std::vector<float> weights(n);
    for (std::size_t i = 0; i < n; ++i) {
        weights[i] = inside(mask, i) ? 1.0f : 0.0f;
        out.pixels[i] *= weights[i];
    }
    std::vector<double> sumV, sumW;
    for (int pass = 0; pass < 3 && r > 0; ++pass) {
        for (int y = 0; y < image.height; ++y) {
            const std::size_t row = static_cast<std::size_t>(y) * image.width;
            boxLine(&out.pixels[row], &weights[row], image.width, 1, r, sumV, sumW);
        }
        for (int x = 0; x < image.width; ++x)
            boxLine(&out.pixels[x], &weights[x], image.height, image.width, r, sumV, sumW);
    }
    for (std::size_t i = 0; i < n; ++i)
        out.pixels[i] = weights[i] > 1e-6f ? out.pixels[i] / weights[i] : 0.0f;
    return out;
}

void standardise(GreyImage& image, const PixelMask* mask) {
    double sum = 0.0, sum2 = 0.0;
    std::size_t count = 0;
    for (std::size_t i = 0; i < image.pixels.size(); ++i) {
        if (!inside(mask, i)) continue;
        sum += image.pixels[i];
        ++count;
    }
    const double mean = count ? sum / static_cast<double>(count) : 0.0;
    for (std::size_t i = 0; i < image.pixels.size(); ++i) {
        if (!inside(mask, i)) continue;
        const double d = image.pixels[i] - mean;
        sum2 += d * d;
    }
    const double sd = count ? std::sqrt(sum2 / static_cast<double>(count)) : 0.0;
    const double scale = sd > 1e-12 ? 1.0 / sd : 0.0;
    for (std::size_t i = 0; i < image.pixels.size(); ++i)
        image.pixels[i] =
            inside(mask, i) ? static_cast<float>((image.pixels[i] - mean) * scale) : 0.0f;
}

GreyImage polynomialBackground(const GreyImage& image, const PixelMask* mask) {
    constexpr int kDegree = 4;
    constexpr int kTerms = (kDegree + 1) * (kDegree + 2) / 2;
    GreyImage out(image.width, image.height);
    if (image.empty()) return out;
    // Fitted on a reduced copy (at most about 128 pixels a side); coordinates in [-1, 1].
    const int step = std::max(1, std::max(image.width, image.height) / 128);
    auto basis = [&](double x, double y, double* b) {
        const double u = 2.0 * x / image.width - 1.0, v = 2.0 * y / image.height - 1.0;
        double pu[kDegree + 1] = {1.0}, pv[kDegree + 1] = {1.0};
        for (int i = 1; i <= kDegree; ++i) {
            pu[i] = pu[i - 1] * u;
            pv[i] = pv[i - 1] * v;
        }
        int t = 0;
        for (int i = 0; i <= kDegree; ++i)
            for (int j = 0; i + j <= kDegree; ++j)
                b[t++] = pu[i] * pv[j];
    };
    double a[kTerms][kTerms + 1] = {};
    double b[kTerms];
    for (int y = step / 2; y < image.height; y += step)
        for (int x = step / 2; x < image.width; x += step) {
            const std::size_t i = static_cast<std::size_t>(y) * image.width + x;
            if (!inside(mask, i)) continue;
            basis(x + 0.5, y + 0.5, b);
            for (int r = 0; r < kTerms; ++r) {
                for (int c = 0; c < kTerms; ++c)
                    a[r][c] += b[r] * b[c];
                a[r][kTerms] += b[r] * image.pixels[i];
            }
        }
    // Gaussian elimination with partial pivoting; a singular system (too few pixels) keeps
    // the coefficients found so far at zero.
    double coef[kTerms] = {};
    for (int c = 0; c < kTerms; ++c) {
        int pivot = c;
        for (int r = c + 1; r < kTerms; ++r)
            if (std::fabs(a[r][c]) > std::fabs(a[pivot][c])) pivot = r;
        if (std::fabs(a[pivot][c]) < 1e-12) continue;
        for (int k = 0; k <= kTerms; ++k)
            std::swap(a[c][k], a[pivot][k]);
        for (int r = 0; r < kTerms; ++r) {
            if (r == c) continue;
            const double f = a[r][c] / a[c][c];
            for (int k = c; k <= kTerms; ++k)
                a[r][k] -= f * a[c][k];
        }
    }
    for (int c = 0; c < kTerms; ++c)
        if (std::fabs(a[c][c]) >= 1e-12) coef[c] = a[c][kTerms] / a[c][c];
    for (int y = 0; y < image.height; ++y)
        for (int x = 0; x < image.width; ++x) {
            basis(x + 0.5, y + 0.5, b);
            double sum = 0.0;
            for (int t = 0; t < kTerms; ++t)
                sum += coef[t] * b[t];
            out.at(x, y) = static_cast<float>(sum);
        }
    return out;
}

GreyImage correctBackground(const GreyImage& raw, BackgroundMode mode, double sigmaFraction,
                            const PixelMask* mask) {
    GreyImage out = raw;
    if (mode != BackgroundMode::None && !raw.empty()) {
        const double sigma = sigmaFraction * std::min(raw.width, raw.height);
        const GreyImage background = mode == BackgroundMode::DividePolynomial
                                         ? polynomialBackground(raw, mask)
                                         : blurImage(raw, sigma, mask);
        double mean = 0.0;
        for (float v : background.pixels)
            mean += v;
        mean /= static_cast<double>(background.pixels.size());
        // A floor for the divisor keeps dark corners from blowing up.
        const float floor = static_cast<float>(std::max(1e-6, 0.05 * std::fabs(mean)));
        for (std::size_t i = 0; i < out.pixels.size(); ++i) {
            if (mode == BackgroundMode::Subtract)
                out.pixels[i] -= background.pixels[i];
            else
                out.pixels[i] /= std::max(background.pixels[i], floor);
        }
    }
    standardise(out, mask);
    return out;
}

void subtractSmooth(GreyImage& image, double sigma, const PixelMask* mask) {
    if (image.empty() || !(sigma > 0.0)) return;
    // The blur runs on a copy reduced so that sigma is about 1.5 of its pixels.
    const int k = std::max(1, static_cast<int>(sigma / 1.5));
    const int w = (image.width + k - 1) / k, h = (image.height + k - 1) / k;
    std::vector<int> block(image.width), x0(image.width), x1(image.width);
    std::vector<float> tx(image.width);
    for (int x = 0; x < image.width; ++x) {
        block[x] = x / k;
        // Bilinear weights; block centres sit at k j + k/2 - 1/2.
        const double fx = std::clamp((x + 0.5) / k - 0.5, 0.0, w - 1.0);
        x0[x] = std::min(static_cast<int>(fx), w - 1);
        x1[x] = std::min(x0[x] + 1, w - 1);
        tx[x] = static_cast<float>(fx - x0[x]);
    }
    // Block means, partial blocks at the edges and masked pixels taken into account.
    GreyImage small(w, h), weight(w, h);
    for (int y = 0; y < image.height; ++y) {
        const std::size_t row = static_cast<std::size_t>(y) * image.width;
        float* s = &small.pixels[static_cast<std::size_t>(y / k) * w];
        float* c = &weight.pixels[static_cast<std::size_t>(y / k) * w];
        for (int x = 0; x < image.width; ++x) {
            if (!inside(mask, row + x)) continue;
            s[block[x]] += image.pixels[row + x];
            c[block[x]] += 1.0f;
        }
    }
    PixelMask smallMask(small.pixels.size());
    for (std::size_t i = 0; i < small.pixels.size(); ++i) {
        smallMask[i] = weight.pixels[i] > 0.0f;
        if (smallMask[i]) small.pixels[i] /= weight.pixels[i];
    }
    small = blurImage(small, sigma / k, &smallMask);
    std::vector<float> blend(w);
    for (int y = 0; y < image.height; ++y) {
        const double fy = std::clamp((y + 0.5) / k - 0.5, 0.0, h - 1.0);
        const int y0 = std::min(static_cast<int>(fy), h - 1), y1 = std::min(y0 + 1, h - 1);
        const float ty = static_cast<float>(fy - y0);
        for (int j = 0; j < w; ++j)
            blend[j] = small.at(j, y0) + ty * (small.at(j, y1) - small.at(j, y0));
        float* line = &image.pixels[static_cast<std::size_t>(y) * image.width];
        for (int x = 0; x < image.width; ++x)
            line[x] -= blend[x0[x]] + tx[x] * (blend[x1[x]] - blend[x0[x]]);
    }
}

GreyImage binImage(const GreyImage& image, int factor) {
    if (factor <= 1) return image;
    GreyImage out(image.width / factor, image.height / factor);
    const float scale = 1.0f / static_cast<float>(factor * factor);
    for (int y = 0; y < out.height; ++y)
        for (int x = 0; x < out.width; ++x) {
            float sum = 0.0f;
            for (int dy = 0; dy < factor; ++dy)
                for (int dx = 0; dx < factor; ++dx)
                    sum += image.at(x * factor + dx, y * factor + dy);
            out.at(x, y) = sum * scale;
        }
    return out;
}

PixelMask binMask(const PixelMask& mask, int width, int height, int factor) {
    if (mask.empty() || factor <= 1) return mask;
    const int w = width / factor, h = height / factor;
    PixelMask out(static_cast<std::size_t>(w) * h, 1);
    for (int y = 0; y < h * factor; ++y)
        for (int x = 0; x < w * factor; ++x)
            if (!mask[static_cast<std::size_t>(y) * width + x])
                out[static_cast<std::size_t>(y / factor) * w + x / factor] = 0;
    return out;
}

double normalisedCrossCorrelation(const GreyImage& a, const GreyImage& b, const PixelMask* mask) {
    if (a.width != b.width || a.height != b.height || a.empty()) return 0.0;
    if (mask && !mask->empty() && mask->size() != a.pixels.size()) return 0.0;
    double sa = 0.0, sb = 0.0, saa = 0.0, sbb = 0.0, sab = 0.0, n = 0.0;
    const std::size_t count = a.pixels.size();
    for (std::size_t i = 0; i < count; ++i) {
        if (!inside(mask, i)) continue;
        const double x = a.pixels[i], y = b.pixels[i];
        sa += x;
        sb += y;
        saa += x * x;
        sbb += y * y;
        sab += x * y;
        n += 1.0;
    }
    if (n < 2.0) return 0.0;
    const double va = saa - sa * sa / n, vb = sbb - sb * sb / n;
    if (!(va > 1e-12 * n) || !(vb > 1e-12 * n)) return 0.0;
    return (sab - sa * sb / n) / std::sqrt(va * vb);
}

}  // namespace ebsp::fit
