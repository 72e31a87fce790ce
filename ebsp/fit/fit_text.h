// Strict text parsing for the fit command and its settings file: numbers, number lists and
// pattern-centre convention names.  Locale-independent (std::from_chars / std::to_chars).
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace ebsp::fit {

// A whole finite decimal number ("1.5", "-2e-3"); no spaces, no leading '+', no hex.
bool parseNumber(std::string_view text, double& value);
// Exactly count numbers separated by single commas ("1,2.5,3").
bool parseNumberList(std::string_view text, int count, double* values);
// A whole decimal integer without sign or spaces, at most 9 digits.
bool parseCount(std::string_view text, int& value);

// "bruker", "edax" (or "tsl"), "width", "emsoft4", "emsoft5" -> lxPc*; -1 for anything else.
int conventionFromName(std::string_view name);
// The first name above for a convention, "" for none.
const char* conventionName(int convention);

// Shortest text that reads back as the same double.
std::string formatNumber(double value);
// Fixed notation with the given number of decimals.
std::string formatFixed(double value, int decimals);

// The arguments of the fit command (the words after "fit").
struct FitArguments {
    std::string phase;
    std::string pattern;
    double euler[3] = {0.0, 0.0, 0.0};  // degrees
    double pc[3] = {0.0, 0.0, 0.0};     // in the convention
    int convention = -1;
    double tilt = 0.0;         // detector tilt, degrees
    double sampleTilt = 70.0;  // degrees
    double azimuthal = 0.0;
    double twist = 0.0;
    double voltageKv = 20.0;
    int binning = 1;
    double pixelSize = 0.0;  // micrometres, needed by the EMsoft conventions
    int reflectors = 65;
    double maskDark = -1.0;  // pixels at or below this grey are off the screen; < 0: none
    bool refinePc = false;
    std::string save;  // settings file to write, or empty
    bool help = false;
};

// Parses args strictly: every option once, every value well formed, the five required ones
// present.  False with a one-line reason otherwise.
bool parseFitArguments(const std::vector<std::string>& args, FitArguments& parsed,
                       std::string& error);

extern const char kFitUsage[];

}  // namespace ebsp::fit
