// The machine-wide key on Unix: Orvane.conf in the XDG system folders, its INI syntax, and the
// fallback with its box.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "library_state.h"
#include "registry.h"

namespace fs = std::filesystem;

namespace lattix {
namespace {

std::vector<std::string> boxes;
void recordBox(const char* caption, const char* text) {
    boxes.push_back(std::string(caption) + "|" + text);
}

class XdgFolders : public ::testing::Test {
  protected:
    void SetUp() override {
        m_root = fs::temp_directory_path() / ("lattix_xdg_" + std::to_string(::getpid()));
        fs::create_directories(m_root / "first");
        fs::create_directories(m_root / "second");
        const char* old = std::getenv("XDG_CONFIG_DIRS");
        m_had = old != nullptr;
        m_saved = old ? old : "";
        boxes.clear();
        setMessageBoxHandler(recordBox);
    }
    void TearDown() override {
        setMessageBoxHandler(nullptr);
        if (m_had)
            setenv("XDG_CONFIG_DIRS", m_saved.c_str(), 1);
        else
            unsetenv("XDG_CONFIG_DIRS");
        std::error_code ec;
        fs::remove_all(m_root, ec);
    }
    void conf(const char* folder, const std::string& text) {
        std::ofstream(m_root / folder / "Orvane.conf") << text;
    }
    void dirs(const std::string& value) { setenv("XDG_CONFIG_DIRS", value.c_str(), 1); }

    fs::path m_root;
    bool m_had = false;
    std::string m_saved;
};

TEST_F(XdgFolders, ValuePresent) {
    conf("second", "[General]\nSystemDir=/opt/orvane/data\n");
    dirs((m_root / "first").string() + ":" + (m_root / "second").string());
    EXPECT_EQ(systemDir(), "/opt/orvane/data");
    EXPECT_TRUE(boxes.empty());
}

TEST_F(XdgFolders, FirstFolderHoldingTheFileWins) {
    conf("first", "[General]\nOther=1\n");  // no value: the second file is not consulted
    conf("second", "[General]\nSystemDir=/second\n");
    dirs("relative/skipped::" + (m_root / "first").string() + ":" + (m_root / "second").string());
    EXPECT_EQ(systemDir(), "");
    EXPECT_TRUE(boxes.empty());
}

TEST_F(XdgFolders, ValueMissingGivesEmptyTextWithoutMessage) {
    conf("first", "[Other]\nSystemDir=/not/general\n[General]\nsystemdir=/wrong/case\n");
    dirs((m_root / "first").string());
    const RegistryValue key = readSystemDirValue();
    EXPECT_TRUE(key.keyOpened);
    EXPECT_EQ(systemDir(), "");
    EXPECT_TRUE(boxes.empty());
}

TEST_F(XdgFolders, FileMissingFallsBackWithTheBox) {
    dirs((m_root / "first").string() + ":" + (m_root / "second").string());
    EXPECT_FALSE(readSystemDirValue().keyOpened);
    const std::string folder = systemDir();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0], "Orvane setup error|Cannot read registry entry SystemDir");
    EXPECT_FALSE(folder.empty());
    EXPECT_EQ(folder.front(), '/');
    EXPECT_EQ(fs::path(folder).filename(), "orvane");
    systemDir();
    EXPECT_EQ(boxes.size(), 2u);  // looked up anew every time
}

TEST(IniValue, QSettingsSyntax) {
    const struct {
        const char* text;
        const char* expected;  // nullptr: not found
    } cases[] = {
        {"[General]\nSystemDir=/a/b\n", "/a/b"},
        {"SystemDir=/top/level\n", "/top/level"},  // keys before any section are [General]
        {"[General]\r\nSystemDir = /spaced \r\n", "/spaced"},
        {"[General]\nSystemDir=\"/with spaces/x\"\n", "/with spaces/x"},
        {"[General]\nSystemDir=C:\\\\ORVANE\n", "C:\\ORVANE"},
        {"[General]\nSystemDir=/a ; comment\n", "/a"},
        {"[General]\n; SystemDir=/commented\n", nullptr},
        {"[General]\nSystemDir=/one\nSystemDir=/two\n", "/two"},
        {"[General]\nSystemDir=\n", ""},
        {"[Generalx]\nSystemDir=/a\n", nullptr},
        {"[General]\nSystemDirX=/a\n", nullptr},
        {"", nullptr},
    };
    for (const auto& c : cases) {
        const auto value = iniValue(c.text, "General", "SystemDir");
        if (c.expected == nullptr) {
            EXPECT_FALSE(value.has_value()) << c.text;
        } else {
            ASSERT_TRUE(value.has_value()) << c.text;
            EXPECT_EQ(*value, c.expected) << c.text;
        }
    }
}

}  // namespace
}  // namespace lattix
