// Grey images for pattern fitting, without Qt: the float image type, the static-background
// correction, binning for a coarse-to-fine search and the normalised cross-correlation.
#pragma once

#include <cstdint>
#include <vector>

namespace ebsp::fit {

// Row-major floats, row 0 at the top (as the pattern's pixel rows).
struct GreyImage {
    int width = 0;
    int height = 0;
    std::vector<float> pixels;

    GreyImage() = default;
    GreyImage(int w, int h, float value = 0.0f)
        : width(w), height(h), pixels(static_cast<std::size_t>(w) * h, value) {}
    bool empty() const { return pixels.empty(); }
    float& at(int x, int y) { return pixels[static_cast<std::size_t>(y) * width + x]; }
    float at(int x, int y) const { return pixels[static_cast<std::size_t>(y) * width + x]; }
};

// Pattern pixels to use: one byte per pixel, non-zero inside.  An empty mask means all.
using PixelMask = std::vector<std::uint8_t>;

// The pattern area of a camera image whose screen does not fill it (a round phosphor, black
// corners): the pixels brighter than darkLevel.
PixelMask brighterThan(const GreyImage& image, float darkLevel);

// None only standardises; Subtract and Divide use a strongly blurred copy; DividePolynomial
// divides by a least-squares surface of degree 4 in x and y, which follows a smooth background
// without taking up the bands.
enum class BackgroundMode { None, Subtract, Divide, DividePolynomial };

// The least-squares polynomial surface of total degree <= 4 through the pixels inside the mask.
GreyImage polynomialBackground(const GreyImage& image, const PixelMask* mask = nullptr);

// Gaussian blur approximated by three box passes per axis; edges use the pixels inside only
// (each box is normalised by its count), and masked-out pixels carry no weight.
GreyImage blurImage(const GreyImage& image, double sigma, const PixelMask* mask = nullptr);

// Shifts and scales the pixels inside the mask to zero mean and unit variance; outside pixels
// become 0.  A flat image becomes all zeros.
void standardise(GreyImage& image, const PixelMask* mask = nullptr);

// The static-background step: subtracts, or divides by, a copy blurred with sigma =
// sigmaFraction * min(width, height) (or the polynomial surface), then standardises.
GreyImage correctBackground(const GreyImage& raw, BackgroundMode mode, double sigmaFraction = 0.125,
                            const PixelMask* mask = nullptr);

// image minus its blur with sigma, the blur computed on a reduced copy and interpolated back
// (cheap enough to run on every simulated pattern, so that it passes the same high-pass
// filter as the background-corrected pattern).
void subtractSmooth(GreyImage& image, double sigma, const PixelMask* mask = nullptr);

// Means of factor x factor blocks; a remainder of rows or columns is cropped off.
GreyImage binImage(const GreyImage& image, int factor);
// A binned pixel is inside when all of its block is.
PixelMask binMask(const PixelMask& mask, int width, int height, int factor);

// Normalised cross-correlation of two images of the same size over the mask: 1 for images
// that differ by a positive scale and offset.  0 when either is flat or the sizes differ.
double normalisedCrossCorrelation(const GreyImage& a, const GreyImage& b,
                                  const PixelMask* mask = nullptr);

}  // namespace ebsp::fit
