// CIF reading for user phases: gemmi's parser and space-group tables, with
// the checks and setting changes the program needs.
#include "cif_structure.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <numbers>
#include <sstream>

#include <gemmi/c4322.hpp>
#include <gemmi/cif.hpp>
#include <gemmi/elem.hpp>
#include <gemmi/numb.hpp>
#include <gemmi/small.hpp>
#include <gemmi/symmetry.hpp>

#include "user_phase.h"

namespace ebsp_structure {
namespace {

namespace cif = gemmi::cif;
using Mat = std::array<std::array<double, 3>, 3>;

constexpr double kUserSnapTolerance = 1e-4;  // CIF coordinates often carry 4 decimals
// Indices are stored as signed bytes, which a search to s = 1 reaches at 64 angstrom.
constexpr double kMaxCellEdge = 60.0;
constexpr double kMaxCellSites = 20000;  // sites times operations
// Reflections times atom positions of a search to s = 1: some seconds of work.
constexpr double kMaxSearchWork = 1e8;

// V / (abc) of a cell with these angles.
double cellVolumeFactor(double alpha, double beta, double gamma) {
    const double deg = std::numbers::pi / 180.0;
    const double ca = std::cos(alpha * deg), cb = std::cos(beta * deg), cg = std::cos(gamma * deg);
    return std::sqrt(std::max(0.0, 1 + 2 * ca * cb * cg - ca * ca - cb * cb - cg * cg));
}

std::string where(const std::string& label, const cif::Item* item) {
    if (item != nullptr && item->line_number > 0) {
        return label + ":" + std::to_string(item->line_number) + ": ";
    }
    return label + ": ";
}

bool holdsStructure(cif::Block& block) {
    return block.find_values("_atom_site_fract_x").item() != nullptr;
}

// The first of the tags that has a non-null value, with its item.
const std::string* firstValue(cif::Block& block, std::initializer_list<const char*> tags,
                              const cif::Item** item = nullptr) {
    for (const char* tag : tags) {
        const std::string* value = block.find_value(tag);
        if (value != nullptr && !cif::is_null(*value)) {
            if (item != nullptr) {
                *item = block.find_pair_item(tag);
                if (*item == nullptr) {
                    *item = block.find_loop_item(tag);
                }
            }
            return value;
        }
    }
    return nullptr;
}

double cellValue(cif::Block& block, const std::string& label, const char* tag) {
    const cif::Item* item = nullptr;
    const std::string* value = firstValue(block, {tag}, &item);
    if (value == nullptr) {
        throw StructureFileError(label + ": missing " + tag);
    }
    const double v = cif::as_number(*value);
    if (!std::isfinite(v)) {
        throw StructureFileError(where(label, item) + tag + " '" + *value + "' is not a number");
    }
    return v;
}

Mat product(const Mat& p, const Mat& q) {
    Mat r{};
    for (int i = 0; i < 3; ++i)
        for (int j = 0; j < 3; ++j)
            for (int k = 0; k < 3; ++k)
                r[i][j] += p[i][k] * q[k][j];
    return r;
}

// The operation in new fractional coordinates x' = T x.
gemmi::Op transformedOp(const gemmi::Op& op, const Mat& t, const Mat& tInverse) {
    const double den = gemmi::Op::DEN;
    Mat rot{};
    for (int i = 0; i < 3; ++i)
        for (int j = 0; j < 3; ++j)
            rot[i][j] = op.rot[i][j] / den;
    const Mat newRot = product(product(t, rot), tInverse);
    gemmi::Op out = gemmi::Op::identity();
    for (int i = 0; i < 3; ++i) {
        double shift = 0;
        for (int j = 0; j < 3; ++j) {
            out.rot[i][j] = static_cast<int>(std::lround(newRot[i][j] * den));
            shift += t[i][j] * op.tran[j];
        }
        out.tran[i] = static_cast<int>(std::lround(shift));
    }
    return out.wrap();
}

std::array<double, 3> transformed(const Mat& t, const std::array<double, 3>& x) {
    std::array<double, 3> out{};
    for (int i = 0; i < 3; ++i)
        for (int j = 0; j < 3; ++j)
            out[i] += t[i][j] * x[j];
    return out;
}

// Symbol in the catalogue's style: screw axes as "2_1", monoclinic symbols short.
std::string catalogueSymbol(const gemmi::SpaceGroup& sg) {
    std::vector<std::string> tokens;
    std::istringstream in(sg.hm);
    for (std::string token; in >> token;) {
        tokens.push_back(token);
    }
    if (sg.number >= 3 && sg.number <= 15 && tokens.size() == 4 &&
        std::count(tokens.begin() + 1, tokens.end(), "1") == 2) {
        const auto axis = std::find_if(tokens.begin() + 1, tokens.end(),
                                       [](const std::string& t) { return t != "1"; });
        tokens = {tokens[0], *axis};
    }
    std::string out;
    for (std::string token : tokens) {
        if (token.size() >= 2 && std::isdigit(static_cast<unsigned char>(token[0])) &&
            std::isdigit(static_cast<unsigned char>(token[1]))) {
            token.insert(1, "_");
        }
        out += (out.empty() ? "" : " ") + token;
    }
    return out;
}

struct SymmetrySource {
    gemmi::GroupOps ops;
    const gemmi::SpaceGroup* group = nullptr;
};

gemmi::GroupOps listedOperations(cif::Block& block, const std::string& label, bool& found) {
    found = false;
    for (const char* tag : {"_space_group_symop_operation_xyz", "_symmetry_equiv_pos_as_xyz"}) {
        cif::Column column = block.find_values(tag);
        if (column.item() == nullptr) {
            continue;
        }
        std::vector<gemmi::Op> ops;
        for (const std::string& value : column) {
            const std::string triplet = cif::as_string(value);
            try {
                ops.push_back(gemmi::parse_triplet(triplet));
            } catch (const std::exception&) {
                throw StructureFileError(where(label, column.item()) + "symmetry operation '" +
                                         triplet + "' does not read");
            }
        }
        if (ops.empty()) {
            continue;
        }
        gemmi::GroupOps group = gemmi::split_centering_vectors(ops);
        if (group.cen_ops.empty() || group.order() != static_cast<int>(ops.size())) {
            throw StructureFileError(where(label, column.item()) +
                                     "the symmetry operations do not form a group");
        }
        found = true;
        return group;
    }
    return {};
}

// Space group from the listed operations, the Hall symbol or the H-M symbol,
// in that order of precedence; disagreements become notes.
SymmetrySource readSymmetry(cif::Block& block, const std::string& label, double alpha, double gamma,
                            std::vector<std::string>& notes) {
    SymmetrySource source;
    bool haveOps = false;
    source.ops = listedOperations(block, label, haveOps);

    const cif::Item* hallItem = nullptr;
    const gemmi::SpaceGroup* hallGroup = nullptr;
    const std::string* hall =
        firstValue(block, {"_space_group_name_Hall", "_symmetry_space_group_name_Hall"}, &hallItem);
    gemmi::GroupOps hallOps;
    if (hall != nullptr) {
        try {
            hallOps = gemmi::symops_from_hall(cif::as_string(*hall).c_str());
            hallGroup = gemmi::find_spacegroup_by_ops(hallOps);
        } catch (const std::exception&) {
            throw StructureFileError(where(label, hallItem) + "Hall symbol '" +
                                     cif::as_string(*hall) + "' does not read");
        }
    }
    const cif::Item* hmItem = nullptr;
    const std::string* hm =
        firstValue(block, {"_space_group_name_H-M_alt", "_symmetry_space_group_name_H-M"}, &hmItem);
    const gemmi::SpaceGroup* hmGroup = nullptr;
    if (hm != nullptr) {
        hmGroup = gemmi::find_spacegroup_by_name(cif::as_string(*hm), alpha, gamma);
        if (hmGroup == nullptr && !haveOps && hall == nullptr) {
            throw StructureFileError(where(label, hmItem) + "unknown space-group symbol '" +
                                     cif::as_string(*hm) + "'");
        }
    }
    const cif::Item* numberItem = nullptr;
    const std::string* number =
        firstValue(block, {"_space_group_IT_number", "_symmetry_Int_Tables_number"}, &numberItem);

    if (haveOps) {
        source.group = gemmi::find_spacegroup_by_ops(source.ops);
    } else if (hall != nullptr) {
        source.ops = hallOps;
        source.group = hallGroup;
    } else if (hmGroup != nullptr) {
        source.ops = hmGroup->operations();
        source.group = hmGroup;
    } else if (number != nullptr) {
        const double n = cif::as_number(*number);
        source.group =
            n >= 1 && n <= 230 ? gemmi::find_spacegroup_by_number(static_cast<int>(n)) : nullptr;
        if (source.group == nullptr) {
            throw StructureFileError(where(label, numberItem) + "space-group number '" + *number +
                                     "' is not 1 to 230");
        }
        source.ops = source.group->operations();
        notes.push_back("space group taken from its number alone (standard setting)");
    } else {
        throw StructureFileError(label +
                                 ": no space group (no H-M symbol, Hall symbol or symmetry "
                                 "operations)");
    }
    if (source.group == nullptr) {
        throw StructureFileError(label +
                                 ": the symmetry operations match no tabulated "
                                 "space-group setting");
    }
    auto disagrees = [&](const gemmi::SpaceGroup* g) {
        return g == nullptr || !g->operations().is_same_as(source.ops);
    };
    const std::string used = haveOps ? "the listed symmetry operations" : "the Hall symbol";
    if ((haveOps || hall != nullptr) && hm != nullptr && disagrees(hmGroup)) {
        notes.push_back("the H-M symbol '" + cif::as_string(*hm) + "' disagrees with " + used +
                        "; " + used + " are used (" + catalogueSymbol(*source.group) + ")");
    }
    if (haveOps && hall != nullptr && disagrees(hallGroup)) {
        notes.push_back("the Hall symbol '" + cif::as_string(*hall) +
                        "' disagrees with the listed symmetry operations; the operations are used");
    }
    return source;
}

// Unique axis of a monoclinic group: 0 a, 1 b, 2 c.
int uniqueAxis(const gemmi::GroupOps& ops) {
    for (const gemmi::Op& op : ops.sym_ops) {
        const int d0 = op.rot[0][0], d1 = op.rot[1][1], d2 = op.rot[2][2];
        if (d0 == d1 && d1 == d2) {
            continue;
        }
        return d0 != d1 && d0 != d2 ? 0 : (d1 != d0 && d1 != d2 ? 1 : 2);
    }
    return 1;
}

struct Setting {
    Mat t{};         // x' = t x
    Mat tInverse{};  // x = tInverse x'
    std::vector<gemmi::Op::Tran> centring;
};

// Unit cell sites and operations in new axes, the cell given by the caller.
void applySetting(const Setting& setting, gemmi::GroupOps& ops,
                  std::vector<reflector_model::Site>& sites) {
    std::vector<gemmi::Op> all;
    for (const gemmi::Op& op : ops.all_ops_sorted()) {
        all.push_back(transformedOp(op, setting.t, setting.tInverse));
    }
    for (const gemmi::Op::Tran& c : setting.centring) {
        all.push_back(gemmi::Op::identity().add_centering(c));
    }
    std::vector<gemmi::Op> closed = all;
    for (const gemmi::Op& op : all) {
        for (const gemmi::Op::Tran& c : setting.centring) {
            closed.push_back(op.add_centering(c));
        }
    }
    std::sort(closed.begin(), closed.end());
    closed.erase(std::unique(closed.begin(), closed.end()), closed.end());
    ops = gemmi::split_centering_vectors(closed);
    for (reflector_model::Site& site : sites) {
        const auto x = transformed(setting.t, {site.x, site.y, site.z});
        site.x = x[0];
        site.y = x[1];
        site.z = x[2];
    }
}

// Moves a monoclinic structure to b unique and a rhombohedral one to
// hexagonal obverse axes, cell and atoms together.
void toLibrarySetting(SymmetrySource& source, reflector_model::Structure& s,
                      std::vector<std::string>& notes) {
    const int number = source.group->number;
    if (number >= 3 && number <= 15) {
        const int axis = uniqueAxis(source.ops);
        if (axis == 1) {
            return;
        }
        Setting setting;
        const double a = s.a, b = s.b, c = s.c, al = s.alpha, be = s.beta, ga = s.gamma;
        if (axis == 2) {  // a' = b, b' = c, c' = a
            setting.t = {{{0, 1, 0}, {0, 0, 1}, {1, 0, 0}}};
            s.a = b, s.b = c, s.c = a, s.alpha = be, s.beta = ga, s.gamma = al;
            notes.push_back(
                "setting transformed: monoclinic c unique to b unique "
                "(a'=b, b'=c, c'=a)");
        } else {  // a' = c, b' = a, c' = b
            setting.t = {{{0, 0, 1}, {1, 0, 0}, {0, 1, 0}}};
            s.a = c, s.b = a, s.c = b, s.alpha = ga, s.beta = al, s.gamma = be;
            notes.push_back(
                "setting transformed: monoclinic a unique to b unique "
                "(a'=c, b'=a, c'=b)");
        }
        for (int i = 0; i < 3; ++i)
            for (int j = 0; j < 3; ++j)
                setting.tInverse[j][i] = setting.t[i][j];
        applySetting(setting, source.ops, s.sites);
    } else if (source.group->ext == 'R') {
        // a_h = a_r - b_r, b_h = b_r - c_r, c_h = a_r + b_r + c_r (obverse).
        Setting setting;
        setting.tInverse = {{{1, 0, 1}, {-1, 1, 1}, {0, -1, 1}}};
        setting.t = {{{2.0 / 3, -1.0 / 3, -1.0 / 3},
                      {1.0 / 3, 1.0 / 3, -2.0 / 3},
                      {1.0 / 3, 1.0 / 3, 1.0 / 3}}};
        setting.centring = {{16, 8, 8}, {8, 16, 16}};
        const double ca = std::cos(s.alpha * std::numbers::pi / 180.0);
        const double ar = s.a;
        s.a = s.b = ar * std::sqrt(2.0 - 2.0 * ca);
        s.c = ar * std::sqrt(3.0 + 6.0 * ca);
        s.alpha = s.beta = 90;
        s.gamma = 120;
        applySetting(setting, source.ops, s.sites);
        notes.push_back("setting transformed: rhombohedral axes to hexagonal obverse axes");
    } else {
        return;
    }
    source.group = gemmi::find_spacegroup_by_ops(source.ops);
    if (source.group == nullptr) {
        throw StructureFileError(s.fileName +
                                 ": the transformed setting matches no tabulated "
                                 "space group");
    }
}

// U_eq = 1/3 sum_ij U_ij a*_i a*_j (a_i . a_j).
double equivalentIsotropic(const reflector_model::Structure& s, const double u[6]) {
    const double deg = std::numbers::pi / 180.0;
    const double ca = std::cos(s.alpha * deg), cb = std::cos(s.beta * deg),
                 cg = std::cos(s.gamma * deg);
    const double len[3] = {s.a, s.b, s.c};
    const double cosines[3][3] = {{1, cg, cb}, {cg, 1, ca}, {cb, ca, 1}};
    const double uij[3][3] = {{u[0], u[3], u[4]}, {u[3], u[1], u[5]}, {u[4], u[5], u[2]}};
    double recipLen[3];
    for (int i = 0; i < 3; ++i) {
        reflector_model::Miller unit{0, 0, 0};
        unit[static_cast<std::size_t>(i)] = 1;
        recipLen[i] = std::sqrt(reflector_model::inverseSpacingSquared(s, unit));
    }
    double sum = 0;
    for (int i = 0; i < 3; ++i)
        for (int j = 0; j < 3; ++j)
            sum += uij[i][j] * recipLen[i] * recipLen[j] * len[i] * len[j] * cosines[i][j];
    return sum / 3.0;
}

std::string phaseName(cif::Block& block, const std::string& label) {
    const std::string* value =
        firstValue(block, {"_chemical_name_mineral", "_chemical_name_common",
                           "_chemical_name_systematic", "_chemical_formula_sum"});
    std::string name = value != nullptr ? cif::as_string(*value) : block.name;
    if (name.empty()) {
        name = label.substr(label.find_last_of('/') + 1);
    }
    std::replace_if(
        name.begin(), name.end(), [](char ch) { return ch == '\n' || ch == '\r'; }, ' ');
    return name;
}

// Sites with element, position, occupancy and displacement; notes on the
// displacement parameters.
void readSites(cif::Block& block, const std::string& label, reflector_model::Structure& s,
               std::vector<std::string>& notes) {
    cif::Table table =
        block.find("_atom_site_", {"label", "?type_symbol", "fract_x", "fract_y", "fract_z",
                                   "?occupancy", "?U_iso_or_equiv", "?B_iso_or_equiv"});
    const cif::Item* item = block.find_values("_atom_site_fract_x").item();
    if (!table.ok() || table.length() == 0) {
        throw StructureFileError(where(label, item) + "no atom sites with label and x, y, z");
    }
    std::vector<std::string> labels;
    std::size_t withDisplacement = 0;
    for (auto row : table) {
        const std::string siteLabel = cif::as_string(row[0]);
        const std::string symbol = row.has2(1) ? cif::as_string(row[1]) : siteLabel;
        gemmi::SmallStructure::Site parsed;
        gemmi::split_element_and_charge(symbol, &parsed);
        if (parsed.element.elem == gemmi::El::X) {
            throw StructureFileError(where(label, item) + "site '" + siteLabel +
                                     "': unknown element '" + symbol + "'");
        }
        if (!gemmi::C4322<double>::has(parsed.element.elem)) {
            throw StructureFileError(where(label, item) + "site '" + siteLabel + "': element " +
                                     parsed.element.name() + " has no electron scattering factor");
        }
        reflector_model::Site site;
        site.element = parsed.element.name();
        double* targets[3] = {&site.x, &site.y, &site.z};
        for (int i = 0; i < 3; ++i) {
            *targets[i] = cif::as_number(row[2 + i]);
            if (!std::isfinite(*targets[i])) {
                throw StructureFileError(where(label, item) + "site '" + siteLabel +
                                         "': coordinate '" + row[2 + i] + "' is not a number");
            }
        }
        site.occupancy = row.has2(5) ? cif::as_number(row[5]) : 1.0;
        if (!std::isfinite(site.occupancy) || site.occupancy < 0 || site.occupancy > 1.0001) {
            throw StructureFileError(where(label, item) + "site '" + siteLabel +
                                     "': occupancy is not a number from 0 to 1");
        }
        const double u = row.has2(6) ? cif::as_number(row[6])
                         : row.has2(7)
                             ? cif::as_number(row[7]) / (8 * std::numbers::pi * std::numbers::pi)
                             : NAN;
        if (std::isfinite(u) && u > 0) {
            site.uIso = u;
            ++withDisplacement;
        }
        labels.push_back(siteLabel);
        s.sites.push_back(site);
    }
    // Anisotropic parameters replace the isotropic value by their equivalent.
    cif::Table aniso =
        block.find("_atom_site_aniso_", {"label", "U_11", "U_22", "U_33", "U_12", "U_13", "U_23"});
    std::size_t anisoCount = 0;
    for (auto row : aniso) {
        const auto it = std::find(labels.begin(), labels.end(), cif::as_string(row[0]));
        if (it == labels.end()) {
            continue;
        }
        double u[6];
        bool ok = true;
        for (int i = 0; i < 6; ++i) {
            u[i] = cif::as_number(row[1 + i]);
            ok = ok && std::isfinite(u[i]);
        }
        const double ueq = ok ? equivalentIsotropic(s, u) : 0;
        if (ueq > 0) {
            reflector_model::Site& site = s.sites[static_cast<std::size_t>(it - labels.begin())];
            withDisplacement += site.uIso > 0 ? 0 : 1;
            site.uIso = ueq;
            ++anisoCount;
        }
    }
    if (withDisplacement == 0) {
        notes.push_back("no displacement parameters in the file: no Debye-Waller factor applied");
    } else {
        std::string text =
            "Debye-Waller factors exp(-B s^2) from the file's displacement "
            "parameters";
        if (anisoCount != 0) {
            text += " (anisotropic ones reduced to their isotropic equivalent)";
        }
        if (withDisplacement < s.sites.size()) {
            text += "; none for " + std::to_string(s.sites.size() - withDisplacement) +
                    " site(s) without one";
        }
        notes.push_back(text);
    }
}

cif::Document parse(const std::string& text, const std::string& label) {
    try {
        return cif::read_memory(text.data(), text.size(), label.c_str());
    } catch (const std::exception& e) {
        std::string message = e.what();
        if (message.rfind(label, 0) != 0) {
            message = label + ": " + message;
        }
        throw StructureFileError(message);
    }
}

}  // namespace

std::vector<std::string> structureBlockNames(const std::string& text, const std::string& label) {
    cif::Document doc = parse(text, label);
    std::vector<std::string> names;
    for (cif::Block& block : doc.blocks) {
        if (holdsStructure(block)) {
            names.push_back(block.name);
        }
    }
    return names;
}

CifStructure readCifStructure(const std::string& text, const std::string& label, int blockIndex) {
    cif::Document doc = parse(text, label);
    std::vector<cif::Block*> blocks;
    for (cif::Block& block : doc.blocks) {
        if (holdsStructure(block)) {
            blocks.push_back(&block);
        }
    }
    if (blocks.empty()) {
        throw StructureFileError(label +
                                 ": no data block holds a structure (atom sites with "
                                 "fractional coordinates)");
    }
    const std::size_t chosen = blockIndex < 0 ? 0 : static_cast<std::size_t>(blockIndex);
    if (chosen >= blocks.size()) {
        throw StructureFileError(label + ": there is no structure block " +
                                 std::to_string(chosen + 1) + " (the file has " +
                                 std::to_string(blocks.size()) + ")");
    }
    cif::Block& block = *blocks[chosen];

    CifStructure out;
    out.blockName = block.name;
    out.name = phaseName(block, label);
    if (blocks.size() > 1) {
        out.notes.push_back("data block '" + block.name + "' read (" + std::to_string(chosen + 1) +
                            " of " + std::to_string(blocks.size()) + " holding a structure)");
    }
    reflector_model::Structure& s = out.structure;
    s.fileName = label.substr(label.find_last_of('/') + 1);
    s.snapTolerance = kUserSnapTolerance;
    s.a = cellValue(block, label, "_cell_length_a");
    s.b = cellValue(block, label, "_cell_length_b");
    s.c = cellValue(block, label, "_cell_length_c");
    s.alpha = cellValue(block, label, "_cell_angle_alpha");
    s.beta = cellValue(block, label, "_cell_angle_beta");
    s.gamma = cellValue(block, label, "_cell_angle_gamma");
    if (!latticeIsUsable(s.a, s.b, s.c, s.alpha, s.beta, s.gamma)) {
        throw StructureFileError(label + ": the cell values close no cell");
    }
    if (std::max({s.a, s.b, s.c}) > kMaxCellEdge) {
        throw StructureFileError(label +
                                 ": a cell edge above 60 angstrom is too large for "
                                 "the reflector search");
    }
    SymmetrySource source = readSymmetry(block, label, s.alpha, s.gamma, out.notes);
    readSites(block, label, s, out.notes);
    toLibrarySetting(source, s, out.notes);
    const double positions =
        static_cast<double>(s.sites.size()) * static_cast<double>(source.ops.order());
    if (positions > kMaxCellSites) {
        throw StructureFileError(label + ": more than " +
                                 std::to_string(static_cast<long>(kMaxCellSites)) +
                                 " atom positions in the unit cell");
    }
    // The search to s = 1 sums over about 16.8 V reflections, each over all atoms.
    const double volume = s.a * s.b * s.c * cellVolumeFactor(s.alpha, s.beta, s.gamma);
    if (16.8 * volume * positions > kMaxSearchWork) {
        throw StructureFileError(label + ": too large for the reflector search (" +
                                 std::to_string(static_cast<long>(positions)) +
                                 " atom positions in a cell of " +
                                 std::to_string(static_cast<long>(volume)) + " cubic angstrom)");
    }
    for (const gemmi::Op& op : source.ops.all_ops_sorted()) {
        s.operations.push_back(op.triplet());
    }
    s.spaceGroup = source.group->xhm();
    out.spaceGroupNumber = source.group->number;
    out.symbol = catalogueSymbol(*source.group);
    return out;
}

}  // namespace ebsp_structure
