// ebsp-tool phase: a built-in or loaded phase as the program sees it - the
// description lines, the Laue group given to the library, notes, and the
// reflector list as CSV.
#include <charconv>
#include <cstdio>
#include <iostream>
#include <string>
#include <vector>

#include "commands.h"
#include "lattixLib.h"
#include "phase_catalogue.h"
#include "user_phase.h"

namespace ebsp_tool {

const char* const kPhaseUsage = "phase FILE|N [--reflectors N] [--block N]";

namespace {

// The catalogue's texts are Windows Latin-1; the terminal wants UTF-8.
std::string latin1ToUtf8(const std::string& text) {
    std::string out;
    for (unsigned char c : text) {
        if (c < 0x80) {
            out += static_cast<char>(c);
        } else {
            out += static_cast<char>(0xC0 | (c >> 6));
            out += static_cast<char>(0x80 | (c & 0x3F));
        }
    }
    return out;
}

bool parseCount(const std::string& text, long low, long high, long& value) {
    const char* end = text.data() + text.size();
    const auto result = std::from_chars(text.data(), end, value);
    return result.ec == std::errc() && result.ptr == end && value >= low && value <= high;
}

int fail(const std::string& message) {
    std::cerr << "ebsp-tool phase: " << message << "\n";
    return kExitBadInput;
}

// Entries of the first whole families that hold at most limit reflectors.
std::size_t wholeFamilyCut(const TPhaseRecord& phase, std::size_t limit) {
    const std::size_t used = UsedReflectorCount(phase);
    std::size_t cut = 0;
    for (std::size_t i = 0; i < used; ++i) {
        const bool familyEnds =
            i + 1 == used || phase.Reflectors[i + 1].Family != phase.Reflectors[i].Family;
        if (familyEnds) {
            if (i + 1 > limit) {
                break;
            }
            cut = i + 1;
        }
    }
    return cut;
}

}  // namespace

int runPhase(const std::vector<std::string>& args) {
    std::string source;
    long reflectorLimit = static_cast<long>(kPhaseReflectorCapacity);
    long block = -1;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (arg == "--reflectors" || arg == "--block") {
            if (i + 1 == args.size()) {
                return fail(arg + " needs a number");
            }
            const std::string& value = args[++i];
            const bool ok = arg == "--reflectors" ? parseCount(value, 1, 200, reflectorLimit)
                                                  : parseCount(value, 1, 100000, block);
            if (!ok) {
                return fail(arg + " '" + value + "': not a number in range");
            }
        } else if (arg.size() > 1 && arg[0] == '-' && !source.empty()) {
            return fail("unknown option '" + arg + "'");
        } else if (source.empty()) {
            source = arg;
        } else {
            return fail("more than one phase given ('" + arg + "')\nusage: ebsp-tool " +
                        kPhaseUsage);
        }
    }
    if (source.empty()) {
        return fail(std::string("no phase given\nusage: ebsp-tool ") + kPhaseUsage);
    }

    TPhaseRecord phase;
    std::int32_t laue = 0;
    std::vector<std::string> notes;
    long index = 0;
    if (source.find_first_not_of("0123456789") == std::string::npos) {
        if (!parseCount(source, 1, kPhaseCount, index)) {
            return fail("built-in phase '" + source + "': phases are numbered 1 to " +
                        std::to_string(kPhaseCount));
        }
        BuildPhase(static_cast<std::uint32_t>(index), phase);
        laue = LaueIndexOfCode(phase.SpaceGroupCode);
    } else {
        ebsp_structure::UserPhaseResult loaded =
            ebsp_structure::loadUserPhase(source, static_cast<int>(block < 0 ? -1 : block - 1));
        if (!loaded.ok) {
            return fail(loaded.error);
        }
        phase = loaded.phase.record;
        laue = loaded.phase.laueGroup;
        notes = loaded.phase.notes;
    }

    TCrySet crySet{};
    InitCrySet2(&crySet, "name", "ref", phase.A, phase.B, phase.C, phase.Alpha, phase.Beta,
                phase.Gamma, laue, phase.SpaceGroupCode);
    if (const std::uint16_t status = GetInitIoStatus(); status != 0) {
        return fail("the setup data (SYMGEN, APU) could not be read: status " +
                    std::to_string(status));
    }
    for (const std::string& line : PhaseDescriptionLines(phase, crySet)) {
        std::cout << latin1ToUtf8(line) << "\n";
    }
    char symbol[8] = "";
    LaueGroupShortText(laue, symbol);
    std::cout << "Laue group=" << laue << " (" << symbol << ")\n";
    for (const std::string& note : notes) {
        std::cout << "Note: " << note << "\n";
    }
    std::cout << "h,k,l,d,intensity,family\n";
    const std::size_t count = wholeFamilyCut(phase, static_cast<std::size_t>(reflectorLimit));
    for (std::size_t i = 0; i < count; ++i) {
        const TPhaseReflector& r = phase.Reflectors[i];
        char line[96];
        std::snprintf(line, sizeof line, "%d,%d,%d,%.5f,%u,%u\n", r.h, r.k, r.l,
                      LatticeSpacing(&crySet, r.h, r.k, r.l), static_cast<unsigned>(r.Intensity),
                      static_cast<unsigned>(r.Family));
        std::cout << line;
    }
    std::cout.flush();
    return std::cout ? kExitOk : kExitBadInput;
}

}  // namespace ebsp_tool
