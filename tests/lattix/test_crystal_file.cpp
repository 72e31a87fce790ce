// InitCrySet on good and broken crystal files in a temporary system folder, and on the installed
// COMMON files.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>

#include "lattixLib.h"
#include "system_folder_fixture.h"

namespace fs = std::filesystem;
using lattix_test::buildSystemFolder;
using lattix_test::CrystalFiles;
using lattix_test::errMsg;
using lattix_test::writeFile;

TEST_F(CrystalFiles, GoodFileFillsTheWholeSet) {
    const std::string path = crystalFile(
        "ti.cry",
        "VER3.1\r\nTitanium\r\nP 6_3/m m c\r\n9\r\n2.9504 2.9504 4.6833 90 90 120\r\nignored\r\n");
    EXPECT_EQ(init(path), 0);
    EXPECT_EQ(GetInitIoStatus(), 0);
    EXPECT_EQ(errMsg(), "Ok");
    EXPECT_EQ(std::string(m_cs->FileName), path);
    EXPECT_STREQ(m_cs->Name, "Titanium");
    EXPECT_STREQ(m_cs->Reference, "P 6_3/m m c");
    EXPECT_EQ(m_cs->LaueGroup, 9);
    EXPECT_FLOAT_EQ(m_cs->A, 2.9504f);
    EXPECT_FLOAT_EQ(m_cs->C, 4.6833f);
    EXPECT_FLOAT_EQ(m_cs->Gamma, 120.0f);
    EXPECT_EQ(m_cs->SpaceGroup, 0);
    EXPECT_EQ(m_cs->SymOpCount, 12);
    EXPECT_EQ(m_cs->PseudoCount, 0);
    EXPECT_EQ(m_cs->Apu0.Code, 90);
    EXPECT_NEAR(LatticeSpacing(m_cs.get(), 0, 0, 2), 4.6833 / 2, 1e-5);
}

TEST_F(CrystalFiles, LfAndCrLfFilesReadAlike) {
    const std::string body = "VER2.2|Quartz|ref|7|4.913 4.913 5.504 90 90 120|";
    std::string lf = body, crlf = body;
    for (char& c : lf)
        if (c == '|') c = '\n';
    crlf.clear();
    for (char c : body)
        crlf += c == '|' ? std::string("\r\n") : std::string(1, c);
    ASSERT_EQ(init(crystalFile("lf.cry", lf)), 0);
    const TCrySet fromLf = *m_cs;
    ASSERT_EQ(init(crystalFile("crlf.cry", crlf)), 0);
    EXPECT_STREQ(m_cs->Name, fromLf.Name);
    EXPECT_STREQ(m_cs->Reference, "ref");
    EXPECT_EQ(std::memcmp(&m_cs->Direct, &fromLf.Direct, sizeof(TMat3D)), 0);
}

TEST_F(CrystalFiles, VersionTags) {
    EXPECT_EQ(init(crystalFile("a.cry", "ver3.1\nA\n\n11\n4 4 4 90 90 90\n")), 0);
    EXPECT_EQ(init(crystalFile("b.cry", "Ver2.5\nB\n\n11\n4 4 4 90 90 90\n")), 0);
    // A refused tag is a failure of its own, not a silent success.
    for (const char* tag : {"VER2.1", "VER2.0", "VER3.2", "VER3.1 ", "", "crystal"}) {
        EXPECT_EQ(init(crystalFile("c.cry", std::string(tag) + "\nC\n\n11\n4 4 4 90 90 90\n")), 300)
            << tag;
        EXPECT_EQ(errMsg(), "Error number: 300");
    }
}

TEST_F(CrystalFiles, MissingFilesAndFolders) {
    EXPECT_EQ(init(""), 2);
    EXPECT_EQ(errMsg(), "File not found");
    EXPECT_EQ(InitCrySet(m_cs.get(), nullptr), 2);
    EXPECT_EQ(init((m_root / "none.cry").string()), 2);
    EXPECT_EQ(init((m_root / "nofolder" / "none.cry").string()), 3);
    EXPECT_EQ(errMsg(), "Path not found");
    EXPECT_EQ(init(m_root.string()), 5);  // a folder is no file (and nothing in COMMON matches)
}

TEST_F(CrystalFiles, BadNumbersStopTheRead) {
    EXPECT_EQ(init(crystalFile("n.cry", "VER3.1\nName\nRef\n1x\n4 4 4 90 90 90\n")), 106);
    EXPECT_EQ(errMsg(), "Invalid numeric format");
    EXPECT_STREQ(m_cs->Name, "Name");
    EXPECT_STREQ(m_cs->Reference, "Ref");

    m_cs->C = 77;
    EXPECT_EQ(init(crystalFile("m.cry", "VER3.1\nName\nRef\n11\n4 4 four 90 90 90\n")), 106);
    EXPECT_EQ(m_cs->LaueGroup, 11);
    EXPECT_FLOAT_EQ(m_cs->B, 4.0f);
    EXPECT_FLOAT_EQ(m_cs->C, 77.0f);  // not reached
    EXPECT_EQ(init(crystalFile("e.cry", "VER3.1\nName\nRef\n11\n4 4 1e999 90 90 90\n")), 106);
}

TEST_F(CrystalFiles, ShortFilesCutTextsAndHaveNoCell) {
    // A file that ends before its cell line has no cell: no success for zeros.
    EXPECT_EQ(init(crystalFile("s.cry", "VER3.1\nA name longer than twenty\nRef\n11\n")), 106);
    EXPECT_STREQ(m_cs->Name, "A name longer than t");
    EXPECT_EQ(init(crystalFile("t.cry", "VER3.1")), 106);
    EXPECT_STREQ(m_cs->Name, "");
    EXPECT_EQ(GetInitIoStatus(), 0);  // the setup data were never reached
    EXPECT_EQ(errMsg(), "Invalid numeric format");
    // A Laue group outside 1..11 with a good cell: the range status, in LastStatus too.
    EXPECT_EQ(init(crystalFile("u.cry", "VER3.1\nU\n\n0\n4 4 4 90 90 90\n")), 201);
    EXPECT_EQ(GetInitIoStatus(), 201);
    EXPECT_EQ(errMsg(), "Error number: 201");
}

TEST_F(CrystalFiles, FoundInCommonByPattern) {
    const fs::path common = m_system / "COMMON";
    EXPECT_EQ(init("corundum.cry"), 0);
    EXPECT_EQ(std::string(m_cs->FileName), (common / "Corundum.CRY").string());
    EXPECT_STREQ(m_cs->Name, "Corundum");
    EXPECT_EQ(init("C*"), 0);  // first match in name order
    EXPECT_EQ(std::string(m_cs->FileName), (common / "Copper.cry").string());
    EXPECT_EQ(init("/elsewhere/co?UND*.c?Y"), 0);  // only the bare name is a pattern
    EXPECT_STREQ(m_cs->Name, "Corundum");
    EXPECT_EQ(init("*.txt"), 2);
    EXPECT_EQ(std::string(m_cs->FileName), "*.txt");
}

TEST_F(CrystalFiles, PathLongerThanFileNameIsRefused) {
    const fs::path deep = m_root / std::string(70, 'd');
    fs::create_directories(deep);
    writeFile(deep / "x.cry", "VER3.1\nX\n\n11\n4 4 4 90 90 90\n");
    EXPECT_EQ(init((deep / "x.cry").string()), 201);
    EXPECT_EQ(errMsg(), "Error number: 201");
    EXPECT_STREQ(m_cs->FileName, "");
}

TEST_F(CrystalFiles, MissingSetupDataEndTheInitialisation) {
    fs::remove(m_system / "APU");
    const std::string path = crystalFile("ok.cry", "VER3.1\nOk\n\n11\n4 4 4 90 90 90\n");
    EXPECT_EQ(init(path), 2);
    EXPECT_EQ(GetInitIoStatus(), 2);
    EXPECT_EQ(errMsg(), "APU: File not found");
    EXPECT_EQ(m_cs->SymOpCount, 24);  // SYMGEN was read before APU failed
    writeFile(m_system / "APU", "110 0 45 0 54.7 9 0\n");
    EXPECT_EQ(init(path), 201);
}

// The lattices shipped in the build tree's COMMON folder all load.
TEST(CommonFolder, BuiltInPhaseFilesLoad) {
    const struct {
        const char* pattern;
        const char* name;
        int laue;
    } phases[] = {{"alumina.cry", "Alumina", 7}, {"ironbcc.cry", "Iron bcc", 11},
                  {"kyan*", "Kyanite", 1},       {"zro2mono*", "Zirconia, monoclinic", 2},
                  {"quartz.cry", "Quartz", 7},   {"pyrite.cry", "Pyrite", 10},
                  {"sic2h.cry", "SiC [2H]", 9},  {"zro2tet.cry", "Zirconia, tetragonal", 5}};
    auto cs = std::make_unique<TCrySet>();
    for (const auto& p : phases) {
        EXPECT_EQ(InitCrySet(cs.get(), p.pattern), 0) << p.pattern;
        EXPECT_EQ(GetInitIoStatus(), 0) << p.pattern;
        EXPECT_STREQ(cs->Name, p.name);
        EXPECT_EQ(cs->LaueGroup, p.laue);
    }
    int files = 0;
    for (const auto& entry : fs::directory_iterator(buildSystemFolder() / "COMMON")) {
        EXPECT_EQ(InitCrySet(cs.get(), entry.path().filename().c_str()), 0) << entry.path();
        EXPECT_EQ(GetInitIoStatus(), 0) << entry.path();
        ++files;
    }
    EXPECT_EQ(files, 19);
}
