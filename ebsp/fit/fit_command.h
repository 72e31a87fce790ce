// The fit command: refines orientation (and optionally the PC) of one pattern without a
// window and prints "phi1 Phi phi2 PCx PCy PCz fom" (degrees; PC in the chosen convention).
#pragma once

#include <cstdint>
#include <functional>
#include <ostream>
#include <string>
#include <vector>

#include "fit_image.h"

struct TPhaseRecord;

namespace ebsp::fit {

// Loads an image file as grey values; false with a one-line reason.
using PatternLoader =
    std::function<bool(const std::string& path, GreyImage& image, std::string& error)>;

// The binary PGM loader (P5, 8 or 16 bits), used when no other loader is given.
bool loadPgmPattern(const std::string& path, GreyImage& image, std::string& error);

// Reads the phase of --phase FILE: true with the record and the Laue group (1..11) to build
// its crystal set with, or false with a one-line reason naming the file.
using PhaseFileLoader = std::function<bool(const std::string& path, TPhaseRecord& phase,
                                           std::int32_t& laueGroup, std::string& error)>;

struct FitEnvironment {
    // Empty: the binary PGM loader.
    PatternLoader loader;
    // Used when --phase is neither a built-in name nor an index.  Empty: phases from files
    // are not available.
    PhaseFileLoader phaseFromFile;
};

// args: the words after "fit".  Returns 0 on success, 2 with a message on err for bad input
// (arguments, phase, phase file, pattern file, detector), 1 when the setup data cannot be read.
int runFitCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err,
                  const FitEnvironment& environment);
int runFitCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);
int runFitCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err,
                  const PatternLoader& loader);

}  // namespace ebsp::fit
