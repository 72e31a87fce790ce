// Index texts: [uvw] and (hkl) as written by users and data files, three- and
// four-index (Miller-Bravais) forms, and indices written back as text.
#include "index_text.h"

#include <charconv>
#include <cstdint>
#include <cstring>
#include <limits>

namespace lattix {

namespace {

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

// Arithmetic on caller-supplied indices is done in 64 bits and wrapped back to
// 32, so that absurd inputs give absurd indices instead of undefined behaviour.
std::int32_t wrap32(std::int64_t v) {
    return static_cast<std::int32_t>(static_cast<std::uint32_t>(v));
}

// A signed decimal integer with optional leading blanks and an optional sign;
// nothing may follow the digits.  Out of the 32-bit range counts as unreadable.
bool readInteger(std::string_view piece, std::int32_t& value) {
    std::size_t i = 0;
    while (i < piece.size() && piece[i] == ' ')
        ++i;
    bool negative = false;
    if (i < piece.size() && (piece[i] == '+' || piece[i] == '-')) {
        negative = piece[i] == '-';
        ++i;
    }
    if (i == piece.size()) return false;
    std::int64_t magnitude = 0;
    for (; i < piece.size(); ++i) {
        if (!isDigit(piece[i])) return false;
        magnitude = magnitude * 10 + (piece[i] - '0');
        if (magnitude > std::int64_t{1} << 31) return false;
    }
    const std::int64_t v = negative ? -magnitude : magnitude;
    if (v > std::numeric_limits<std::int32_t>::max()) return false;
    value = static_cast<std::int32_t>(v);
    return true;
}

std::string_view trimControls(std::string_view text) {
    auto low = [](char c) { return static_cast<unsigned char>(c) < 33; };
    while (!text.empty() && low(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && low(text.back()))
        text.remove_suffix(1);
    return text;
}

std::int64_t magnitude(std::int32_t v) {
    return v < 0 ? -std::int64_t{v} : std::int64_t{v};
}

}  // namespace

std::string_view indexTextView(const char* text16) {
    if (text16 == nullptr) return {};
    const void* nul = std::memchr(text16, '\0', 16);
    const std::size_t n =
        nul ? static_cast<std::size_t>(static_cast<const char*>(nul) - text16) : 16;
    return std::string_view(text16, n);
}

std::string_view textView(const char* text) {
    if (text == nullptr) return {};
    return std::string_view(text);
}

bool parseIndices(std::string_view text, bool direction, TIndices& out) {
    text = trimControls(text);
    if (text.size() < 3) return false;
    const bool spaced = text.find(' ') != std::string_view::npos;

    std::int32_t values[4] = {0, 0, 0, 0};
    int count = 0;
    std::size_t start = 0;
    const std::size_t last = text.size() - 1;
    for (std::size_t i = 0; i <= last; ++i) {
        const char c = text[i];
        std::size_t end = 0;  // one past the piece
        if (i == last) {
            end = i + 1;
        } else if (!spaced && isDigit(c)) {
            end = i + 1;
        } else if (spaced && c == ' ' && i > 0 && isDigit(text[i - 1])) {
            end = i;  // the blank is not part of the piece
        } else {
            continue;
        }
        std::int32_t value = 0;
        if (!readInteger(text.substr(start, end - start), value)) return false;
        if (count < 4) {
            values[count++] = value;
            start = i + 1;
        }
    }

    if (count < 3) return false;
    if (values[0] == 0 && values[1] == 0 && values[2] == 0 && (count < 4 || values[3] == 0))
        return false;
    if (count == 3) {
        out = TIndices{{values[0], values[1], values[2], 0}};
        return true;
    }
    if (std::int64_t{values[0]} + values[1] + values[2] != 0) return false;
    const TIndices four{{values[0], values[1], values[2], values[3]}};
    bravais2Miller(direction, four, out);
    return true;
}

void reduceCommonDivisor(int* values, int count) {
    std::int64_t m = 10000;
    for (int i = 0; i < count; ++i) {
        const std::int64_t a = magnitude(values[i]);
        if (a != 0 && a < m) m = a;
    }
    for (std::int64_t d = m; d >= 2; --d) {
        bool divides = true;
        for (int i = 0; i < count && divides; ++i)
            divides = values[i] % d == 0;
        if (divides) {
            for (int i = 0; i < count; ++i)
                values[i] = static_cast<int>(values[i] / d);
            return;
        }
    }
}

void miller2Bravais(bool direction, const TIndices& in, TIndices& out) {
    const std::int64_t a = in.v[0], b = in.v[1], c = in.v[2];
    if (direction) {
        int r[4] = {wrap32(2 * a - b), wrap32(2 * b - a), wrap32(-(a + b)), wrap32(3 * c)};
        reduceCommonDivisor(r, 4);
        out = TIndices{{r[0], r[1], r[2], r[3]}};
    } else {
        out = TIndices{{wrap32(a), wrap32(b), wrap32(-(a + b)), wrap32(c)}};
    }
}

void bravais2Miller(bool direction, const TIndices& in, TIndices& out) {
    int r[3];
    if (direction) {
        const std::int64_t t = in.v[2];
        r[0] = wrap32(in.v[0] - t);
        r[1] = wrap32(in.v[1] - t);
        r[2] = in.v[3];
    } else {
        r[0] = in.v[0];
        r[1] = in.v[1];
        r[2] = in.v[3];
    }
    reduceCommonDivisor(r, 3);
    out = TIndices{{r[0], r[1], r[2], 0}};
}

std::size_t indicesToText(bool direction, int laue, const TIndices& idx, bool four, char* out,
                          std::size_t outSize) {
    if (out == nullptr || outSize == 0) return 0;
    TIndices v = idx;
    int n = 3;
    if (four && laue >= 6 && laue <= 9) {
        miller2Bravais(direction, idx, v);
        n = 4;
    }
    std::size_t len = 0;
    auto put = [&](char c) {
        if (len + 1 < outSize) out[len++] = c;
    };
    for (int i = 0; i < n; ++i) {
        // Multi-digit values are flagged by a leading period so the text stays readable.
        if (magnitude(v.v[i]) > 9) put('.');
        char digits[16];
        const auto res = std::to_chars(digits, digits + sizeof digits, v.v[i]);
        for (const char* p = digits; p != res.ptr; ++p)
            put(*p);
    }
    out[len] = '\0';
    return len;
}

}  // namespace lattix
