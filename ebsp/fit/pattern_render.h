// The simulated EBSD pattern as a float image on the detector's pixel grid: every Kikuchi
// band of a phase drawn where |n . r| < sin(theta), with a smooth edge profile.  The one
// renderer of the program's simulated patterns (the detector view blends it, the fit
// correlates with it, the tests make synthetic patterns from it).  No Qt here.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "fit_image.h"
#include "lattixDetector.h"

struct TPhaseRecord;

namespace ebsp::fit {

// One band: the unit plane normal in the crystal frame, the Bragg angle theta (radians; the
// edges lie at n . r = +-sin(theta)) and the band's brightness.
struct SimBand {
    TVec3D normal{};
    double halfWidth = 0.0;
    float weight = 1.0f;
};

// A phase ready to simulate.
struct PhaseModel {
    std::uint32_t index = 0;  // 1..kPhaseCount; 0 for a phase from a file
    std::string name;
    TCrySet crySet{};
    std::vector<SimBand> bands;
};

// The built-in phase named by text: its number (1..kPhaseCount) or its name (case ignored).
// 0 when there is none.
std::uint32_t findPhase(const std::string& text);

// Builds the crystal set (InitCrySet2, as the program does) and the bands of the phase's
// first whole families of reflectors, at most maxReflectors of them (as the map's reflector
// count): normals Recip.(hkl), half-widths lambda / (2 d) with lambda = deBroglie(kV),
// weights intensity / 100 %.  False with a message when the phase or the setup data fail.
bool buildPhaseModel(std::uint32_t index, double voltageKv, int maxReflectors, PhaseModel& model,
                     std::string& error);

// The same for a phase record from elsewhere (a structure or crystal file): the crystal set is
// built with laueGroup (1..11), which may be lower than the one the record's space-group code
// implies; index stays 0.
bool buildPhaseModel(const TPhaseRecord& phase, std::int32_t laueGroup, double voltageKv,
                     int maxReflectors, PhaseModel& model, std::string& error);

// Bands from reflectors given directly (h, k, l, spacing d, intensity in percent), as the
// views' reflector handler hands them: the same rules as above.
std::vector<SimBand> makeBands(const TCrySet& crySet, const int* hkl, const double* spacing,
                               const double* intensity, int count, double voltageKv);

struct RenderOptions {
    // Width of the soft band edge in pixels at the pattern centre: the profile ramps (a
    // smoothstep) from the full weight at sin(theta) - h to 0 at sin(theta) + h.  Larger
    // values act like a blur, which widens the fit's basin.
    double edgeSoftnessPx = 0.7;
    float background = 0.0f;
    // Rendered this much finer (edgeSoftnessPx still in output pixels) and block-averaged.
    int supersample = 1;
};

// Renders the bands for orientation g (sample -> crystal) on detector d: out becomes
// d.Width x d.Height, the background plus the sum of the band profiles.  False (out empty)
// when the library refuses the detector.
bool renderPattern(const TDetector& d, const TMat3D& g, const std::vector<SimBand>& bands,
                   GreyImage& out, const RenderOptions& options = {});

// The detector seen through a binned copy of its image: Width / factor x Height / factor
// pixels (the remainder cropped off), Binning * factor, the PC kept in place on the screen.
TDetector binDetector(const TDetector& d, int factor);

}  // namespace ebsp::fit
