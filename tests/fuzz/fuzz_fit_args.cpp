// Fuzz target: the fit command's argument parser on word lists cut from the input (raw, or
// edits of a valid command line), and the number parser against strtod.
#include <clocale>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "fit_text.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::string text;
    if (size > 0 && data[0] % 2 == 0) {
        text.assign(reinterpret_cast<const char*>(data + 1), size - 1);
    } else {
        text =
            "--phase\n2\n--pattern\np.pgm\n--euler\n1,2,3\n--pc\n0.5,0.3,0.6\n--convention\nedax\n"
            "--tilt\n-4.5\n--binning\n8\n--kv\n15\n--refine-pc";
        for (std::size_t i = 1; i + 1 < size; i += 2) {
            const std::size_t at = data[i] % text.size();
            text[at] = static_cast<char>(data[i + 1]);
        }
    }
    std::vector<std::string> words(1);
    for (char c : text) {
        if (c == '\n')
            words.emplace_back();
        else
            words.back().push_back(c);
    }
    ebsp::fit::FitArguments parsed;
    std::string error;
    if (ebsp::fit::parseFitArguments(words, parsed, error)) {
        if (!parsed.help &&
            (parsed.convention < 0 || parsed.convention > 4 || parsed.binning < 1 ||
             !(parsed.voltageKv > 0.0) || !std::isfinite(parsed.euler[0]) || parsed.phase.empty()))
            std::abort();
    } else if (error.empty()) {
        std::abort();
    }
    // Every word that parses as a number reads the same through strtod.
    for (const std::string& w : words) {
        double v = 0.0;
        if (!ebsp::fit::parseNumber(w, v)) continue;
        char* end = nullptr;
        const double reference = std::strtod(w.c_str(), &end);
        if (end != w.c_str() + w.size() || reference != v || !std::isfinite(v)) std::abort();
    }
    return 0;
}
