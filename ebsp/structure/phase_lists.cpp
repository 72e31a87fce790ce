// Assembles the built-in reflector lists from the model and the fixed families.
#include "phase_lists.h"

#include <algorithm>
#include <cmath>
#include <fstream>
#include <map>
#include <set>
#include <sstream>
#include <stdexcept>

namespace reflector_model {
namespace {

std::vector<std::string> contentLines(const std::string& path) {
    std::ifstream in(path);
    if (!in) {
        throw std::runtime_error("cannot open " + path);
    }
    std::vector<std::string> lines;
    for (std::string line; std::getline(in, line);) {
        const auto first = line.find_first_not_of(" \t\r");
        if (first != std::string::npos && line[first] != '#') {
            lines.push_back(line);
        }
    }
    return lines;
}

int storedIntensity(double intensity, double maximum) {
    return static_cast<int>(std::lround(10000.0 * intensity / maximum));
}

}  // namespace

std::vector<PhaseSpec> readPhaseSpecs(const std::string& path) {
    std::vector<PhaseSpec> specs;
    for (const std::string& line : contentLines(path)) {
        std::istringstream in(line);
        PhaseSpec spec;
        if (!(in >> spec.index >> spec.structureFile >> spec.tableEntries >> spec.tableFamilies)) {
            throw std::runtime_error(path + ": bad line '" + line + "'");
        }
        std::getline(in >> std::ws, spec.name);
        specs.push_back(spec);
    }
    return specs;
}

std::vector<FixedRun> readFixedRuns(const std::string& path, int phaseIndex) {
    std::vector<FixedRun> runs;
    for (const std::string& line : contentLines(path)) {
        std::istringstream in(line);
        int phase = 0;
        FixedRun run;
        if (!(in >> phase >> run.family >> run.intensity)) {
            throw std::runtime_error(path + ": bad line '" + line + "'");
        }
        Miller hkl;
        while (in >> hkl[0] >> hkl[1] >> hkl[2]) {
            run.members.push_back(hkl);
        }
        if (!in.eof() || run.members.empty()) {
            throw std::runtime_error(path + ": bad indices in '" + line + "'");
        }
        if (phase == phaseIndex) {
            runs.push_back(std::move(run));
        }
    }
    return runs;
}

PhaseList buildPhaseList(const PhaseSpec& spec, const Structure& structure,
                         const std::vector<FixedRun>& fixed, bool requireConvergence,
                         double sLimit) {
    std::set<Miller> fixedSet;
    for (const FixedRun& run : fixed) {
        for (const Miller& hkl : run.members) {
            fixedSet.insert(friedelCanonical(hkl));
        }
    }
    for (double sMax = 1.0; sMax <= sLimit; sMax += 0.25) {
        const FamilyTable table = computeFamilies(structure, sMax);
        PhaseList list;
        list.spec = spec;
        list.structure = structure;
        list.sMax = sMax;

        // The fixed families first, verbatim.
        int lastIntensity = 10000;
        for (const FixedRun& run : fixed) {
            for (const Miller& hkl : run.members) {
                list.entries.push_back({hkl, run.intensity, run.family});
            }
            list.familyCount = std::max(list.familyCount, run.family);
            lastIntensity = run.intensity;
        }

        // Which computed family each reflection belongs to, to compare with the fixed ones.
        std::map<Miller, std::size_t> familyOf;
        for (std::size_t f = 0; f < table.families.size(); ++f) {
            for (const Miller& hkl : table.families[f].members) {
                familyOf[hkl] = f;
            }
        }
        for (int family = 1; family <= list.familyCount; ++family) {
            FixedFamilyCheck check;
            check.family = family;
            std::set<std::size_t> sources;
            std::size_t memberCount = 0;
            bool first = true;
            for (const FixedRun& run : fixed) {
                if (run.family != family) {
                    continue;
                }
                if (first) {
                    check.givenIntensity = run.intensity;
                    first = false;
                }
                for (const Miller& hkl : run.members) {
                    const auto it = familyOf.find(friedelCanonical(hkl));
                    sources.insert(it == familyOf.end() ? table.families.size() : it->second);
                    ++memberCount;
                }
            }
            if (sources.size() == 1 && *sources.begin() < table.families.size()) {
                const Family& source = table.families[*sources.begin()];
                check.computedIntensity = storedIntensity(source.intensity, table.maximumIntensity);
                check.sameMembers = source.members.size() == memberCount;
            }
            list.checks.push_back(check);
        }

        // Then the strongest computed families, whole, while they fit.
        const Family* firstLeftOut = nullptr;
        for (const Family& family : table.families) {
            const auto shared =
                std::count_if(family.members.begin(), family.members.end(),
                              [&](const Miller& hkl) { return fixedSet.count(hkl) != 0; });
            if (shared == static_cast<long>(family.members.size())) {
                continue;
            }
            if (shared != 0) {
                ++list.droppedFamilies;
                continue;
            }
            if (list.entries.size() + family.members.size() > kListCapacity) {
                firstLeftOut = &family;
                break;
            }
            int intensity = storedIntensity(family.intensity, table.maximumIntensity);
            if (intensity > lastIntensity) {
                intensity = lastIntensity;
                ++list.clampedFamilies;
            }
            lastIntensity = intensity;
            ++list.familyCount;
            for (const Miller& hkl : family.members) {
                // The catalogue stores indices as signed bytes.
                for (int v : hkl) {
                    if (v < -128 || v > 127) {
                        throw std::runtime_error(spec.structureFile + ": index out of byte range");
                    }
                }
                list.entries.push_back({hkl, intensity, list.familyCount});
            }
        }
        // Nothing outside the sphere may outrank the first family left out.
        if (firstLeftOut != nullptr &&
            intensityBoundBeyond(structure, sMax) < firstLeftOut->intensity) {
            return list;
        }
        if (!requireConvergence && sMax + 0.25 > sLimit) {
            list.converged = false;
            return list;
        }
    }
    throw std::runtime_error(spec.structureFile +
                             ": reflector search does not converge within s <= 2");
}

PhaseList buildPhaseListFromDirectory(const std::string& dataDirectory, const PhaseSpec& spec) {
    const Structure structure = readStructureFile(dataDirectory + "/" + spec.structureFile);
    return buildPhaseList(spec, structure,
                          readFixedRuns(dataDirectory + "/given_families.txt", spec.index));
}

}  // namespace reflector_model
