// A small stand-in for "ebsp-tool render ...": the arguments after the program's name go
// to the render command as they are.
#include <iostream>
#include <string>
#include <vector>

#include "render_command.h"

int main(int argc, char** argv) {
    std::vector<std::string> args(argv + 1, argv + argc);
    if (!args.empty() && args.front() == "render") args.erase(args.begin());
    return ebsp::runRenderCommand(args, std::cout, std::cerr);
}
