// The render command of ebsp-tool: pictures of a phase's map, unit cell or detector pattern,
// one or a batch from a list of Euler angles, drawn by off-screen views set up as the main
// window sets up its own.
#pragma once

#include <functional>
#include <ostream>
#include <string>
#include <vector>

#include "lattixLib.h"
#include "render_args.h"

struct TPhaseRecord;
class TCrystalEBSPpanel;

namespace ebsp {

// Sets view up as the main window has its map (or cell) view once the phase is chosen,
// with the options' voltage, reflector count (whole families), band style and size.  The
// view keeps references to phase and crySet, and stays repaint-locked: pictures come from
// drawPicture.
void configureRenderView(TCrystalEBSPpanel& view, const render::Options& options,
                         const TPhaseRecord& phase, const TCrySet& crySet);

struct RenderEnvironment {
    // Loads the phase of --phase FILE: true with phase filled, or false with a message in
    // error.  Empty: phases from files are not available.
    std::function<bool(const std::string& path, TPhaseRecord& phase, std::string& error)>
        phaseFromFile;
    // Whether stderr is a terminal (for the progress bar): -1 asks the system, 0 or 1 says.
    int stderrIsTerminal = -1;
};

// Runs "render" with the arguments after that word.  Exit status: 0 done; 1 some pictures
// of a batch failed (listed at the end); 2 bad arguments, unknown phase, unreadable list
// line, bad size, unwritable output, a detector the library refuses, or the first failure
// of a --strict batch.  Creates a
// QApplication on Qt's offscreen platform when none exists (no display needed).
int runRenderCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err,
                     const RenderEnvironment& environment);
int runRenderCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

// The command's help text.
std::string renderUsage();

}  // namespace ebsp
