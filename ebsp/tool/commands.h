// The subcommands of ebsp-tool, one source file each.  Each takes the
// arguments after its name and returns the exit status: 0 success, 2 a bad
// argument or file (with the message on stderr).
#pragma once

#include <string>
#include <vector>

namespace ebsp_tool {

inline constexpr int kExitOk = 0;
inline constexpr int kExitBadInput = 2;

// ebsp-tool phase FILE|N [--reflectors N] [--block N]
int runPhase(const std::vector<std::string>& args);
extern const char* const kPhaseUsage;

#ifdef EBSP_TOOL_FIT
// ebsp-tool fit ... (refines orientation and pattern centre of a measured pattern)
int runFit(const std::vector<std::string>& args);
extern const char* const kFitUsage;
#endif

#ifdef EBSP_TOOL_RENDER
// ebsp-tool render ... (pictures of the views; needs Qt)
int runRender(const std::vector<std::string>& args);
extern const char* const kRenderUsage;
#endif

}  // namespace ebsp_tool
