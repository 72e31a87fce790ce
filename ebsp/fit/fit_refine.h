// Refinement of orientation and pattern centre: a local search from the user's start that
// maximises the normalised cross-correlation between the background-corrected pattern and
// the simulated band image, on a reduced copy first and then at full size.  No Qt; it may
// run on any thread (the bands and the images are only read).
#pragma once

#include <atomic>
#include <functional>
#include <vector>

#include "fit_image.h"
#include "pattern_render.h"

namespace ebsp::fit {

struct RefineOptions {
    bool refinePc = false;  // also the three PC values (Bruker form)
    BackgroundMode background = BackgroundMode::DividePolynomial;  // applied to the pattern first
    double backgroundSigma = 0.25;  // Subtract and Divide: the blur, fraction of the smaller side
    // Both the corrected pattern and every simulation then lose their smooth part (a blur of
    // this fraction of the smaller side): the bands are compared, not what the background
    // correction left over, and a background that varies across the blur's reach leaves less
    // residue to pull the fit off.  0 turns it off.
    double highPassSigma = 0.0625;
    double rotationStepDeg = 1.0;  // initial simplex on the coarsest level
    double pcStep = 0.01;          // PC units (fractions, Bruker)
    int restarts = 2;              // further simplex runs from the best point, coarse levels
    int maxEvaluations = 3000;     // for the whole refinement
    int coarsestSide = 60;         // the smaller side of the most reduced image, about
    // The simulation's band edge at full size (RenderOptions): about sqrt(5) times the blur
    // sigma of the camera's pattern, in pixels.
    double edgeSoftnessPx = 2.0;
};

struct RefineProgress {
    int level = 0;  // 0 .. levelCount - 1, the last at full size
    int levelCount = 0;
    int evaluations = 0;
    double bestFom = 0.0;  // on the current level
};
using RefineProgressFn = std::function<void(const RefineProgress&)>;

struct RefineResult {
    TMat3D g{};              // refined orientation, sample -> crystal (the start if not improved)
    TVec3D euler{};          // the same as Bunge Euler angles, radians (Matrix2Euler)
    TDetector detector{};    // the detector with the refined PC (Bruker)
    double fomBefore = 0.0;  // NCC at the start, full size
    double fomAfter = 0.0;   // NCC of the result, full size (>= fomBefore)
    int evaluations = 0;
    bool improved = false;  // false: the start is returned
    bool cancelled = false;
    bool valid = false;  // false: the pattern's size, the detector or g was refused
};

// pattern: the raw image, detector.Width x detector.Height; mask: empty or one byte per pixel.
// cancel is polled between evaluations; progress is called after each evaluation on the
// calling thread.
RefineResult refineFit(const GreyImage& pattern, const PixelMask& mask, const TDetector& detector,
                       const TMat3D& start, const std::vector<SimBand>& bands,
                       const RefineOptions& options = {}, const RefineProgressFn& progress = {},
                       const std::atomic<bool>* cancel = nullptr);

// The figure of merit alone: NCC of the background-corrected pattern with the simulation.
double figureOfMerit(const GreyImage& pattern, const PixelMask& mask, const TDetector& detector,
                     const TMat3D& g, const std::vector<SimBand>& bands,
                     const RefineOptions& options = {});

// g turned by the rotation vector omega (radians), given in the projection frame G of the
// detector: the pattern turns by omega on the screen.
TMat3D turnInDetectorFrame(const TMat3D& g, const TDetector& detector, const TVec3D& omega);

}  // namespace ebsp::fit
