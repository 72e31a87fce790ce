// Synthetic measured patterns for the fit's tests and benchmark: the project's renderer,
// then what a camera does to a pattern (a smooth background, shot noise, blur, 8 bits).
#pragma once

#include <cstdint>
#include <vector>

#include "fit_image.h"
#include "pattern_render.h"

namespace ebsp::fit::testing {

struct Degradation {
    int oversample = 1;     // rendered this much finer, then binned (a binned camera)
    double contrast = 0.3;  // band contrast on the background
    double counts = 150.0;  // mean counts per camera pixel; noise sd = sqrt(counts)
    double blurPx = 1.0;    // optics, in camera pixels (before binning)
    double lobe = 0.5;      // depth of the smooth background's fall-off
    std::uint64_t seed = 12345;
};

GreyImage makeSyntheticPattern(const TDetector& d, const TMat3D& g,
                               const std::vector<SimBand>& bands, const Degradation& how = {});

// Angle in degrees of the rotation between two orientation matrices (no symmetry).
double misorientationDeg(const TMat3D& a, const TMat3D& b);

TMat3D eulerDeg(double phi1, double Phi, double phi2);

}  // namespace ebsp::fit::testing
