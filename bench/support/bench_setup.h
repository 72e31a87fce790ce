// Every benchmark runs on the real setup data or not at all: crystal sets built without
// SYMGEN and APU have one operator, and their figures would be quietly wrong.
#pragma once

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <system_error>

#include "lattixSetup.h"

namespace bench {

// From the build tree, the setup data sit beside the bench folder (build/etc/xdg).
inline void useBuildTreeSetupData() {
    const char* xdg = std::getenv("XDG_CONFIG_DIRS");
    if (xdg != nullptr && *xdg != '\0') return;
    std::error_code error;
    const auto exe = std::filesystem::read_symlink("/proc/self/exe", error);
    const auto dir = exe.parent_path().parent_path() / "etc" / "xdg";
    if (!error && std::filesystem::exists(dir / "Orvane.conf"))
        setenv("XDG_CONFIG_DIRS", dir.c_str(), 1);
}

// False, with the reason on stderr, when the setup data cannot be read.
inline bool setupDataReadable(const char* program) {
    const auto report = std::make_unique<TLtxSetupReport>();
    if (CheckSetupData(report.get()) == 0) return true;
    std::fprintf(stderr,
                 "%s: refusing to run: the setup data cannot be read (%s).\n"
                 "Setup folder: %s (%s %s).\n"
                 "Run it with XDG_CONFIG_DIRS naming the folder of a good Orvane.conf, "
                 "e.g. XDG_CONFIG_DIRS=$PWD/build/etc/xdg build/bench/%s (an absolute path)\n",
                 program, report->Text, report->Folder,
                 report->KeyFound != 0 ? "SystemDir in" : "built-in default; no", report->KeySource,
                 program);
    return false;
}

}  // namespace bench
