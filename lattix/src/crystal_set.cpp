// The crystal set: lattice matrices, symmetry operators from SYMGEN, APU blocks, crystal files.
#include "crystal_set.h"

#include <cctype>
#include <cmath>
#include <cstring>
#include <filesystem>
#include <limits>
#include <numbers>
#include <system_error>
#include <vector>

#include "index_text.h"
#include "laue_tables.h"
#include "library_state.h"
#include "registry.h"
#include "setup_files.h"
#include "vecmath.h"

namespace lattix {

namespace {

// First maxChars characters of a NUL-terminated text (null reads as empty).
void copyCut(char* field, std::size_t fieldSize, const char* text) {
    std::size_t n = 0;
    if (text != nullptr) {
        while (n + 1 < fieldSize && text[n] != '\0')
            ++n;
        std::memcpy(field, text, n);
    }
    field[n] = '\0';
}

std::string setupFilePath(const char* name) {
    return systemDir() + kPathSeparator + name;
}

std::string readSetupFile(SetupFile file, const std::string& path, std::int32_t laue) {
    std::string contents;
    const std::uint16_t status = readWholeFile(path, contents);
    if (status != kStatusOk) throw IoError{status, file, path, laue};
    return contents;
}

TVec3D directionOf(const TCrySet& cs, std::string_view text) {
    TVec3D v;
    str2Vec(cs, true, text, v);
    return v;
}

}  // namespace

// ---- Lattice ------------------------------------------------------------------

std::uint16_t checkLattice(double a, double b, double c, double alpha, double beta, double gamma) {
    constexpr double kSingleMax = std::numeric_limits<float>::max();
    for (double value : {a, b, c, alpha, beta, gamma}) {
        if (!std::isfinite(value) || std::fabs(value) > kSingleMax) return kStatusInvalidNumber;
    }
    if (!(a > 0.0 && b > 0.0 && c > 0.0)) return kStatusNoCell;
    for (double angle : {alpha, beta, gamma}) {
        if (!(angle > 0.0 && angle < 180.0)) return kStatusNoCell;
    }
    constexpr double kDegree = std::numbers::pi / 180.0;
    const double ca = std::cos(alpha * kDegree);
    const double cb = std::cos(beta * kDegree);
    const double cg = std::cos(gamma * kDegree);
    // (V / abc)^2: not above 0 when the angles close no cell (10, 10, 170).
    const double shape = 1.0 + 2.0 * ca * cb * cg - ca * ca - cb * cb - cg * cg;
    if (!(shape >= 1e-12)) return kStatusNoCell;
    if (!(a * b * c * std::sqrt(shape) >= 1e-5)) return kStatusNoCell;
    return kStatusOk;
}

void buildLatticeMatrices(TCrySet& cs) {
    constexpr double kDegree = std::numbers::pi / 180.0;
    const double a = cs.A, b = cs.B, c = cs.C;
    const double ca = std::cos(cs.Alpha * kDegree);
    const double cb = std::cos(cs.Beta * kDegree);
    const double cg = std::cos(cs.Gamma * kDegree);
    const double sa = std::sin(cs.Alpha * kDegree);

    // c along Z, b in the b-c plane: the frame every operator and sector uses.
    TVec3D& va = cs.Direct.col[0];
    TVec3D& vb = cs.Direct.col[1];
    TVec3D& vc = cs.Direct.col[2];
    va = TVec3D{a * std::sqrt(1.0 + 2.0 * ca * cb * cg - ca * ca - cb * cb - cg * cg) / sa,
                a * (cg - ca * cb) / sa, a * cb};
    vb = TVec3D{0.0, b * sa, b * ca};
    vc = TVec3D{0.0, 0.0, c};
    inverseMatrix(cs.Direct, cs.DirectInv);  // a failed test keeps the old content

    const double f = 1.0 / dot(cross(va, vb), vc);
    cs.Recip.col[0] = scale(f, cross(vb, vc));
    cs.Recip.col[1] = scale(f, cross(vc, va));
    cs.Recip.col[2] = scale(f, cross(va, vb));
    // |det| = 1/V: cells above 1e5 cubed units fail the absolute test.
    inverseMatrix(cs.Recip, cs.RecipInv);
}

double latticeSpacing(const TCrySet& cs, int h, int k, int l) {
    const TVec3D g = matMul3x1(cs.Recip, TVec3D{double(h), double(k), double(l)});
    return 1.0 / std::sqrt(g.x * g.x + g.y * g.y + g.z * g.z);
}

bool miller2Vec(const TCrySet& cs, bool direction, const TIndices& idx, TVec3D& out) {
    const TVec3D v{double(idx.v[0]), double(idx.v[1]), double(idx.v[2])};
    out = matMul3x1(direction ? cs.Direct : cs.Recip, v);
    return unityVector(out);
}

void str2Vec(const TCrySet& cs, bool direction, std::string_view text, TVec3D& out) {
    TIndices idx{};
    if (!parseIndices(text, direction, idx)) idx = TIndices{};
    miller2Vec(cs, direction, idx, out);
}

void setPseudoSymmetry(TCrySet& cs, std::uint8_t kind, float u, float v, float w, float value) {
    // A count outside 0..3 (full, or a record never initialised) adds nothing.
    if (cs.PseudoCount < 0 || cs.PseudoCount >= LATTIX_PSEUDO_CAPACITY) return;
    TVec3D axis = matMul3x1(cs.Direct, TVec3D{double(u), double(v), double(w)});
    unityVector(axis);  // a zero axis becomes (1, 0, 0)
    TPseudoSym& entry = cs.Pseudo[cs.PseudoCount];
    ++cs.PseudoCount;
    entry.Kind = kind;
    entry.Axis = axis;
    entry.Value = value;
}

// ---- Symmetry operators -------------------------------------------------------

void expandSymOps(TCrySet& cs, const GeneratorList& generators) {
    constexpr int kCapacity = static_cast<int>(sizeof cs.SymOps / sizeof cs.SymOps[0]);
    cs.SymOps[0] = identity();
    int count = 1;
    const int n = generators.count < 0 ? 0 : (generators.count > 3 ? 3 : generators.count);
    for (int g = 0; g < n; ++g) {
        const TVec3D axis = directionOf(cs, generators.axisTexts[g]);
        const int order = generators.orders[g];
        const int existing = count;
        for (int j = 0; j < existing; ++j) {
            for (int turn = 1; turn < order; ++turn) {
                if (count == kCapacity) {  // never reached with parsed data
                    cs.SymOpCount = count;
                    return;
                }
                // Each new operator is an existing one turned right-handedly
                // about the generator axis.
                const double angle = turn * 2.0 * std::numbers::pi / order;
                TMat3D& op = cs.SymOps[count];
                for (int column = 0; column < 3; ++column) {
                    op.col[column] = coneVector(axis, cs.SymOps[j].col[column], angle);
                    unityVector(op.col[column]);
                }
                ++count;
            }
        }
    }
    cs.SymOpCount = count;
}

void buildSymOps(TCrySet& cs) {
    // A valid identity-only set first, so a failed read leaves no stale count.
    cs.SymOps[0] = identity();
    cs.SymOpCount = 1;
    const std::string path = setupFilePath("SYMGEN");
    const std::string text = readSetupFile(SetupFile::SymGen, path, cs.LaueGroup);
    GeneratorList generators;
    const std::uint16_t status = parseSymGen(text, cs.LaueGroup, generators);
    if (status != kStatusOk) throw IoError{status, SetupFile::SymGen, path, cs.LaueGroup};
    expandSymOps(cs, generators);
}

// ---- APU blocks ---------------------------------------------------------------

void convertApuBlock(const TCrySet& cs, TApuBlock& block) {
    constexpr int kEntries = LATTIX_APU_ENTRY_CAPACITY;
    const int dirs =
        block.DirCount < 0 ? 0 : (block.DirCount > kEntries ? kEntries : block.DirCount);
    const int normals =
        block.NormalCount < 0 ? 0 : (block.NormalCount > kEntries ? kEntries : block.NormalCount);
    for (int i = 0; i < dirs; ++i) {
        block.DirTexts[i][LATTIX_INDEX_TEXT_SIZE - 1] = '\0';
        block.Dirs[i] = directionOf(cs, block.DirTexts[i]);
    }
    for (int i = 0; i < normals; ++i) {
        char(&text)[LATTIX_INDEX_TEXT_SIZE] = block.NormalTexts[i];
        text[LATTIX_INDEX_TEXT_SIZE - 1] = '\0';
        const std::string trimmed(trimBlanks(text));
        std::memcpy(text, trimmed.c_str(), trimmed.size() + 1);
        const std::size_t x = trimmed.find('x');
        if (x != std::string::npos) {
            // The plane through two directions: left x right, made unit.
            block.Normals[i] = cross(directionOf(cs, std::string_view(trimmed).substr(0, x)),
                                     directionOf(cs, std::string_view(trimmed).substr(x + 1)));
            unityVector(block.Normals[i]);
        } else {
            block.Normals[i] = directionOf(cs, trimmed);
        }
    }
}

void readApuBlock(const TCrySet& cs, int variant, TApuBlock& block) {
    block = TApuBlock{};
    const std::string path = setupFilePath("APU");
    const std::string text = readSetupFile(SetupFile::Apu, path, cs.LaueGroup);
    const std::uint16_t status = parseApuRecord(text, cs.LaueGroup, variant, block);
    if (status != kStatusOk) throw IoError{status, SetupFile::Apu, path, cs.LaueGroup};
    convertApuBlock(cs, block);
}

// ---- Initialisation -----------------------------------------------------------

void completeCrySet(TCrySet& cs) {
    buildLatticeMatrices(cs);
    buildSymOps(cs);
    readApuBlock(cs, 0, cs.Apu0);
    readApuBlock(cs, 1, cs.Apu1);
    cs.EulerLimits = eulerLimits(cs.LaueGroup);
    cs.PseudoCount = 0;
    // The set is complete but names no Laue group: the caller must not use it.
    if (!isLaueIndex(cs.LaueGroup)) {
        throw IoError{kStatusRangeError, SetupFile::None, std::string(), cs.LaueGroup};
    }
}

void initCrySet2(TCrySet& cs, const char* name, const char* reference, float a, float b, float c,
                 float alpha, float beta, float gamma, std::int32_t laue, std::int32_t spaceGroup) {
    cs.FileName[0] = '\0';
    copyCut(cs.Name, sizeof cs.Name, name);
    copyCut(cs.Reference, sizeof cs.Reference, reference);
    cs.A = a;
    cs.B = b;
    cs.C = c;
    cs.Alpha = alpha;
    cs.Beta = beta;
    cs.Gamma = gamma;
    cs.LaueGroup = laue;
    cs.SpaceGroup = spaceGroup;
    completeCrySet(cs);
}

// ---- Crystal files ------------------------------------------------------------

bool wildcardMatch(std::string_view pattern, std::string_view name) {
    auto lower = [](char ch) {
        return static_cast<char>(std::tolower(static_cast<unsigned char>(ch)));
    };
    // Greedy match with one back-tracking point: the last star seen.
    std::size_t p = 0, n = 0, star = std::string_view::npos, resume = 0;
    while (n < name.size()) {
        if (p < pattern.size() && (pattern[p] == '?' || lower(pattern[p]) == lower(name[n]))) {
            ++p;
            ++n;
        } else if (p < pattern.size() && pattern[p] == '*') {
            star = p++;
            resume = n;
        } else if (star != std::string_view::npos) {
            p = star + 1;
            n = ++resume;
        } else {
            return false;
        }
    }
    while (p < pattern.size() && pattern[p] == '*')
        ++p;
    return p == pattern.size();
}

std::string findCrystalFile(std::string_view name) {
    namespace fs = std::filesystem;
    std::error_code ec;
    const std::string given(name);
    if (!given.empty() && fs::exists(given, ec) && !fs::is_directory(given, ec)) {
        const fs::path absolute = fs::absolute(given, ec);
        return ec ? given : absolute.string();
    }

#if defined(_WIN32)
    const std::size_t cut = name.find_last_of("\\/:");
#else
    const std::size_t cut = name.find_last_of('/');
#endif
    const std::string_view bare = cut == std::string_view::npos ? name : name.substr(cut + 1);
    if (bare.empty()) return given;

    const std::string common = systemDir() + kPathSeparator + "COMMON";
    // Directory order is arbitrary: take the first match in name order.
    std::vector<std::string> matches;
    for (fs::directory_iterator it(common, ec), end; !ec && it != end; it.increment(ec)) {
        const std::string entry = it->path().filename().string();
        std::error_code typeError;
        // Only regular files (or links to them): folders, FIFOs and devices are no crystal files.
        if (it->is_regular_file(typeError) && wildcardMatch(bare, entry)) matches.push_back(entry);
    }
    if (matches.empty()) return given;
    std::string first = matches.front();
    for (const std::string& m : matches) {
        if (m < first) first = m;
    }
    return common + kPathSeparator + first;
}

bool readCrystalFile(TCrySet& cs) {
    std::string contents;
    std::uint16_t status =
        readWholeFile(std::string(cs.FileName, strnlen(cs.FileName, sizeof cs.FileName)), contents);
    if (status == kStatusOk) status = parseCrystalFile(contents, cs);
    if (status != kStatusOk) {
        lastStatus = status;
        return false;
    }
    return true;
}

std::uint16_t initCrySet(TCrySet& cs, const char* fileName) {
    const std::string path = findCrystalFile(textView(fileName));
    if (path.empty()) {
        lastStatus = kStatusFileNotFound;
        return lastStatus;
    }
    lastStatus = kStatusOk;
    // FileName holds 80 characters; a longer path would open another file.
    if (path.size() >= sizeof cs.FileName) {
        cs.FileName[0] = '\0';
        lastStatus = kStatusRangeError;
        return lastStatus;
    }
    std::memcpy(cs.FileName, path.c_str(), path.size() + 1);
    if (!readCrystalFile(cs)) return lastStatus;
    // A cell that closes no cell would give NaN matrices and operators about a
    // fallback axis: refused before anything is built.
    const std::uint16_t cell = checkLattice(cs.A, cs.B, cs.C, cs.Alpha, cs.Beta, cs.Gamma);
    if (cell != kStatusOk) {
        lastStatus = cell;
        return lastStatus;
    }
    cs.SpaceGroup = 0;
    completeCrySet(cs);
    return lastStatus;
}

}  // namespace lattix
