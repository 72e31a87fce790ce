// The command line of the render command and its Euler-angle lists, read without Qt:
// options, picture and detector sizes, angle triples, list files, output name patterns and
// the progress bar's decision.
#pragma once

#include <array>
#include <string>
#include <string_view>
#include <vector>

namespace ebsp::render {

enum class BandStyle { Solid, Edge, Centre };
enum class ViewKind { Map, Cell, Detector };
// Pattern-centre conventions, in the order of lattix's lxPc* values.
enum class PcConvention { Bruker, Edax, Width, Emsoft4, Emsoft5 };

struct PictureSize {
    int width = 480;
    int height = 448;
};

using EulerDeg = std::array<double, 3>;  // phi1, Phi, phi2 in degrees

// The detector of --view detector.  Fields not given keep the view's default detector's;
// the library checks the whole detector when the pattern centre is set.
struct DetectorOptions {
    PictureSize pattern;  // pattern pixels (after binning), when patternGiven
    bool patternGiven = false;
    std::array<double, 3> pc{0.0, 0.0, 0.0};  // in convention, when pcGiven
    bool pcGiven = false;
    PcConvention convention = PcConvention::Bruker;
    bool conventionGiven = false;
    double sampleTiltDeg = 70.0;
    double tiltDeg = 0.0;
    int binning = 1;
    bool binningGiven = false;
    double pixelSizeUm = 0.0;  // unbinned, when pixelSizeGiven
    bool pixelSizeGiven = false;
    bool any = false;  // some detector option was given
};

// Limits of the detector options, as the detector settings dialog has them.
inline constexpr int kMaxDetectorSide = 100000;
inline constexpr int kMaxBinning = 64;
inline constexpr double kMaxDetectorAngleDeg = 180.0;

struct Options {
    std::string phase;  // name, index or file
    EulerDeg euler{0.0, 0.0, 0.0};
    double kv = 20.0;
    int reflectors = 100;
    BandStyle style = BandStyle::Solid;
    ViewKind view = ViewKind::Map;
    PictureSize size;
    bool sizeGiven = false;
    DetectorOptions detector;
    std::string out;
    std::string eulerList;  // empty: one picture at euler
    bool strict = false;
    bool help = false;
};

struct ParsedArgs {
    bool ok = false;
    std::string error;  // for !ok: what is wrong, naming the option
    Options options;
};

// Reads the arguments after the word "render".  Options take their value as the next
// argument or after '=' (--kv=30).
ParsedArgs parseRenderArgs(const std::vector<std::string>& args);

// "WxH" or "W x H" (x or X), each side 1..maxSide.
bool parsePictureSize(std::string_view text, PictureSize& size, int maxSide = 8000);

// Three finite numbers separated by commas and/or blanks.
bool parseEulerTriple(std::string_view text, EulerDeg& angles);

// bruker, edax (or tsl), width, emsoft4, emsoft5 (or emsoft).
bool parsePcConvention(std::string_view text, PcConvention& convention);

struct EulerListEntry {
    int line = 0;  // 1-based line number in the list
    EulerDeg angles{};
};

struct EulerList {
    bool ok = false;
    int badLine = 0;  // for !ok: the first unreadable line
    std::vector<EulerListEntry> entries;
};

// One triple a line (CSV or blank-separated); blank lines and '#' comments (whole lines
// or line ends) are skipped.
EulerList parseEulerList(std::string_view text);

// The output name for one picture: {n} the list line number, {phi1} {Phi} {phi2} the
// angles (shortest decimal form).  Other text stays as it is.
std::string expandOutputName(std::string_view pattern, int n, const EulerDeg& angles);
// Whether the pattern names every picture of a batch apart ({n} or an angle).
bool outputNameVaries(std::string_view pattern);

// The progress bar shows only on a terminal, and only for a batch expected to take longer
// than a second (estimated from the pictures done so far).
bool progressBarWanted(bool stderrIsTerminal, double elapsedSeconds, int done, int total);
// The bar's text for done of total: "[#####.....]  12/100".
std::string progressBarText(int done, int total, int width = 40);

}  // namespace ebsp::render
