// Kinematic electron-diffraction model: |F|^2 with the electron scattering
// factors of International Tables C Table 4.3.2.2, with a Debye-Waller factor
// only for sites that carry a displacement parameter.
#include "reflector_model.h"

#include <algorithm>
#include <cmath>
#include <complex>
#include <fstream>
#include <map>
#include <numbers>
#include <stdexcept>

#include <gemmi/c4322.hpp>
#include <gemmi/cif.hpp>
#include <gemmi/elem.hpp>
#include <gemmi/smcif.hpp>
#include <gemmi/symmetry.hpp>

namespace reflector_model {
namespace {

constexpr double kFamilyTolerance = 1e-6;    // relative, on d and on |F|^2
constexpr double kSameSiteTolerance = 1e-4;  // fractional, periodic

double snapped(double v, double tolerance) {
    const double k = std::round(v * 24.0);
    return std::fabs(v - k / 24.0) <= tolerance ? k / 24.0 : v;
}

std::vector<gemmi::Op> operationsOf(const Structure& structure);

const gemmi::SpaceGroup& spaceGroupOf(const Structure& structure) {
    const gemmi::SpaceGroup* sg =
        gemmi::find_spacegroup_by_name(structure.spaceGroup, structure.alpha, structure.gamma);
    if (sg == nullptr) {
        throw std::runtime_error(structure.fileName + ": unknown space group '" +
                                 structure.spaceGroup + "'");
    }
    return *sg;
}

const gemmi::C4322<double>::Coef& coefficientsOf(const std::string& element) {
    const gemmi::Element el(element);
    if (el.elem == gemmi::El::X || !gemmi::C4322<double>::has(el.elem)) {
        throw std::runtime_error("no electron scattering factor for '" + element + "'");
    }
    return gemmi::C4322<double>::get(el.elem);
}

bool sameSite(const Site& p, const Site& q) {
    auto near = [](double u, double v) {
        double d = u - v;
        d -= std::round(d);
        return std::fabs(d) < kSameSiteTolerance;
    };
    return p.element == q.element && near(p.x, q.x) && near(p.y, q.y) && near(p.z, q.z);
}

// Reciprocal metric tensor G* = G^-1 of the direct metric G.
std::array<std::array<double, 3>, 3> reciprocalMetric(const Structure& s) {
    const double deg = std::numbers::pi / 180.0;
    const double ca = std::cos(s.alpha * deg), cb = std::cos(s.beta * deg),
                 cg = std::cos(s.gamma * deg);
    const double g[3][3] = {{s.a * s.a, s.a * s.b * cg, s.a * s.c * cb},
                            {s.a * s.b * cg, s.b * s.b, s.b * s.c * ca},
                            {s.a * s.c * cb, s.b * s.c * ca, s.c * s.c}};
    const double det = g[0][0] * (g[1][1] * g[2][2] - g[1][2] * g[2][1]) -
                       g[0][1] * (g[1][0] * g[2][2] - g[1][2] * g[2][0]) +
                       g[0][2] * (g[1][0] * g[2][1] - g[1][1] * g[2][0]);
    std::array<std::array<double, 3>, 3> inv{};
    for (int i = 0; i < 3; ++i) {
        for (int j = 0; j < 3; ++j) {
            const int i1 = (j + 1) % 3, i2 = (j + 2) % 3, j1 = (i + 1) % 3, j2 = (i + 2) % 3;
            inv[i][j] = (g[i1][j1] * g[i2][j2] - g[i1][j2] * g[i2][j1]) / det;
        }
    }
    return inv;
}

// exp(-B s^2) with B = 8 pi^2 U; exactly 1 without a displacement parameter.
double debyeWaller(double uIso, double s) {
    return std::exp(-8.0 * std::numbers::pi * std::numbers::pi * uIso * s * s);
}

std::vector<gemmi::Op> operationsOf(const Structure& structure) {
    if (structure.operations.empty()) {
        return spaceGroupOf(structure).operations().all_ops_sorted();
    }
    std::vector<gemmi::Op> ops;
    for (const std::string& triplet : structure.operations) {
        ops.push_back(gemmi::parse_triplet(triplet));
    }
    return ops;
}

struct Reflection {
    Miller hkl;
    double d;
    double intensity;
};

}  // namespace

Structure readStructureFile(const std::string& path) {
    Structure structure;
    structure.fileName = path.substr(path.find_last_of('/') + 1);
    {
        std::ifstream in(path);
        if (!in) {
            throw std::runtime_error("cannot open " + path);
        }
        for (std::string line; std::getline(in, line);) {
            if (line.rfind("# source:", 0) == 0) {
                structure.sourceLines.push_back(line.substr(2));
            }
        }
    }
    const gemmi::cif::Document doc = gemmi::cif::read_file(path);
    const gemmi::SmallStructure small = gemmi::make_small_structure_from_block(doc.sole_block());
    structure.a = small.cell.a;
    structure.b = small.cell.b;
    structure.c = small.cell.c;
    structure.alpha = small.cell.alpha;
    structure.beta = small.cell.beta;
    structure.gamma = small.cell.gamma;
    structure.spaceGroup = small.spacegroup_hm;
    for (const gemmi::SmallStructure::Site& site : small.sites) {
        if (site.element.elem == gemmi::El::X) {
            throw std::runtime_error(path + ": unknown element of site " + site.label);
        }
        structure.sites.push_back(
            {site.element.name(), site.fract.x, site.fract.y, site.fract.z, site.occ});
    }
    spaceGroupOf(structure);
    if (structure.sites.empty()) {
        throw std::runtime_error(path + ": no atom sites");
    }
    return structure;
}

std::vector<Site> unitCellSites(const Structure& structure) {
    const std::vector<gemmi::Op> ops = operationsOf(structure);
    const double tol = structure.snapTolerance;
    std::vector<Site> all;
    for (const Site& site : structure.sites) {
        const std::array<double, 3> xyz = {snapped(site.x, tol), snapped(site.y, tol),
                                           snapped(site.z, tol)};
        const std::size_t start = all.size();
        for (const gemmi::Op& op : ops) {
            std::array<double, 3> p = op.apply_to_xyz(xyz);
            Site image = site;
            image.x = p[0] - std::floor(p[0]);
            image.y = p[1] - std::floor(p[1]);
            image.z = p[2] - std::floor(p[2]);
            const bool seen =
                std::any_of(all.begin() + static_cast<std::ptrdiff_t>(start), all.end(),
                            [&](const Site& other) { return sameSite(image, other); });
            if (!seen) {
                all.push_back(image);
            }
        }
    }
    return all;
}

double electronScatteringFactor(const std::string& element, double s) {
    return coefficientsOf(element).calculate_sf(s * s);
}

double intensityBoundBeyond(const Structure& structure, double sMax) {
    double sum = 0;
    for (const Site& site : unitCellSites(structure)) {
        sum += std::fabs(site.occupancy) * electronScatteringFactor(site.element, sMax);
    }
    return sum * sum;
}

double cellVolume(const Structure& s) {
    const double deg = std::numbers::pi / 180.0;
    const double ca = std::cos(s.alpha * deg), cb = std::cos(s.beta * deg),
                 cg = std::cos(s.gamma * deg);
    return s.a * s.b * s.c *
           std::sqrt(std::max(0.0, 1 + 2 * ca * cb * cg - ca * ca - cb * cb - cg * cg));
}

double inverseSpacingSquared(const Structure& structure, const Miller& hkl) {
    const auto gStar = reciprocalMetric(structure);
    double inverseD2 = 0;
    for (int i = 0; i < 3; ++i) {
        for (int j = 0; j < 3; ++j) {
            inverseD2 += hkl[i] * gStar[i][j] * hkl[j];
        }
    }
    return inverseD2;
}

double structureIntensity(const Structure& structure, const std::vector<Site>& cellSites,
                          const Miller& hkl) {
    const double s = 0.5 * std::sqrt(inverseSpacingSquared(structure, hkl));
    std::complex<double> f = 0;
    for (const Site& site : cellSites) {
        const double phase =
            2 * std::numbers::pi * (hkl[0] * site.x + hkl[1] * site.y + hkl[2] * site.z);
        f += site.occupancy * electronScatteringFactor(site.element, s) *
             debyeWaller(site.uIso, s) * std::complex<double>(std::cos(phase), std::sin(phase));
    }
    return std::norm(f);
}

Miller friedelCanonical(const Miller& hkl) {
    for (int v : hkl) {
        if (v != 0) {
            return v > 0 ? hkl : Miller{-hkl[0], -hkl[1], -hkl[2]};
        }
    }
    return hkl;
}

FamilyTable computeFamilies(const Structure& structure, double sMax) {
    const std::vector<Site> sites = unitCellSites(structure);
    const auto gStar = reciprocalMetric(structure);
    // |h| <= |d*| |a| with |d*| = 1/d <= 2 sMax.
    const int hMax = static_cast<int>(2 * sMax * structure.a);
    const int kMax = static_cast<int>(2 * sMax * structure.b);
    const int lMax = static_cast<int>(2 * sMax * structure.c);

    // Atoms grouped by element (and displacement), so each reflection
    // evaluates every f_e once.
    std::map<std::pair<std::string, double>, std::vector<const Site*>> byElement;
    for (const Site& site : sites) {
        byElement[{site.element, site.uIso}].push_back(&site);
    }

    std::vector<Reflection> reflections;
    double maximum = 0;
    for (int h = 0; h <= hMax; ++h) {
        for (int k = -kMax; k <= kMax; ++k) {
            for (int l = -lMax; l <= lMax; ++l) {
                const Miller hkl{h, k, l};
                if (hkl == Miller{0, 0, 0} || friedelCanonical(hkl) != hkl) {
                    continue;
                }
                double inverseD2 = 0;
                for (int i = 0; i < 3; ++i) {
                    for (int j = 0; j < 3; ++j) {
                        inverseD2 += hkl[i] * gStar[i][j] * hkl[j];
                    }
                }
                const double s = 0.5 * std::sqrt(inverseD2);
                if (s > sMax) {
                    continue;
                }
                std::complex<double> f = 0;
                for (const auto& [key, members] : byElement) {
                    std::complex<double> sum = 0;
                    for (const Site* site : members) {
                        const double phase =
                            2 * std::numbers::pi * (h * site->x + k * site->y + l * site->z);
                        sum += site->occupancy *
                               std::complex<double>(std::cos(phase), std::sin(phase));
                    }
                    f += electronScatteringFactor(key.first, s) * debyeWaller(key.second, s) * sum;
                }
                const double intensity = std::norm(f);
                reflections.push_back({hkl, 1.0 / std::sqrt(inverseD2), intensity});
                maximum = std::max(maximum, intensity);
            }
        }
    }
    // Systematic absences leave only rounding noise.
    std::erase_if(reflections,
                  [maximum](const Reflection& r) { return r.intensity <= 1e-10 * maximum; });

    // Group on unrounded values: first by d, then by intensity within one d.
    std::sort(reflections.begin(), reflections.end(),
              [](const Reflection& p, const Reflection& q) { return p.d > q.d; });
    FamilyTable table;
    table.maximumIntensity = maximum;
    table.sMax = sMax;
    for (std::size_t i = 0; i < reflections.size();) {
        std::size_t j = i + 1;
        while (j < reflections.size() &&
               reflections[i].d - reflections[j].d <= kFamilyTolerance * reflections[i].d) {
            ++j;
        }
        std::vector<Reflection> shell(reflections.begin() + static_cast<std::ptrdiff_t>(i),
                                      reflections.begin() + static_cast<std::ptrdiff_t>(j));
        std::sort(shell.begin(), shell.end(), [](const Reflection& p, const Reflection& q) {
            return p.intensity > q.intensity;
        });
        for (std::size_t m = 0; m < shell.size();) {
            Family family;
            family.dSpacing = shell[m].d;
            family.intensity = shell[m].intensity;
            std::size_t n = m;
            while (n < shell.size() && shell[m].intensity - shell[n].intensity <=
                                           kFamilyTolerance * shell[m].intensity) {
                family.members.push_back(shell[n].hkl);
                ++n;
            }
            std::sort(family.members.begin(), family.members.end());
            table.families.push_back(std::move(family));
            m = n;
        }
        i = j;
    }
    // Sort on intensity quantised to 1e-9 of the strongest, so that rounding
    // noise between equally strong families cannot decide their order.
    auto key = [maximum](const Family& f) { return std::llround(1e9 * f.intensity / maximum); };
    std::sort(table.families.begin(), table.families.end(),
              [&key](const Family& p, const Family& q) {
                  if (key(p) != key(q)) {
                      return key(p) > key(q);
                  }
                  if (p.dSpacing != q.dSpacing) {
                      return p.dSpacing > q.dSpacing;
                  }
                  return p.members.front() < q.members.front();
              });
    return table;
}

}  // namespace reflector_model
