// Fuzz target: user phases from CIF text - gemmi's parser, then the checks,
// setting changes, Laue-group choice and list building behind it.  Every
// input either loads into a well-formed phase or gives a message naming the
// file.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "user_phase.h"

namespace {

// A small valid structure; most inputs are spliced into it, so that
// the work past the parser is reached too.
const char kSeed[] =
    "data_seed\n_space_group_name_H-M_alt 'P 4/m m m'\n_cell_length_a 3.1\n"
    "_cell_length_b 3.1\n_cell_length_c 3.3\n_cell_angle_alpha 90\n_cell_angle_beta 90\n"
    "_cell_angle_gamma 90\nloop_\n_atom_site_label\n_atom_site_type_symbol\n"
    "_atom_site_fract_x\n_atom_site_fract_y\n_atom_site_fract_z\n_atom_site_U_iso_or_equiv\n"
    "Fe1 Fe 0 0 0 0.01\nO1 O 0.5 0.5 0.5 .\n";

void check(bool condition) {
    if (!condition) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::string text(reinterpret_cast<const char*>(data), size);
    if (size > 2 && data[0] % 4 != 0) {
        std::string spliced = kSeed;
        const std::size_t at = (data[1] * 7u) % spliced.size();
        const std::size_t cut = std::min<std::size_t>(data[2] % 4u, spliced.size() - at);
        text = spliced.replace(at, cut, text.substr(3, data[2] % 5u));
    }
    const ebsp_structure::UserPhaseResult result =
        ebsp_structure::loadUserPhaseFromCifText(text, "fuzz.cif");
    if (!result.ok) {
        check(result.error.rfind("fuzz.cif", 0) == 0);
        return 0;
    }
    const TPhaseRecord& record = result.phase.record;
    check(!record.Name.empty() && record.Name.size() <= 49);
    check(result.phase.laueGroup >= 1 && result.phase.laueGroup <= 11);
    check(record.SpaceGroupCode >= 1 && record.SpaceGroupCode <= 230);
    const std::size_t used = UsedReflectorCount(record);
    check(used >= 1 && record.Reflectors[0].Intensity == 10000 && record.Reflectors[0].Family == 1);
    for (std::size_t i = 1; i < used; ++i) {
        const TPhaseReflector& p = record.Reflectors[i - 1];
        const TPhaseReflector& q = record.Reflectors[i];
        check(q.Intensity <= p.Intensity);
        check(q.Family == p.Family || q.Family == p.Family + 1);
        check(q.h != 0 || q.k != 0 || q.l != 0);
    }
    return 0;
}
