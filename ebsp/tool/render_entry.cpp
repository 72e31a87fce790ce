// ebsp-tool render: pictures of the map, the cell or the detector view, drawn by the view's own
// paint sequence (ebsp/export); phases from files come through the user-phase loader.
#include <cstdint>
#include <iostream>

#include "commands.h"
#include "lattixLib.h"
#include "render_command.h"
#include "user_phase.h"

namespace ebsp_tool {

const char* const kRenderUsage =
    "render --phase NAME|INDEX|FILE --out FILE.png|FILE.svg [--euler PHI1,PHI,PHI2 | "
    "--euler-list FILE] [--kv KV] [--reflectors N] [--style solid|edge|centre] "
    "[--view map|cell|detector] [--size WxH] [--detector WxH] [--pc X,Y,Z] "
    "[--convention bruker|edax|width|emsoft4|emsoft5] [--sample-tilt DEG] [--tilt DEG] "
    "[--binning N] [--pixel-size UM] [--strict]";

int runRender(const std::vector<std::string>& args) {
    ebsp::RenderEnvironment env;
    env.phaseFromFile = [](const std::string& path, TPhaseRecord& phase, std::string& error) {
        const ebsp_structure::UserPhaseResult loaded = ebsp_structure::loadUserPhase(path);
        if (!loaded.ok) {
            error = loaded.error;
            return false;
        }
        phase = loaded.phase.record;
        // The crystal set is built from the code's Laue group; where the structure has less
        // symmetry than its space group's Laue class implies, hand over the group it has.
        if (GetLaueGroupIndex(static_cast<int32_t>(phase.SpaceGroupCode)) !=
            loaded.phase.laueGroup) {
            phase.SpaceGroupCode = static_cast<std::uint8_t>(240 + loaded.phase.laueGroup);
        }
        return true;
    };
    return ebsp::runRenderCommand(args, std::cout, std::cerr, env);
}

}  // namespace ebsp_tool
