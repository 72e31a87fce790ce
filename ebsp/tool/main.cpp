// ebsp-tool: the program's work on the command line.  main only picks the
// subcommand; each one lives in its own file (and brings its own libraries).
#include <cstring>
#include <iostream>
#include <string>
#include <vector>

#include "commands.h"

namespace {

struct Command {
    const char* name;
    int (*run)(const std::vector<std::string>&);
    const char* const* usage;
};

const Command kCommands[] = {
    {"phase", ebsp_tool::runPhase, &ebsp_tool::kPhaseUsage},
#ifdef EBSP_TOOL_FIT
    {"fit", ebsp_tool::runFit, &ebsp_tool::kFitUsage},
#endif
#ifdef EBSP_TOOL_RENDER
    {"render", ebsp_tool::runRender, &ebsp_tool::kRenderUsage},
#endif
};

void printUsage(std::ostream& out) {
    out << "usage:\n";
    for (const Command& command : kCommands) {
        out << "  ebsp-tool " << *command.usage << "\n";
    }
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        printUsage(std::cerr);
        return ebsp_tool::kExitBadInput;
    }
    const std::string name = argv[1];
    if (name == "--help" || name == "-h" || name == "help") {
        printUsage(std::cout);
        return ebsp_tool::kExitOk;
    }
    for (const Command& command : kCommands) {
        if (name == command.name) {
            return command.run(std::vector<std::string>(argv + 2, argv + argc));
        }
    }
    std::cerr << "ebsp-tool: unknown command '" << name << "'\n";
    printUsage(std::cerr);
    return ebsp_tool::kExitBadInput;
}
