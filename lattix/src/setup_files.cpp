// Readers of the setup data (SYMGEN, APU) and of crystal files.
#include "setup_files.h"

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <limits>
#include <system_error>

namespace lattix {

namespace {

bool isBlank(char c) {
    return static_cast<unsigned char>(c) < 33;
}
bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

// ENOENT does not tell a missing file from a missing folder; the folder decides.
std::uint16_t statusOfMissing(const std::string& path) {
    const std::filesystem::path parent = std::filesystem::path(path).parent_path();
    if (parent.empty()) return kStatusFileNotFound;
    std::error_code ec;
    return std::filesystem::is_directory(parent, ec) ? kStatusFileNotFound : kStatusPathNotFound;
}

std::uint16_t statusOfErrno(int error, const std::string& path) {
    switch (error) {
        case ENOENT:
            return statusOfMissing(path);
        case ENOTDIR:
        case ENAMETOOLONG:
            return kStatusPathNotFound;
        case EMFILE:
        case ENFILE:
            return kStatusTooManyOpenFiles;
        case EACCES:
        case EPERM:
        case EISDIR:
            return kStatusAccessDenied;
        case ENOMEM:
            return kStatusOutOfMemory;
        case EIO:
            return kStatusReadError;
        default:
            return static_cast<std::uint16_t>(error);
    }
}

// [+-]digits, or a decimal number with optional fraction and exponent; no
// locale, no "inf"/"nan", no hexadecimal.
bool isIntegerToken(std::string_view t) {
    std::size_t i = (!t.empty() && (t[0] == '+' || t[0] == '-')) ? 1 : 0;
    if (i == t.size()) return false;
    for (; i < t.size(); ++i) {
        if (!isDigit(t[i])) return false;
    }
    return true;
}

bool isRealToken(std::string_view t) {
    std::size_t i = (!t.empty() && (t[0] == '+' || t[0] == '-')) ? 1 : 0;
    std::size_t digits = 0;
    while (i < t.size() && isDigit(t[i])) {
        ++i;
        ++digits;
    }
    if (i < t.size() && t[i] == '.') {
        ++i;
        while (i < t.size() && isDigit(t[i])) {
            ++i;
            ++digits;
        }
    }
    if (digits == 0) return false;
    if (i < t.size() && (t[i] == 'e' || t[i] == 'E')) {
        ++i;
        if (i < t.size() && (t[i] == '+' || t[i] == '-')) ++i;
        std::size_t expDigits = 0;
        while (i < t.size() && isDigit(t[i])) {
            ++i;
            ++expDigits;
        }
        if (expDigits == 0) return false;
    }
    return i == t.size();
}

std::string_view withoutPlus(std::string_view t) {
    return (!t.empty() && t[0] == '+') ? t.substr(1) : t;
}

// Copies text into a fixed field, NUL-terminated; text must fit.
template <std::size_t N>
void storeText(char (&field)[N], std::string_view text) {
    const std::size_t n = text.size() < N - 1 ? text.size() : N - 1;
    std::memcpy(field, text.data(), n);
    field[n] = '\0';
}

constexpr std::size_t kApuTextWidth = LATTIX_INDEX_TEXT_SIZE - 1;

}  // namespace

std::uint16_t readWholeFile(const std::string& path, std::string& contents) {
    contents.clear();
    // Opening a FIFO waits for a writer and a device may never end: anything
    // but a regular file (or a link to one) is refused before it is opened.
    std::error_code typeError;
    const std::filesystem::file_status type = std::filesystem::status(path, typeError);
    if (!typeError && std::filesystem::exists(type) && !std::filesystem::is_regular_file(type)) {
        return kStatusAccessDenied;
    }
    errno = 0;
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (file == nullptr) return statusOfErrno(errno != 0 ? errno : ENOENT, path);
    char buffer[8192];
    std::uint16_t status = kStatusOk;
    // One byte past the limit tells a file that is too large (even one that
    // grew after it was opened); it is refused, never read in part.
    while (contents.size() <= kMaxFileBytes) {
        const std::size_t want = std::min(sizeof buffer, kMaxFileBytes + 1 - contents.size());
        const std::size_t got = std::fread(buffer, 1, want, file);
        contents.append(buffer, got);
        if (got < want) {
            if (std::ferror(file)) status = statusOfErrno(errno != 0 ? errno : EIO, path);
            break;
        }
    }
    std::fclose(file);
    if (status == kStatusOk && contents.size() > kMaxFileBytes) status = kStatusFileTooLarge;
    if (status != kStatusOk) contents.clear();
    return status;
}

std::string_view trimBlanks(std::string_view text) {
    while (!text.empty() && isBlank(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && isBlank(text.back()))
        text.remove_suffix(1);
    return text;
}

// ---- TextReader ---------------------------------------------------------------

bool TextReader::atLineEnd() const {
    return m_pos >= m_text.size() || m_text[m_pos] == '\n' || m_text[m_pos] == '\r';
}

bool TextReader::atEndOfData() const {
    for (std::size_t i = m_pos; i < m_text.size(); ++i) {
        if (!isBlank(m_text[i])) return false;
    }
    return true;
}

std::string_view TextReader::nextToken() {
    while (m_pos < m_text.size() && isBlank(m_text[m_pos]))
        ++m_pos;
    const std::size_t start = m_pos;
    while (m_pos < m_text.size() && !isBlank(m_text[m_pos]))
        ++m_pos;
    return m_text.substr(start, m_pos - start);
}

bool TextReader::readInteger(std::int32_t& value) {
    const std::string_view token = nextToken();
    value = 0;
    if (token.empty()) return true;
    if (!isIntegerToken(token)) return false;
    const std::string_view digits = withoutPlus(token);
    const auto result = std::from_chars(digits.data(), digits.data() + digits.size(), value);
    return result.ec == std::errc() && result.ptr == digits.data() + digits.size();
}

bool TextReader::readReal(double& value) {
    const std::string_view token = nextToken();
    value = 0.0;
    if (token.empty()) return true;
    if (!isRealToken(token)) return false;
    const std::string_view number = withoutPlus(token);
    const auto result = std::from_chars(number.data(), number.data() + number.size(), value,
                                        std::chars_format::general);
    // Out of range (1e999) is no number either.
    return result.ec == std::errc() && result.ptr == number.data() + number.size();
}

std::string_view TextReader::readChars(std::size_t maxChars) {
    const std::size_t start = m_pos;
    while (m_pos - start < maxChars && !atLineEnd())
        ++m_pos;
    return m_text.substr(start, m_pos - start);
}

std::string_view TextReader::skipLine() {
    const std::size_t start = m_pos;
    while (!atLineEnd())
        ++m_pos;
    const std::string_view skipped = m_text.substr(start, m_pos - start);
    if (m_pos < m_text.size()) {
        if (m_text[m_pos] == '\r' && m_pos + 1 < m_text.size() && m_text[m_pos + 1] == '\n')
            ++m_pos;
        ++m_pos;
    }
    return skipped;
}

// ---- SYMGEN -------------------------------------------------------------------

std::uint16_t parseSymGen(std::string_view text, std::int32_t laue, GeneratorList& out) {
    out = GeneratorList{};
    TextReader reader(text);
    for (std::int32_t line = 1; line < laue && !reader.atEnd(); ++line)
        reader.skipLine();

    std::int32_t count = 0;
    if (!reader.readInteger(count)) return kStatusInvalidNumber;
    if (count < 0 || count > 3) return kStatusRangeError;
    long operators = 1;
    for (std::int32_t g = 0; g < count; ++g) {
        std::int32_t order = 0;
        if (!reader.readInteger(order)) return kStatusInvalidNumber;
        if (order > LATTIX_SYM_CAPACITY) return kStatusRangeError;
        if (order > 1) operators *= order;
        if (operators > LATTIX_SYM_CAPACITY) return kStatusRangeError;  // what SymOps holds
        out.orders[g] = order;
        storeText(out.axisTexts[g], reader.readChars(6));
    }
    reader.skipLine();
    out.count = count;
    return kStatusOk;
}

// ---- APU ----------------------------------------------------------------------

namespace {

// One record; the texts are stored untrimmed.
std::uint16_t readApuRecord(TextReader& reader, TApuBlock& block) {
    block = TApuBlock{};
    double values[4] = {};
    if (!reader.readInteger(block.Code)) return kStatusInvalidNumber;
    for (double& v : values) {
        if (!reader.readReal(v)) return kStatusInvalidNumber;
    }
    // File order: the third, second, first and fourth value.
    block.Values[2] = values[0];
    block.Values[1] = values[1];
    block.Values[0] = values[2];
    block.Values[3] = values[3];
    if (!reader.readInteger(block.DirCount) || !reader.readInteger(block.NormalCount)) {
        return kStatusInvalidNumber;
    }
    const std::int32_t dirCount = block.DirCount;
    const std::int32_t normalCount = block.NormalCount;
    constexpr std::int32_t kEntries = LATTIX_APU_ENTRY_CAPACITY;
    if (dirCount < 0 || dirCount > kEntries || normalCount < 0 || normalCount > kEntries) {
        block.DirCount = 0;
        block.NormalCount = 0;
        return kStatusRangeError;
    }
    reader.skipLine();
    for (std::int32_t i = 0; i < dirCount; ++i) {
        storeText(block.DirTexts[i], reader.readChars(kApuTextWidth));
        reader.skipLine();  // stored files may carry notes after the field
    }
    for (std::int32_t i = 0; i < normalCount; ++i) {
        if (!reader.readInteger(block.NormalCodes[i])) return kStatusInvalidNumber;
        storeText(block.NormalTexts[i], reader.readChars(kApuTextWidth));
        reader.skipLine();
    }
    return kStatusOk;
}

}  // namespace

std::uint16_t countApuRecords(std::string_view text, std::int32_t& count) {
    count = 0;
    TextReader reader(text);
    TApuBlock block;
    while (!reader.atEndOfData()) {
        const std::uint16_t status = readApuRecord(reader, block);
        if (status != kStatusOk) return status;
        ++count;
    }
    return kStatusOk;
}

std::uint16_t parseApuRecord(std::string_view text, std::int32_t laue, std::int32_t variant,
                             TApuBlock& block) {
    block = TApuBlock{};
    // Records run 11 v0, 11 v1, 10 v0, ..., 1 v1.  Outside 1..11 no position
    // matches: the search ends at the end of the file with the zero record
    // instead of running on for ever.
    const bool known =
        laue >= 1 && laue <= LATTIX_LAUE_GROUP_COUNT && (variant == 0 || variant == 1);
    const long target = known ? (long{LATTIX_LAUE_GROUP_COUNT} - laue) * 2 + variant
                              : std::numeric_limits<long>::max();
    TextReader reader(text);
    for (long position = 0;; ++position) {
        if (reader.atEndOfData()) {
            block = TApuBlock{};  // reading past the end yields zero records
            return kStatusOk;
        }
        const std::uint16_t status = readApuRecord(reader, block);
        if (status != kStatusOk) return status;
        if (position == target) return kStatusOk;
    }
}

// ---- Crystal files ------------------------------------------------------------

bool isAcceptedVersionTag(std::string_view line) {
    static constexpr std::string_view kTags[] = {"VER2.2", "VER2.3", "VER2.4",
                                                 "VER2.5", "VER3.0", "VER3.1"};
    for (std::string_view tag : kTags) {
        if (tag.size() != line.size()) continue;
        bool same = true;
        for (std::size_t i = 0; i < tag.size() && same; ++i) {
            char c = line[i];
            if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
            same = c == tag[i];
        }
        if (same) return true;
    }
    return false;
}

std::uint16_t parseCrystalFile(std::string_view text, TCrySet& cs) {
    TextReader reader(text);
    if (!isAcceptedVersionTag(reader.skipLine())) return kStatusRefusedVersion;

    storeText(cs.Name, reader.readChars(sizeof cs.Name - 1));
    reader.skipLine();
    storeText(cs.Reference, reader.readChars(sizeof cs.Reference - 1));
    reader.skipLine();

    std::int32_t laue = 0;
    if (!reader.readInteger(laue)) return kStatusInvalidNumber;
    cs.LaueGroup = laue;
    reader.skipLine();

    float* const cell[6] = {&cs.A, &cs.B, &cs.C, &cs.Alpha, &cs.Beta, &cs.Gamma};
    for (float* field : cell) {
        double value = 0.0;
        // A file that ends before its six cell values has no cell to read.
        if (reader.atEndOfData() || !reader.readReal(value)) return kStatusInvalidNumber;
        // A Single cannot hold more; beyond it the value is no usable number.
        if (value > std::numeric_limits<float>::max() ||
            value < -std::numeric_limits<float>::max()) {
            return kStatusInvalidNumber;
        }
        *field = static_cast<float>(value);
    }
    reader.skipLine();
    return kStatusOk;
}

}  // namespace lattix
