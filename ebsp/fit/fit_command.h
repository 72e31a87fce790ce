// The fit command: refines orientation (and optionally the PC) of one pattern without a
// window and prints "phi1 Phi phi2 PCx PCy PCz fom" (degrees; PC in the chosen convention).
#pragma once

#include <functional>
#include <ostream>
#include <string>
#include <vector>

#include "fit_image.h"

namespace ebsp::fit {

// Loads an image file as grey values; false with a one-line reason.
using PatternLoader =
    std::function<bool(const std::string& path, GreyImage& image, std::string& error)>;

// The binary PGM loader (P5, 8 or 16 bits), used when no other loader is given.
bool loadPgmPattern(const std::string& path, GreyImage& image, std::string& error);

// args: the words after "fit".  Returns 0 on success, 2 with a message on err for bad input
// (arguments, phase, pattern file, detector), 1 when the setup data cannot be read.
int runFitCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);
int runFitCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err,
                  const PatternLoader& loader);

}  // namespace ebsp::fit
