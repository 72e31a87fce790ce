// Fuzz target: the render command's readers on arbitrary bytes: the Euler list, the size
// and triple texts, the argument list (split at NULs) and the output name pattern.
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "render_args.h"

using namespace ebsp::render;

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
    parseEulerTriple(text, angles);

    std::vector<std::string> args;
    std::size_t start = 0;
    for (std::size_t i = 0; i <= text.size(); ++i) {
        if (i == text.size() || text[i] == '\0') {
            args.push_back(text.substr(start, i - start));
            start = i + 1;
        }
    }
    const ParsedArgs parsed = parseRenderArgs(args);
    if (parsed.ok && !parsed.options.help &&
        (parsed.options.phase.empty() || parsed.options.out.empty()))
        std::abort();
    if (!parsed.ok && parsed.error.empty()) std::abort();
    const std::string bar = progressBarText(static_cast<int>(size % 7), static_cast<int>(size % 5));
    (void)bar;
    return 0;
}
