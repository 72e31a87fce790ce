// Loading a user phase: file kind, structure or crystal file, reflector list,
// Laue group and notes.
#include "user_phase.h"

#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <set>
#include <sstream>

#include "cif_structure.h"
#include "lattixCell.h"
#include "lattixLib.h"
#include "laue_choice.h"
#include "phase_lists.h"

namespace ebsp_structure {
namespace {

constexpr std::size_t kMaxFileBytes = 64u << 20;
constexpr std::size_t kNameCapacity = 49;
// Reflections times atoms of the largest search sphere: a few seconds.
constexpr double kMaxSearchWork = 1e8;
// InitCrySet's status for a crystal file whose first line is no accepted tag.
constexpr std::uint16_t kStatusRefusedVersion = 300;

std::string laueSymbol(int laue) {
    char buffer[8] = "?";
    LaueGroupShortText(laue, buffer);
    return buffer;
}

bool readWholeFile(const std::string& path, std::string& text, std::string& error) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        error = path + ": cannot open the file";
        return false;
    }
    std::error_code ec;
    if (std::filesystem::is_directory(path, ec)) {
        error = path + ": is a folder, not a file";
        return false;
    }
    text.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    if (text.size() > kMaxFileBytes) {
        error = path + ": the file is larger than 64 MB";
        return false;
    }
    return true;
}

bool looksLikeCrystalFile(const std::string& text) {
    std::size_t i = 0;
    while (i < text.size() && (text[i] == ' ' || text[i] == '\t')) {
        ++i;
    }
    return text.size() >= i + 4 && std::toupper(static_cast<unsigned char>(text[i])) == 'V' &&
           std::toupper(static_cast<unsigned char>(text[i + 1])) == 'E' &&
           std::toupper(static_cast<unsigned char>(text[i + 2])) == 'R' &&
           std::isdigit(static_cast<unsigned char>(text[i + 3]));
}

void setLattice(TPhaseRecord& record, double a, double b, double c, double alpha, double beta,
                double gamma) {
    record.A = static_cast<float>(a);
    record.B = static_cast<float>(b);
    record.C = static_cast<float>(c);
    record.Alpha = static_cast<float>(alpha);
    record.Beta = static_cast<float>(beta);
    record.Gamma = static_cast<float>(gamma);
}

// LatticeText reads only the cell and LaueGroup of a crystal set, so the
// lines need no setup data.
void describe(UserPhase& phase) {
    TCrySet cs{};
    cs.A = phase.record.A, cs.B = phase.record.B, cs.C = phase.record.C;
    cs.Alpha = phase.record.Alpha, cs.Beta = phase.record.Beta, cs.Gamma = phase.record.Gamma;
    cs.LaueGroup = phase.laueGroup;
    phase.description = PhaseDescriptionLines(phase.record, cs);
}

void checkByteRange(const reflector_model::Miller& hkl, const std::string& label) {
    for (int v : hkl) {
        if (v < -128 || v > 127) {
            throw StructureFileError(label + ": the cell is too large for indices of -128..127");
        }
    }
}

std::string lowerLaueNote(int given, int ofCode) {
    std::string text = "Laue group " + laueSymbol(given) + " given to the library";
    if (given < ofCode || laueGroupOrder(given) < laueGroupOrder(ofCode)) {
        text += ", not " + laueSymbol(ofCode) + " of the space group: in the library's axes";
        if (ofCode == 7 || ofCode == 9 || ofCode == 5) {
            text += " (two-fold axes along a)";
        }
        text += " the computed intensities lack that symmetry";
    } else {
        text += ": the computed intensities have more symmetry than the space group's " +
                laueSymbol(ofCode);
    }
    return text;
}

UserPhaseResult fromCif(const std::string& text, const std::string& label, int blockIndex) {
    UserPhaseResult result;
    try {
        CifStructure cif = readCifStructure(text, label, blockIndex);
        UserPhase& phase = result.phase;
        phase.path = label;
        phase.blockName = cif.blockName;
        phase.hasStructure = true;
        phase.notes = cif.notes;
        const reflector_model::Structure& s = cif.structure;

        phase.laueGroup = chooseLaueGroup(s);
        const int ofCode = LaueIndexOfCode(cif.spaceGroupNumber);
        if (phase.laueGroup != ofCode) {
            phase.notes.push_back(lowerLaueNote(phase.laueGroup, ofCode));
        }

        reflector_model::PhaseSpec spec;
        spec.structureFile = s.fileName;
        spec.name = cif.name;
        // A search sphere of radius s sums over about 16.8 s^3 V reflections,
        // each over every atom: large cells stop early rather than run for minutes.
        const double positions = static_cast<double>(reflector_model::unitCellSites(s).size());
        const double sLimit = std::clamp(
            std::cbrt(kMaxSearchWork / (16.8 * reflector_model::cellVolume(s) * positions)), 1.0,
            2.0);
        const reflector_model::PhaseList list =
            reflector_model::buildPhaseList(spec, s, {}, false, sLimit);
        if (list.entries.empty()) {
            throw StructureFileError(label + ": the structure scatters into no reflection");
        }
        if (!list.converged) {
            char limitNote[96];
            std::snprintf(limitNote, sizeof limitNote,
                          "reflectors searched up to sin(theta)/lambda = %.2f/angstrom only",
                          list.sMax);
            phase.notes.push_back(limitNote);
        }
        TPhaseRecord& record = phase.record;
        record.Name = cif.name.substr(0, kNameCapacity);
        setLattice(record, s.a, s.b, s.c, s.alpha, s.beta, s.gamma);
        record.SpaceGroupCode = static_cast<std::uint8_t>(cif.spaceGroupNumber);
        record.Symbol = cif.symbol;
        // Monoclinic structures are always in unique axis b by now.
        record.Setting = cif.spaceGroupNumber >= 3 && cif.spaceGroupNumber <= 15 ? "b uni" : "";
        for (std::size_t i = 0; i < list.entries.size() && i < kPhaseReflectorCapacity; ++i) {
            const auto& e = list.entries[i];
            record.Reflectors[i] = {
                static_cast<std::int8_t>(e.hkl[0]), static_cast<std::int8_t>(e.hkl[1]),
                static_cast<std::int8_t>(e.hkl[2]), static_cast<std::uint16_t>(e.intensity),
                static_cast<std::uint8_t>(e.family)};
        }
        describe(phase);
        result.ok = true;
    } catch (const std::exception& e) {
        result = {};
        result.error = e.what();
    }
    return result;
}

struct Form {
    std::vector<reflector_model::Miller> members;
    double d = 0;
};

// The Laue group's forms of every plane, largest spacing first, whole forms
// up to the list's capacity.
std::vector<Form> formsBySpacing(const CellValues& cell, const std::vector<IndexMatrix>& ops,
                                 const std::string& label) {
    reflector_model::Structure lattice;
    lattice.a = cell.a, lattice.b = cell.b, lattice.c = cell.c;
    lattice.alpha = cell.alpha, lattice.beta = cell.beta, lattice.gamma = cell.gamma;
    std::vector<std::pair<double, reflector_model::Miller>> planes;
    for (double q = 1.0;; q *= 1.5) {
        planes.clear();
        const int hMax = static_cast<int>(q * cell.a), kMax = static_cast<int>(q * cell.b),
                  lMax = static_cast<int>(q * cell.c);
        for (int h = 0; h <= hMax; ++h)
            for (int k = -kMax; k <= kMax; ++k)
                for (int l = -lMax; l <= lMax; ++l) {
                    const reflector_model::Miller hkl{h, k, l};
                    if (hkl == reflector_model::Miller{0, 0, 0} ||
                        reflector_model::friedelCanonical(hkl) != hkl) {
                        continue;
                    }
                    const double inverseD2 = reflector_model::inverseSpacingSquared(lattice, hkl);
                    if (inverseD2 <= q * q) {
                        planes.push_back({1.0 / std::sqrt(inverseD2), hkl});
                    }
                }
        if (planes.size() > kPhaseReflectorCapacity || q > 64) {
            break;
        }
    }
    std::sort(planes.begin(), planes.end(), [](const auto& p, const auto& q) {
        return p.first > q.first || (p.first == q.first && p.second < q.second);
    });
    std::set<reflector_model::Miller> seen;
    std::vector<Form> forms;
    std::size_t total = 0;
    for (const auto& [d, hkl] : planes) {
        if (seen.count(hkl) != 0) {
            continue;
        }
        Form form;
        form.d = d;
        for (const IndexMatrix& op : ops) {
            const auto member = reflector_model::friedelCanonical(applyToIndices(op, hkl));
            if (seen.insert(member).second) {
                checkByteRange(member, label);
                form.members.push_back(member);
            }
        }
        std::sort(form.members.begin(), form.members.end());
        if (total + form.members.size() > kPhaseReflectorCapacity) {
            break;
        }
        total += form.members.size();
        forms.push_back(std::move(form));
    }
    return forms;
}

// InitCrySet keeps at most 80 characters of the path; a longer one is read
// from a short temporary copy.
std::uint16_t initFromCrystalFile(TCrySet& cs, const std::string& path, const std::string& text) {
    std::error_code ec;
    const std::string absolute = std::filesystem::absolute(path, ec).string();
    if (!ec && absolute.size() < sizeof cs.FileName) {
        return InitCrySet(&cs, absolute.c_str());
    }
    char name[] = "/tmp/ebspXXXXXX";
    const int fd = mkstemp(name);
    if (fd < 0) {
        return InitCrySet(&cs, path.c_str());
    }
    const bool written = write(fd, text.data(), text.size()) == static_cast<ssize_t>(text.size());
    close(fd);
    const std::uint16_t status = written ? InitCrySet(&cs, name) : InitCrySet(&cs, path.c_str());
    std::remove(name);
    return status;
}

UserPhaseResult fromCrystalFile(const std::string& path, const std::string& text) {
    UserPhaseResult result;
    TCrySet cs{};
    const std::uint16_t status = initFromCrystalFile(cs, path, text);
    if (status != 0) {
        char message[64] = "";
        ErrMsg(message);
        result.error = path + ": " + message + " (status " + std::to_string(status) + ")";
        if (status == kStatusRefusedVersion) {
            result.error = path +
                           ":1: the version tag is not one the library reads (VER2.2 to "
                           "VER3.1) (status " +
                           std::to_string(status) + ")";
        }
        if (GetInitIoStatus() != 0) {
            result.error = path + ": the setup data (SYMGEN, APU) could not be read (status " +
                           std::to_string(status) + ")";
        }
        return result;
    }
    const CellValues cell{cs.A, cs.B, cs.C, cs.Alpha, cs.Beta, cs.Gamma};
    if (!latticeIsUsable(cell.a, cell.b, cell.c, cell.alpha, cell.beta, cell.gamma)) {
        result.error = path + ":5: the lattice values close no cell";
        return result;
    }
    if (std::max({cell.a, cell.b, cell.c}) > 60.0) {
        result.error = path + ":5: a cell edge above 60 is too large for the reflector search";
        return result;
    }
    std::vector<IndexMatrix> ops;
    if (!laueOperatorsOnIndices(cell, cs.LaueGroup, ops)) {
        result.error = path + ":4: the cell does not have the symmetry of Laue group " +
                       std::to_string(cs.LaueGroup) + " (" + laueSymbol(cs.LaueGroup) + ")";
        return result;
    }
    try {
        const std::vector<Form> forms = formsBySpacing(cell, ops, path);
        if (forms.empty()) {
            throw StructureFileError(path + ":5: the cell is too small: no plane within reach");
        }
        UserPhase& phase = result.phase;
        phase.path = path;
        phase.laueGroup = cs.LaueGroup;
        phase.notes.push_back("no structure: bands by spacing only");
        TPhaseRecord& record = phase.record;
        record.Name = std::string(cs.Name).substr(0, kNameCapacity);
        if (record.Name.empty()) {
            record.Name = std::filesystem::path(path).filename().string().substr(0, kNameCapacity);
        }
        record.A = cs.A, record.B = cs.B, record.C = cs.C;
        record.Alpha = cs.Alpha, record.Beta = cs.Beta, record.Gamma = cs.Gamma;
        record.SpaceGroupCode = static_cast<std::uint8_t>(240 + cs.LaueGroup);
        record.Setting = std::to_string(cs.LaueGroup);
        record.Symbol = laueSymbol(cs.LaueGroup);
        std::size_t i = 0;
        int family = 0;
        for (const Form& form : forms) {
            ++family;
            const std::uint16_t intensity = spacingIntensity(form.d, forms.front().d);
            for (const auto& hkl : form.members) {
                record.Reflectors[i++] = {
                    static_cast<std::int8_t>(hkl[0]), static_cast<std::int8_t>(hkl[1]),
                    static_cast<std::int8_t>(hkl[2]), intensity, static_cast<std::uint8_t>(family)};
            }
        }
        describe(phase);
        result.ok = true;
    } catch (const std::exception& e) {
        result = {};
        result.error = e.what();
    }
    return result;
}

}  // namespace

// The library's own check, so the program refuses exactly what InitCrySet2 cannot use.
bool latticeIsUsable(double a, double b, double c, double alpha, double beta, double gamma) {
    return CheckLattice(a, b, c, alpha, beta, gamma) == 0;
}

std::uint16_t spacingIntensity(double d, double dMax) {
    const double ratio = dMax > 0 ? d / dMax : 0;
    return static_cast<std::uint16_t>(std::clamp(std::lround(10000.0 * ratio * ratio), 1L, 10000L));
}

UserPhaseResult loadUserPhaseFromCifText(const std::string& text, const std::string& label,
                                         int blockIndex) {
    return fromCif(text, label, blockIndex);
}

UserPhaseResult loadUserPhase(const std::string& path, int blockIndex) {
    UserPhaseResult result;
    std::string text;
    if (!readWholeFile(path, text, result.error)) {
        return result;
    }
    if (looksLikeCrystalFile(text)) {
        return fromCrystalFile(path, text);
    }
    return fromCif(text, path, blockIndex);
}

std::vector<std::string> structureBlocksOfFile(const std::string& path) {
    std::string text, error;
    if (!readWholeFile(path, text, error)) {
        return {};
    }
    try {
        return structureBlockNames(text, path);
    } catch (const std::exception&) {
        return {};
    }
}

}  // namespace ebsp_structure
