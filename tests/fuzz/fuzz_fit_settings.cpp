// Fuzz target: the pattern-fit settings reader, on raw bytes and on byte edits of a valid file;
// whatever it accepts must write and read back to the same settings.
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "fit_settings.h"

namespace {

const char kValid[] =
    "{\n  \"format\": \"ebsp-pattern-fit\",\n  \"version\": 1,\n  \"pattern\": \"a\\u00e9.png\",\n"
    "  \"phase\": \"Iron bcc\",\n  \"kV\": 20,\n  \"detector\": {\"width\": 80, \"height\": 60, "
    "\"binning\": 8, \"pixelSize\": 59.2, \"sampleTilt\": 70, \"tilt\": 0, \"azimuthal\": 0, "
    "\"twist\": 0},\n  \"convention\": \"emsoft5\",\n  \"pc\": [64, 144, 17049.6],\n"
    "  \"euler\": [1, 2, 3],\n  \"fom\": null\n}\n";

bool close(double a, double b) {
    return std::fabs(a - b) <= 1e-9 * (1.0 + std::fabs(a));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::string text;
    if (size > 0 && data[0] % 2 == 0) {
        text.assign(reinterpret_cast<const char*>(data + 1), size - 1);
    } else {
        text = kValid;
        // Pairs of (position, byte) edit the valid file.
        for (std::size_t i = 1; i + 1 < size; i += 2) {
            const std::size_t at = data[i] * 3 % text.size();
            if (data[i + 1] == 0)
                text.erase(at, 1);
            else
                text[at] = static_cast<char>(data[i + 1]);
            if (text.empty()) break;
        }
    }
    ebsp::fit::FitSettings first;
    std::string error;
    if (!ebsp::fit::readFitSettings(text, first, error)) {
        if (error.empty()) std::abort();
        return 0;
    }
    const std::string written = ebsp::fit::writeFitSettings(first);
    ebsp::fit::FitSettings second;
    if (written.empty() || !ebsp::fit::readFitSettings(written, second, error)) std::abort();
    if (second.pattern != first.pattern || second.phase != first.phase ||
        second.convention != first.convention || second.hasFom != first.hasFom ||
        second.detector.Width != first.detector.Width ||
        !close(second.detector.PCz, first.detector.PCz) || second.eulerDeg[0] != first.eulerDeg[0])
        std::abort();
    return 0;
}
