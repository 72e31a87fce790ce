// Fuzz target: the PGM reader; an accepted image writes and reads back unchanged.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "pgm_image.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::string bytes(reinterpret_cast<const char*>(data), size);
    // Half the inputs get a valid header in front, so the sample path is reached.
    if (size > 0 && data[0] % 2 == 1) {
        const int width = 1 + data[0] % 7;
        const std::size_t rest = size - 1;
        const bool wide = (data[0] & 0x10) != 0;
        const std::size_t height = rest / (width * (wide ? 2 : 1));
        bytes =
            "P5\n" + std::to_string(width) + " " + std::to_string(height) +
            (wide ? "\n65535\n" : "\n255\n") +
            std::string(reinterpret_cast<const char*>(data + 1), height * width * (wide ? 2 : 1));
    }
    ebsp::fit::GreyImage image;
    std::string error;
    if (!ebsp::fit::readPgm(bytes, image, error)) {
        if (error.empty()) std::abort();
        return 0;
    }
    if (image.width < 1 || image.height < 1 ||
        image.pixels.size() != static_cast<std::size_t>(image.width) * image.height)
        std::abort();
    ebsp::fit::GreyImage back;
    if (!ebsp::fit::readPgm(ebsp::fit::writePgm(image, 65535), back, error) ||
        back.pixels != image.pixels)
        std::abort();
    return 0;
}
