// Binary PGM (P5, 8 or 16 bits) reading and writing, so that the command and the tests load
// patterns without Qt.
#pragma once

#include <string>
#include <string_view>

#include "fit_image.h"

namespace ebsp::fit {

// Parses a whole P5 file (maxval 1..65535; 16-bit samples big-endian) into grey values
// 0..maxval.  Comments (#) in the header are allowed; trailing bytes are not.  At most
// 16384 x 16384 pixels.  False with a reason otherwise.
bool readPgm(std::string_view bytes, GreyImage& image, std::string& error);

// P5 with the given maxval (255 or 65535), values rounded and clamped.
std::string writePgm(const GreyImage& image, int maxValue = 255);

// Reads a file into bytes; false with a reason.
bool readFileBytes(const std::string& path, std::string& bytes, std::string& error);

}  // namespace ebsp::fit
