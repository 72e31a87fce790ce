// The program's setup-failure message names the folder and file the library tried, with the
// library's own reasons in words.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "lattixLib.h"
#include "setup_failure.h"

namespace {

namespace fs = std::filesystem;

class SetupFailureMessage : public ::testing::Test {
  protected:
    void SetUp() override {
        m_root = fs::temp_directory_path() / ("ebsp_setup_" + std::to_string(::getpid()));
        fs::create_directories(m_root);
        const char* old = std::getenv("XDG_CONFIG_DIRS");
        m_savedXdg = old ? old : "";
        setenv("XDG_CONFIG_DIRS", m_root.c_str(), 1);
    }
    void TearDown() override {
        setenv("XDG_CONFIG_DIRS", m_savedXdg.c_str(), 1);
        std::error_code ec;
        fs::remove_all(m_root, ec);
    }
    void conf(const std::string& text) { std::ofstream(m_root / "Orvane.conf") << text; }
    std::string selectAlumina() {
        TCrySet* cs = new TCrySet{};
        InitCrySet2(cs, "name", "ref", 4.754f, 4.754f, 12.982f, 90, 90, 120, 7, 167);
        delete cs;
        return lastSetupFailureMessage("Alumina");
    }

    fs::path m_root;
    std::string m_savedXdg;
};

TEST_F(SetupFailureMessage, NamesTheFolderTheLibrarySearched) {
    // QSettings reads "a,b" as a list; the library takes the value as it stands.
    const fs::path folder = m_root / "setup,data";
    fs::create_directories(folder);
    conf("[General]\nSystemDir=" + folder.string() + "\n");
    const std::string text = selectAlumina();
    EXPECT_EQ(text, "The crystal set of \"Alumina\" could not be built: SYMGEN not found in " +
                        folder.string() + ".\n\nSetup folder: " + folder.string() +
                        " (SystemDir in " + (m_root / "Orvane.conf").string() + ")");
}

TEST_F(SetupFailureMessage, CrOnlyLineEndsAndDamagedRecords) {
    const fs::path folder = m_root / "data";
    fs::create_directories(folder);
    conf("[General]\rSystemDir=" + folder.string() + "\r");
    std::ofstream(folder / "SYMGEN") << "0\n0\n0\n0\n0\n0\n0\n0\n0\n0\n0\n";
    std::string apu;
    for (int i = 0; i < 8; ++i)
        apu += "110 0 0 0 0 0 0\n";
    std::ofstream(folder / "APU") << apu << "107 0 0 0 0 9 0\n";
    const std::string text = selectAlumina();
    EXPECT_NE(text.find("could not be built: APU: record for Laue group 7 is damaged."),
              std::string::npos)
        << text;
    EXPECT_NE(text.find("Setup folder: " + folder.string() + " (SystemDir in"), std::string::npos)
        << text;
}

TEST_F(SetupFailureMessage, NoKeyNamesTheDefaultAndWhereItLooked) {
    TLtxSetupReport report{};
    report.Status = 2;
    report.KeyFound = 0;
    std::snprintf(report.Folder, sizeof report.Folder, "/usr/local/share/orvane");
    std::snprintf(report.KeySource, sizeof report.KeySource, "Orvane.conf in /etc/xdg");
    std::snprintf(report.Text, sizeof report.Text, "SYMGEN not found in /usr/local/share/orvane");
    const std::string text =
        setupFailureMessage("Quartz", report,
                            {"Orvane setup error: Cannot read registry entry SystemDir",
                             "Orvane setup error: Cannot read registry entry SystemDir"});
    EXPECT_EQ(text,
              "The crystal set of \"Quartz\" could not be built: SYMGEN not found in "
              "/usr/local/share/orvane.\n\nSetup folder: /usr/local/share/orvane (built-in "
              "default; no Orvane.conf in /etc/xdg)\n\nOrvane setup error: Cannot read registry "
              "entry SystemDir");
    report.Status = 0;
    EXPECT_EQ(setupFailureMessage("Quartz", report), "");
}

}  // namespace
