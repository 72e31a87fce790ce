// A system folder of the test's own (the build tree's SYMGEN and APU, a COMMON folder with two
// crystal files, an Orvane.conf naming it) for tests of crystal files and setup data.
#pragma once

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>

#include "lattixLib.h"

namespace lattix_test {

namespace fs = std::filesystem;

inline std::string errMsg() {
    char text[64];
    return ErrMsg(text);
}

// The build tree's system folder, as its Orvane.conf names it.
inline fs::path buildSystemFolder() {
    const char* xdg = std::getenv("XDG_CONFIG_DIRS");
    std::ifstream conf(fs::path(xdg ? xdg : "") / "Orvane.conf");
    std::string line;
    while (std::getline(conf, line)) {
        if (line.rfind("SystemDir=", 0) == 0) return line.substr(10);
    }
    return {};
}

inline void writeFile(const fs::path& path, const std::string& contents) {
    std::ofstream(path, std::ios::binary) << contents;
}

class CrystalFiles : public ::testing::Test {
  protected:
    void SetUp() override {
        m_root = fs::temp_directory_path() / ("lattix_cf_" + std::to_string(::getpid()));
        m_system = m_root / "system";
        fs::create_directories(m_system / "COMMON");
        const fs::path data = buildSystemFolder();
        ASSERT_TRUE(fs::exists(data / "SYMGEN")) << data;
        fs::copy_file(data / "SYMGEN", m_system / "SYMGEN");
        fs::copy_file(data / "APU", m_system / "APU");
        writeFile(m_system / "COMMON" / "Corundum.CRY",
                  "VER3.1\r\nCorundum\r\nin COMMON\r\n7\r\n4.754 4.754 12.982 90 90 120\r\n");
        writeFile(m_system / "COMMON" / "Copper.cry",
                  "VER3.1\nCopper\nfcc\n11\n3.615 3.615 3.615 90 90 90\n");
        writeFile(m_root / "Orvane.conf", "[General]\nSystemDir=" + m_system.string() + "\n");
        const char* old = std::getenv("XDG_CONFIG_DIRS");
        m_savedXdg = old ? old : "";
        setenv("XDG_CONFIG_DIRS", m_root.c_str(), 1);
        m_cs = std::make_unique<TCrySet>();
        std::memset(m_cs.get(), 0x33, sizeof(TCrySet));
    }
    void TearDown() override {
        setenv("XDG_CONFIG_DIRS", m_savedXdg.c_str(), 1);
        std::error_code ec;
        fs::remove_all(m_root, ec);
    }
    std::string crystalFile(const std::string& name, const std::string& contents) {
        writeFile(m_root / name, contents);
        return (m_root / name).string();
    }
    uint16_t init(const std::string& name) { return InitCrySet(m_cs.get(), name.c_str()); }
    // InitCrySet2 of a cubic cell in the fixture's system folder; its I/O status.
    uint16_t initCubic() {
        InitCrySet2(m_cs.get(), "name", "ref", 4, 4, 4, 90, 90, 90, 11, 225);
        return GetInitIoStatus();
    }

    fs::path m_root, m_system;
    std::string m_savedXdg;
    std::unique_ptr<TCrySet> m_cs;
};

}  // namespace lattix_test
