// The small settings file saved beside a pattern: detector settings, orientation, PC in the
// user's convention and the figure of merit, as JSON.  Hand-written and strict.
#pragma once

#include <string>
#include <string_view>

#include "lattixDetector.h"

namespace ebsp::fit {

struct FitSettings {
    std::string pattern;  // the pattern's file name, may be empty
    std::string phase;    // phase name, may be empty
    double voltageKv = 20.0;
    TDetector detector{};                  // PC held in Bruker form
    int convention = lxPcBruker;           // the convention the file shows the PC in
    double eulerDeg[3] = {0.0, 0.0, 0.0};  // phi1, Phi, phi2
    bool hasFom = false;
    double fom = 0.0;
};

// The file text; empty when the detector is refused (DetectorGetPatternCentre).
std::string writeFitSettings(const FitSettings& settings);

// Reads the file text: every key once, no other keys, the right types, finite numbers, a
// detector the library accepts.  On failure settings is untouched and error says why.
bool readFitSettings(std::string_view text, FitSettings& settings, std::string& error);

}  // namespace ebsp::fit
