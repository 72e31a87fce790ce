// Fuzz target: the render command's readers on arbitrary bytes: the Euler list, the size,
// triple and convention texts, the argument list (split at NULs, with the detector's
// options checked against their limits) and the output name pattern.
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "render_args.h"

using namespace ebsp::render;

namespace {

// What a successful reading guarantees.
void checkParsed(const ParsedArgs& parsed) {
    if (parsed.ok && !parsed.options.help &&
        (parsed.options.phase.empty() || parsed.options.out.empty()))
        std::abort();
    if (!parsed.ok && parsed.error.empty()) std::abort();
    if (parsed.ok) {
        const DetectorOptions& d = parsed.options.detector;
        if (d.any && parsed.options.view != ViewKind::Detector) std::abort();
        if (d.conventionGiven && !d.pcGiven) std::abort();
        if (d.patternGiven &&
            (d.pattern.width < 1 || d.pattern.height < 1 || d.pattern.width > kMaxDetectorSide ||
             d.pattern.height > kMaxDetectorSide))
            std::abort();
        if (d.binning < 1 || d.binning > kMaxBinning) std::abort();
        if (d.pixelSizeGiven && !(d.pixelSizeUm > 0.0 && std::isfinite(d.pixelSizeUm)))
            std::abort();
        for (double angle : {d.sampleTiltDeg, d.tiltDeg})
            if (!(std::fabs(angle) <= kMaxDetectorAngleDeg)) std::abort();
        for (double v : d.pc)
            if (!std::isfinite(v)) std::abort();
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);

    const EulerList list = parseEulerList(text);
    if (list.ok) {
        int previous = 0;
        for (const EulerListEntry& entry : list.entries) {
            // Lines come in order and every angle read is a finite number.
            if (entry.line <= previous) std::abort();
            previous = entry.line;
            for (double a : entry.angles)
                if (!std::isfinite(a)) std::abort();
            const std::string name = expandOutputName(text.substr(0, 64), entry.line, entry.angles);
            if (name.size() > 64 * 32) std::abort();
        }
    } else if (list.badLine < 1 || !list.entries.empty()) {
        std::abort();
    }

    PictureSize picture;
    if (parsePictureSize(text, picture) &&
        (picture.width < 1 || picture.height < 1 || picture.width > 8000 || picture.height > 8000))
        std::abort();
    EulerDeg angles{};
    if (parseEulerTriple(text, angles))
        for (double a : angles)
            if (!std::isfinite(a)) std::abort();
    PcConvention convention = PcConvention::Bruker;
    if (parsePcConvention(text, convention) &&
        (static_cast<int>(convention) < 0 || static_cast<int>(convention) > 4))
        std::abort();

    std::vector<std::string> args;
    std::size_t start = 0;
    for (std::size_t i = 0; i <= text.size(); ++i) {
        if (i == text.size() || text[i] == '\0') {
            args.push_back(text.substr(start, i - start));
            start = i + 1;
        }
    }
    checkParsed(parseRenderArgs(args));
    // Every valued option with the input as its value, the detector's with their view.
    static const char* const kOptions[] = {
        "--euler", "--kv",       "--reflectors", "--style",      "--view",
        "--size",  "--detector", "--pc",         "--convention", "--sample-tilt",
        "--tilt",  "--binning",  "--pixel-size"};
    for (const char* option : kOptions)
        checkParsed(parseRenderArgs({"--phase", "1", "--out", "a.png", "--view", "detector", "--pc",
                                     "0.5,0.5,0.6", option, text}));
    const std::string bar = progressBarText(static_cast<int>(size % 7), static_cast<int>(size % 5));
    (void)bar;
    return 0;
}
