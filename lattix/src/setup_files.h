// Readers of the setup data (SYMGEN, APU) and of crystal files: whole files into memory, parsed
// from text.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "lattixtype.h"

namespace lattix {

// Status numbers shared by InitCrySet, GetInitIoStatus and ErrMsg.
// (The numbers themselves live in the C header.)
constexpr std::uint16_t kStatusOk = LATTIX_STATUS_OK;
constexpr std::uint16_t kStatusOutOfMemory = LATTIX_STATUS_OUT_OF_MEMORY;
constexpr std::uint16_t kStatusFileNotFound = LATTIX_STATUS_FILE_NOT_FOUND;
constexpr std::uint16_t kStatusPathNotFound = LATTIX_STATUS_PATH_NOT_FOUND;
constexpr std::uint16_t kStatusTooManyOpenFiles = LATTIX_STATUS_TOO_MANY_OPEN_FILES;
constexpr std::uint16_t kStatusAccessDenied = LATTIX_STATUS_ACCESS_DENIED;
constexpr std::uint16_t kStatusReadError = LATTIX_STATUS_READ_ERROR;
constexpr std::uint16_t kStatusInvalidNumber = LATTIX_STATUS_INVALID_NUMBER;
constexpr std::uint16_t kStatusFileTooLarge = LATTIX_STATUS_FILE_TOO_LARGE;
// A count, text or path that does not fit its field (more than 3 generators,
// more operators than SymOps holds, APU counts outside 0..5, a resolved path
// longer than FileName), or a Laue group outside 1..11.
constexpr std::uint16_t kStatusRangeError = LATTIX_STATUS_RANGE_ERROR;
constexpr std::uint16_t kStatusNoCell = LATTIX_STATUS_NO_CELL;
// A crystal file whose first line is not an accepted version tag.
constexpr std::uint16_t kStatusRefusedVersion = LATTIX_STATUS_REFUSED_VERSION;

// Nothing the library needs lies further in, and a device or runaway file
// must not exhaust memory.
constexpr std::size_t kMaxFileBytes = LATTIX_MAX_FILE_BYTES;

// Reads a whole file; 0 or the status of the failure (numbering above, else
// the platform's error number).  Anything but a regular file is refused
// unopened with kStatusAccessDenied, a file over kMaxFileBytes with
// kStatusFileTooLarge; a failed read leaves contents empty.
std::uint16_t readWholeFile(const std::string& path, std::string& contents);

// A cursor over a text with the reading rules of the data files: numbers are
// tokens separated by characters below code 33 (line ends included), text
// fields run to the end of their line, and reading past the end yields 0 or an
// empty text.  Lines end in LF, CR LF or a lone CR.
class TextReader {
  public:
    explicit TextReader(std::string_view text) : m_text(text) {}

    // True when nothing remains.
    bool atEnd() const { return m_pos >= m_text.size(); }
    // True when only characters below code 33 remain.
    bool atEndOfData() const;
    // Next token after skipping characters below code 33; empty at the end.
    std::string_view nextToken();
    // A missing token reads as 0 and succeeds; a token that is not a number
    // (or does not fit an int32) fails.
    bool readInteger(std::int32_t& value);
    bool readReal(double& value);
    // At most maxChars characters of the current line, stopping before its end.
    std::string_view readChars(std::size_t maxChars);
    // Moves past the end of the current line; returns what was skipped.
    std::string_view skipLine();

  private:
    bool atLineEnd() const;
    std::string_view m_text;
    std::size_t m_pos = 0;
};

// The generators of one Laue group as SYMGEN lists them.
struct GeneratorList {
    std::int32_t count = 0;       // 0..3
    std::int32_t orders[3] = {};  // 1 and above contribute rotations
    char axisTexts[3][7] = {};    // the six-character axis fields, NUL-terminated
};

// Reads the line of Laue group laue.  Fails with kStatusInvalidNumber for a
// non-number where a number is due and kStatusRangeError for more than 3
// generators, a negative count, or orders whose product exceeds 96.
std::uint16_t parseSymGen(std::string_view text, std::int32_t laue, GeneratorList& out);

// Reads the APU record of (laue, variant) into block, text fields only:
// Code, Values, counts, NormalCodes, DirTexts and the untrimmed NormalTexts;
// Dirs and Normals are zero.  The record is found by position (11 v0, 11 v1,
// 10 v0, ..., 1 v1); past the end of the file, or for a Laue group outside
// 1..11, it is the zero record.  Counts outside 0..5 fail with
// kStatusRangeError; text after a 15-character field is ignored.
std::uint16_t parseApuRecord(std::string_view text, std::int32_t laue, std::int32_t variant,
                             TApuBlock& block);

// Counts the records of an APU text, stopping at the first damaged one
// (whose status is returned; count then holds the records before it).
std::uint16_t countApuRecords(std::string_view text, std::int32_t& count);

// True for an accepted version tag ("VER2.2" .. "VER3.1"), any letter case.
bool isAcceptedVersionTag(std::string_view line);

// Reads lines 1..5 of a crystal file into Name, Reference, LaueGroup and
// A..Gamma, storing each field as it is read.  0, kStatusRefusedVersion, or
// kStatusInvalidNumber (then the fields before the bad one are written), also
// for a file that ends before its six cell values.
std::uint16_t parseCrystalFile(std::string_view text, TCrySet& cs);

// Removes characters below code 33 at both ends.
std::string_view trimBlanks(std::string_view text);

}  // namespace lattix
