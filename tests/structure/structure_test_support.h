// Helpers of the user-phase tests: loading the test structures, and the
// independent intensity oracle (gemmi's own structure-factor calculator on the
// file as written, in its own setting).
#pragma once

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <complex>
#include <string>
#include <vector>

#include <gemmi/c4322.hpp>
#include <gemmi/cif.hpp>
#include <gemmi/sfcalc.hpp>
#include <gemmi/smcif.hpp>

#include "lattixLib.h"
#include "user_phase.h"

namespace structure_test {

using Miller = std::array<int, 3>;
using IndexMap = std::array<std::array<int, 3>, 3>;  // file's indices = map * loaded indices

inline constexpr IndexMap kSame = {{{1, 0, 0}, {0, 1, 0}, {0, 0, 1}}};

inline std::string dataPath(const std::string& name) {
    return std::string(STRUCTURE_TEST_DATA_DIR) + "/" + name;
}

inline ebsp_structure::UserPhase loadOk(const std::string& name) {
    const ebsp_structure::UserPhaseResult result = ebsp_structure::loadUserPhase(dataPath(name));
    EXPECT_TRUE(result.ok) << name << ": " << result.error;
    return result.phase;
}

inline std::vector<TPhaseReflector> usedEntries(const TPhaseRecord& record) {
    return {record.Reflectors.begin(),
            record.Reflectors.begin() + static_cast<std::ptrdiff_t>(UsedReflectorCount(record))};
}

inline Miller canonical(Miller h) {
    for (int v : h) {
        if (v != 0) {
            return v > 0 ? h : Miller{-h[0], -h[1], -h[2]};
        }
    }
    return h;
}

inline Miller applyMap(const IndexMap& m, const Miller& h) {
    Miller out{};
    for (int i = 0; i < 3; ++i)
        for (int j = 0; j < 3; ++j)
            out[i] += m[i][j] * h[j];
    return out;
}

// |F|^2 with gemmi's calculator: the file read by gemmi alone, symmetry
// images from the named space group, occupancies made crystallographic.
class Oracle {
  public:
    Oracle(const std::string& file, const std::string& spaceGroup, const IndexMap& map)
        : map_(map) {
        small_ = gemmi::make_small_structure_from_block(
            gemmi::cif::read_file(dataPath(file)).sole_block());
        const gemmi::SpaceGroup* sg = gemmi::find_spacegroup_by_name(spaceGroup);
        EXPECT_NE(sg, nullptr) << spaceGroup;
        small_.cell.set_cell_images_from_spacegroup(sg);
        small_.change_occupancies_to_crystallographic();
    }

    // Intensity of loaded indices h.
    double intensity(const Miller& h) {
        gemmi::StructureFactorCalculator<gemmi::C4322<double>> calc(small_.cell);
        const Miller f = applyMap(map_, h);
        return std::norm(calc.calculate_sf_from_small_structure(small_, {f[0], f[1], f[2]}));
    }

    double spacing(const Miller& h) const {
        const Miller f = applyMap(map_, h);
        return small_.cell.calculate_d({f[0], f[1], f[2]});
    }

  private:
    gemmi::SmallStructure small_;
    IndexMap map_;
};

// The crystal set the program builds for a phase record.
inline void initCrySetOf(TCrySet& cs, const TPhaseRecord& record, int laue) {
    InitCrySet2(&cs, "name", "ref", record.A, record.B, record.C, record.Alpha, record.Beta,
                record.Gamma, laue, record.SpaceGroupCode);
    ASSERT_EQ(GetInitIoStatus(), 0);
}

// Element (row i, column j), from 0, of a library matrix.
inline double element(const TMat3D& m, int i, int j) {
    const TVec3D& column = m.col[j];
    return i == 0 ? column.x : (i == 1 ? column.y : column.z);
}

// Indices of the plane that the library's operator op makes of plane h, or
// false when they are not integers.
inline bool turnedPlane(const TCrySet& cs, int op, const Miller& h, Miller& out) {
    double g[3] = {0, 0, 0};
    for (int i = 0; i < 3; ++i)
        for (int j = 0; j < 3; ++j)
            g[i] += element(cs.Recip, i, j) * h[j];
    double turned[3] = {0, 0, 0};
    for (int i = 0; i < 3; ++i)
        for (int j = 0; j < 3; ++j)
            turned[i] += element(cs.SymOps[op], i, j) * g[j];
    for (int i = 0; i < 3; ++i) {
        double v = 0;
        for (int j = 0; j < 3; ++j)
            v += element(cs.RecipInv, i, j) * turned[j];
        out[static_cast<std::size_t>(i)] = static_cast<int>(std::lround(v));
        if (std::fabs(v - out[static_cast<std::size_t>(i)]) > 1e-3) {
            return false;
        }
    }
    return true;
}

}  // namespace structure_test
