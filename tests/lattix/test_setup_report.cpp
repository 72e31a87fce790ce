// After a failed read of the setup data ErrMsg names the file, and the setup report names the
// folder and file the library tried and what went wrong; CheckSetupData reads the data through.
#include <gtest/gtest.h>

#include <string>

#include "lattixLib.h"
#include "lattixSetup.h"
#include "system_folder_fixture.h"

namespace {

namespace fs = std::filesystem;
using lattix_test::CrystalFiles;
using lattix_test::errMsg;
using lattix_test::writeFile;

// Eight good APU records (groups 11 to 8), then a damaged one: group 7, variant 0.
std::string apuDamagedAtGroup7() {
    std::string text;
    for (int i = 0; i < 8; ++i)
        text += "110 0 0 0 0 0 0\n";
    return text + "107 0 0 0 0 x 0\n";
}

using SetupReport = CrystalFiles;

TEST_F(SetupReport, FailedSetupReadsAreNamedInErrMsgAndTheReport) {
    const fs::path symgen = m_system / "SYMGEN", apu = m_system / "APU";
    const std::string folder = m_system.string();
    const struct {
        const char* what;
        fs::path file;
        const char* contents;  // nullptr: the file is removed
        int laue;
        uint16_t status;
        const char* errMsg;
        int32_t reportFile;
        std::string reportText;
    } cases[] = {
        {"no SYMGEN", symgen, nullptr, 11, 2, "SYMGEN: File not found", LATTIX_SETUP_FILE_SYMGEN,
         "SYMGEN not found in " + folder},
        {"no APU", apu, nullptr, 11, 2, "APU: File not found", LATTIX_SETUP_FILE_APU,
         "APU not found in " + folder},
        {"APU record damaged", apu, "", 7, 106, "APU: Invalid numeric format",
         LATTIX_SETUP_FILE_APU, "APU: record for Laue group 7 is damaged"},
        {"SYMGEN line damaged", symgen, "0\n0\n0\n0\n0\n0\n9 2 001\n", 7, 201,
         "SYMGEN: Error number: 201", LATTIX_SETUP_FILE_SYMGEN,
         "SYMGEN: line for Laue group 7 is damaged"},
    };
    for (const auto& c : cases) {
        const fs::path saved = c.file.string() + ".saved";
        fs::rename(c.file, saved);
        if (c.contents != nullptr)
            writeFile(c.file, *c.contents ? std::string(c.contents) : apuDamagedAtGroup7());
        InitCrySet2(m_cs.get(), "n", "r", 4, 4, 4, 90, 90, 90, c.laue, 240 + c.laue);
        EXPECT_EQ(GetInitIoStatus(), c.status) << c.what;
        EXPECT_EQ(errMsg(), c.errMsg) << c.what;
        TLtxSetupReport report;
        EXPECT_EQ(GetSetupReport(&report), c.status) << c.what;
        EXPECT_EQ(report.File, c.reportFile) << c.what;
        EXPECT_EQ(report.Text, c.reportText) << c.what;
        EXPECT_EQ(report.Folder, folder) << c.what;
        EXPECT_EQ(report.KeyFound, 1);
        EXPECT_EQ(report.KeySource, (m_root / "Orvane.conf").string());
        EXPECT_EQ(report.Path, c.file.string()) << c.what;
        fs::remove(c.file);
        fs::rename(saved, c.file);
    }
    // A good run clears what the failure left.
    EXPECT_EQ(initCubic(), 0);
    EXPECT_EQ(errMsg(), "Ok");
    TLtxSetupReport report;
    EXPECT_EQ(GetSetupReport(&report), 0);
    EXPECT_STREQ(report.Text, "");
    EXPECT_EQ(report.Folder, folder);
}

TEST_F(SetupReport, InitCrySetLeavesItsSetupFailureInLastStatus) {
    fs::remove(m_system / "APU");
    EXPECT_EQ(init(crystalFile("ok.cry", "VER3.1\nOk\n\n11\n4 4 4 90 90 90\n")), 2);
    EXPECT_EQ(errMsg(), "APU: File not found");
    // A crystal-file failure names the file in the report; ErrMsg keeps the plain text.
    EXPECT_EQ(init(crystalFile("bad.cry", "VER3.1\nB\n\n11\n4 4 4 10 10 170\n")), 207);
    EXPECT_EQ(errMsg(), "Cell parameters make no cell");
    TLtxSetupReport report;
    EXPECT_EQ(GetSetupReport(&report), 207);
    EXPECT_EQ(report.File, LATTIX_SETUP_FILE_CRYSTAL);
    EXPECT_EQ(report.Text, "Crystal file " + (m_root / "bad.cry").string() +
                               ": the cell parameters make no cell");
}

TEST_F(SetupReport, FolderIsTheOneTheLibrarySearched) {
    // A comma in SystemDir (QSettings would read a list) and CR-only line ends.
    const fs::path comma = m_root / "data,2024";
    fs::create_directories(comma);
    writeFile(m_root / "Orvane.conf", "[General]\nSystemDir=" + comma.string() + "\n");
    EXPECT_EQ(initCubic(), 2);
    TLtxSetupReport report;
    GetSetupReport(&report);
    EXPECT_EQ(report.Folder, comma.string());
    EXPECT_EQ(report.Text, "SYMGEN not found in " + comma.string());

    writeFile(m_root / "Orvane.conf", "[General]\rSystemDir=" + m_system.string() + "\r");
    EXPECT_EQ(initCubic(), 0);
    GetSetupReport(&report);
    EXPECT_EQ(report.Folder, m_system.string());

    // No Orvane.conf at all: the default folder, and where the key was looked for.
    const fs::path nowhere = m_root / "nowhere";
    setenv("XDG_CONFIG_DIRS", nowhere.c_str(), 1);
    SetMessageBoxHandler([](const char*, const char*) {});
    initCubic();
    SetMessageBoxHandler(nullptr);
    GetSetupReport(&report);
    EXPECT_EQ(report.KeyFound, 0);
    EXPECT_EQ(report.KeySource, "Orvane.conf in " + nowhere.string());
}

TEST_F(SetupReport, CheckSetupDataReadsEveryGroupThrough) {
    TLtxSetupReport report;
    EXPECT_EQ(CheckSetupData(&report), 0);
    EXPECT_STREQ(report.Text, "");
    EXPECT_EQ(report.Folder, m_system.string());

    // A SYMGEN of three lines: group 4 would get the identity alone.
    fs::rename(m_system / "SYMGEN", m_system / "SYMGEN.saved");
    writeFile(m_system / "SYMGEN", "0\n1 2 010\n2 2 001  2 100\n");
    EXPECT_EQ(CheckSetupData(&report), 201);
    EXPECT_EQ(report.LaueGroup, 4);
    EXPECT_STREQ(report.Text, "SYMGEN: line for Laue group 4 gives 1 rotations, not 4");
    fs::rename(m_system / "SYMGEN.saved", m_system / "SYMGEN");

    std::string apu;
    for (int i = 0; i < 14; ++i)
        apu += "110 0 0 0 0 0 0\n";
    writeFile(m_system / "APU", apu);
    EXPECT_EQ(CheckSetupData(nullptr), 201);
    EXPECT_EQ(GetSetupReport(&report), 201);
    EXPECT_STREQ(report.Text, "APU: holds 14 of the 22 records");

    fs::remove(m_system / "APU");
    const std::string before = errMsg();
    EXPECT_EQ(CheckSetupData(&report), 2);
    EXPECT_EQ(report.Text, "APU not found in " + m_system.string());
    EXPECT_EQ(errMsg(), before);  // LastStatus is not touched by the check
}

}  // namespace
