// Laue-group operators in the library's axes, turned into index matrices of a
// cell, and the invariance test of computed intensities under them.
#include "laue_choice.h"

#include <algorithm>
#include <cmath>
#include <map>
#include <numbers>

namespace ebsp_structure {
namespace {

using Mat = std::array<std::array<double, 3>, 3>;
using reflector_model::Miller;

struct Generator {
    int order;
    std::array<int, 3> axis;  // direction [uvw]
};

// The generators of each Laue group, as the library's SYMGEN data give them.
const std::vector<Generator>& generatorsOf(int laue) {
    static const std::vector<Generator> kGenerators[12] = {
        {},
        {},
        {{2, {0, 1, 0}}},
        {{2, {0, 0, 1}}, {2, {1, 0, 0}}},
        {{4, {0, 0, 1}}},
        {{4, {0, 0, 1}}, {2, {1, 0, 0}}},
        {{3, {0, 0, 1}}},
        {{3, {0, 0, 1}}, {2, {1, 0, 0}}},
        {{6, {0, 0, 1}}},
        {{6, {0, 0, 1}}, {2, {1, 0, 0}}},
        {{2, {0, 0, 1}}, {2, {1, 0, 0}}, {3, {1, 1, 1}}},
        {{4, {0, 0, 1}}, {2, {1, 0, 0}}, {3, {1, 1, 1}}},
    };
    return kGenerators[laue];
}

Mat multiply(const Mat& p, const Mat& q) {
    Mat r{};
    for (int i = 0; i < 3; ++i)
        for (int j = 0; j < 3; ++j)
            for (int k = 0; k < 3; ++k)
                r[i][j] += p[i][k] * q[k][j];
    return r;
}

Mat transpose(const Mat& m) {
    Mat t{};
    for (int i = 0; i < 3; ++i)
        for (int j = 0; j < 3; ++j)
            t[i][j] = m[j][i];
    return t;
}

Mat inverse(const Mat& m) {
    Mat inv{};
    const double det = m[0][0] * (m[1][1] * m[2][2] - m[1][2] * m[2][1]) -
                       m[0][1] * (m[1][0] * m[2][2] - m[1][2] * m[2][0]) +
                       m[0][2] * (m[1][0] * m[2][1] - m[1][1] * m[2][0]);
    for (int i = 0; i < 3; ++i)
        for (int j = 0; j < 3; ++j) {
            const int i1 = (j + 1) % 3, i2 = (j + 2) % 3, j1 = (i + 1) % 3, j2 = (i + 2) % 3;
            inv[i][j] = (m[i1][j1] * m[i2][j2] - m[i1][j2] * m[i2][j1]) / det;
        }
    return inv;
}

// Columns a, b, c in the library's Cartesian crystal frame (c along Z, b in
// the Y-Z plane).
Mat directMatrix(const CellValues& cell) {
    const double deg = std::numbers::pi / 180.0;
    const double ca = std::cos(cell.alpha * deg), cb = std::cos(cell.beta * deg),
                 cg = std::cos(cell.gamma * deg), sa = std::sin(cell.alpha * deg);
    const double root =
        std::sqrt(std::max(0.0, 1 + 2 * ca * cb * cg - ca * ca - cb * cb - cg * cg));
    Mat d{};
    d[0][0] = cell.a * root / sa;
    d[1][0] = cell.a * (cg - ca * cb) / sa;
    d[2][0] = cell.a * cb;
    d[1][1] = cell.b * sa;
    d[2][1] = cell.b * ca;
    d[2][2] = cell.c;
    return d;
}

Mat rotation(const std::array<double, 3>& axis, double angle) {
    const double n = std::sqrt(axis[0] * axis[0] + axis[1] * axis[1] + axis[2] * axis[2]);
    const double u[3] = {axis[0] / n, axis[1] / n, axis[2] / n};
    const double c = std::cos(angle), s = std::sin(angle);
    Mat r{};
    for (int i = 0; i < 3; ++i)
        for (int j = 0; j < 3; ++j)
            r[i][j] = (1 - c) * u[i] * u[j] + (i == j ? c : 0.0);
    r[0][1] -= s * u[2];
    r[0][2] += s * u[1];
    r[1][0] += s * u[2];
    r[1][2] -= s * u[0];
    r[2][0] -= s * u[1];
    r[2][1] += s * u[0];
    return r;
}

double sOf(const reflector_model::Structure& structure, const Miller& hkl) {
    return 0.5 * std::sqrt(reflector_model::inverseSpacingSquared(structure, hkl));
}

// |F|^2 of every Friedel-canonical reflection up to sCheck.
struct IntensityTable {
    std::map<Miller, double> values;
    double maximum = 0;
    double sCheck = 0;
};

IntensityTable intensityTable(const reflector_model::Structure& structure,
                              const std::vector<reflector_model::Site>& sites) {
    IntensityTable table;
    const Mat d = directMatrix(
        {structure.a, structure.b, structure.c, structure.alpha, structure.beta, structure.gamma});
    const double volume = std::fabs(d[0][0] * d[1][1] * d[2][2]);
    // About 20000 reflections at most, whatever the cell.
    const double count = 20000.0 * 3.0 / (2.0 * std::numbers::pi * volume);
    table.sCheck = std::min(0.7, 0.5 * std::cbrt(count));
    const double q = 2 * table.sCheck;
    const int hMax = static_cast<int>(q * structure.a), kMax = static_cast<int>(q * structure.b),
              lMax = static_cast<int>(q * structure.c);
    for (int h = 0; h <= hMax; ++h)
        for (int k = -kMax; k <= kMax; ++k)
            for (int l = -lMax; l <= lMax; ++l) {
                const Miller hkl{h, k, l};
                if (hkl == Miller{0, 0, 0} || reflector_model::friedelCanonical(hkl) != hkl ||
                    sOf(structure, hkl) > table.sCheck) {
                    continue;
                }
                const double value = reflector_model::structureIntensity(structure, sites, hkl);
                table.values[hkl] = value;
                table.maximum = std::max(table.maximum, value);
            }
    return table;
}

bool invariantUnder(const reflector_model::Structure& structure,
                    const std::vector<reflector_model::Site>& sites, const IntensityTable& table,
                    int laue) {
    std::vector<IndexMatrix> ops;
    if (!laueOperatorsOnIndices({structure.a, structure.b, structure.c, structure.alpha,
                                 structure.beta, structure.gamma},
                                laue, ops)) {
        return false;
    }
    const double tolerance = 1e-5 * table.maximum;
    for (const IndexMatrix& op : ops) {
        for (const auto& [hkl, value] : table.values) {
            const Miller turned = reflector_model::friedelCanonical(applyToIndices(op, hkl));
            const auto it = table.values.find(turned);
            const double other = it != table.values.end() ? it->second
                                                          : reflector_model::structureIntensity(
                                                                structure, sites, turned);
            if (std::fabs(other - value) > tolerance) {
                return false;
            }
        }
    }
    return true;
}

}  // namespace

int laueGroupOrder(int laue) {
    static constexpr int kOrders[12] = {0, 1, 2, 4, 4, 8, 3, 6, 6, 12, 12, 24};
    return laue >= 1 && laue <= 11 ? kOrders[laue] : 0;
}

std::array<int, 3> applyToIndices(const IndexMatrix& m, const std::array<int, 3>& hkl) {
    std::array<int, 3> out{};
    for (int i = 0; i < 3; ++i)
        for (int j = 0; j < 3; ++j)
            out[i] += m[i][j] * hkl[j];
    return out;
}

bool laueOperatorsOnIndices(const CellValues& cell, int laue, std::vector<IndexMatrix>& out) {
    out.clear();
    if (laue < 1 || laue > 11) {
        return false;
    }
    const Mat direct = directMatrix(cell);
    const Mat recip = transpose(inverse(direct));
    // Products of the generators' powers, as the library expands them.
    std::vector<Mat> cartesian = {{{{1, 0, 0}, {0, 1, 0}, {0, 0, 1}}}};
    for (const Generator& g : generatorsOf(laue)) {
        std::array<double, 3> axis{};
        for (int i = 0; i < 3; ++i)
            for (int j = 0; j < 3; ++j)
                axis[i] += direct[i][j] * g.axis[j];
        const std::size_t existing = cartesian.size();
        for (std::size_t j = 0; j < existing; ++j)
            for (int c = 1; c < g.order; ++c)
                cartesian.push_back(
                    multiply(rotation(axis, c * 2 * std::numbers::pi / g.order), cartesian[j]));
    }
    // The reciprocal metric must come back unchanged under each matrix.
    const Mat gStar = multiply(transpose(recip), recip);
    double scale = 0;
    for (const auto& row : gStar)
        for (double v : row)
            scale = std::max(scale, std::fabs(v));
    for (const Mat& r : cartesian) {
        const Mat m = multiply(multiply(transpose(direct), r), recip);
        IndexMatrix integer{};
        Mat rounded{};
        for (int i = 0; i < 3; ++i)
            for (int j = 0; j < 3; ++j) {
                integer[i][j] = static_cast<int>(std::lround(m[i][j]));
                rounded[i][j] = integer[i][j];
                if (std::fabs(m[i][j] - integer[i][j]) > 1e-3) {
                    return false;
                }
            }
        const Mat turned = multiply(multiply(transpose(rounded), gStar), rounded);
        for (int i = 0; i < 3; ++i)
            for (int j = 0; j < 3; ++j)
                if (std::fabs(turned[i][j] - gStar[i][j]) > 1e-4 * scale) {
                    return false;
                }
        out.push_back(integer);
    }
    return true;
}

bool intensitiesInvariant(const reflector_model::Structure& structure, int laue) {
    const auto sites = reflector_model::unitCellSites(structure);
    return invariantUnder(structure, sites, intensityTable(structure, sites), laue);
}

int chooseLaueGroup(const reflector_model::Structure& structure) {
    const auto sites = reflector_model::unitCellSites(structure);
    const IntensityTable table = intensityTable(structure, sites);
    // Largest first: by number of operators, then by index.
    static constexpr int kByOrder[11] = {11, 10, 9, 5, 8, 7, 4, 3, 6, 2, 1};
    for (int laue : kByOrder) {
        if (invariantUnder(structure, sites, table, laue)) {
            return laue;
        }
    }
    return 1;
}

}  // namespace ebsp_structure
