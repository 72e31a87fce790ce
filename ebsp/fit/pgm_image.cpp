// Netpbm P5 grey images: header tokens separated by white space, comments to the line's end,
// exactly one white-space byte before the samples.
#include "pgm_image.h"

#include <algorithm>
#include <cmath>
#include <fstream>
#include <iterator>

namespace ebsp::fit {

namespace {

bool isSpace(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f';
}

// Reads one unsigned header number at pos, skipping white space and comments before it.
bool headerNumber(std::string_view bytes, std::size_t& pos, long& value) {
    while (pos < bytes.size()) {
        if (isSpace(bytes[pos])) {
            ++pos;
        } else if (bytes[pos] == '#') {
            while (pos < bytes.size() && bytes[pos] != '\n' && bytes[pos] != '\r')
                ++pos;
        } else {
            break;
        }
    }
    long v = 0;
    std::size_t digits = 0;
    while (pos < bytes.size() && bytes[pos] >= '0' && bytes[pos] <= '9') {
        if (++digits > 6) return false;
        v = v * 10 + (bytes[pos] - '0');
        ++pos;
    }
    if (digits == 0) return false;
    value = v;
    return true;
}

}  // namespace

bool readPgm(std::string_view bytes, GreyImage& image, std::string& error) {
    if (bytes.size() < 2 || bytes[0] != 'P' || bytes[1] != '5') {
        error = "not a binary PGM (P5) image";
        return false;
    }
    std::size_t pos = 2;
    long width = 0, height = 0, maxValue = 0;
    if (pos >= bytes.size() || !(isSpace(bytes[pos]) || bytes[pos] == '#') ||
        !headerNumber(bytes, pos, width) || !headerNumber(bytes, pos, height) ||
        !headerNumber(bytes, pos, maxValue) || pos >= bytes.size() || !isSpace(bytes[pos])) {
        error = "malformed PGM header";
        return false;
    }
    ++pos;
    if (width < 1 || height < 1 || width > 16384 || height > 16384 || maxValue < 1 ||
        maxValue > 65535) {
        error = "PGM size or maximum value out of range";
        return false;
    }
    const std::size_t sampleBytes = maxValue > 255 ? 2 : 1;
    const std::size_t count = static_cast<std::size_t>(width) * static_cast<std::size_t>(height);
    if (bytes.size() - pos != count * sampleBytes) {
        error = "PGM data do not match its size";
        return false;
    }
    GreyImage out(static_cast<int>(width), static_cast<int>(height));
    const auto* data = reinterpret_cast<const unsigned char*>(bytes.data() + pos);
    for (std::size_t i = 0; i < count; ++i) {
        const unsigned v = sampleBytes == 2 ? (data[2 * i] << 8u) | data[2 * i + 1] : data[i];
        if (v > static_cast<unsigned>(maxValue)) {
            error = "PGM sample above its maximum value";
            return false;
        }
        out.pixels[i] = static_cast<float>(v);
    }
    image = std::move(out);
    return true;
}

std::string writePgm(const GreyImage& image, int maxValue) {
    maxValue = std::clamp(maxValue, 1, 65535);
    std::string bytes = "P5\n" + std::to_string(image.width) + " " + std::to_string(image.height) +
                        "\n" + std::to_string(maxValue) + "\n";
    for (float f : image.pixels) {
        const long v =
            std::clamp(std::lround(std::isfinite(f) ? f : 0.0f), 0L, static_cast<long>(maxValue));
        if (maxValue > 255) bytes.push_back(static_cast<char>(v >> 8));
        bytes.push_back(static_cast<char>(v & 0xFF));
    }
    return bytes;
}

bool readFileBytes(const std::string& path, std::string& bytes, std::string& error) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        error = "cannot open \"" + path + "\"";
        return false;
    }
    bytes.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    if (in.bad()) {
        error = "cannot read \"" + path + "\"";
        return false;
    }
    return true;
}

}  // namespace ebsp::fit
