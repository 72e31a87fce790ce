// ebsp-tool phase, run as a program: output format, exit statuses, and the
// same list as the module gives.
#include <gtest/gtest.h>

#include <sys/wait.h>

#include <cstdio>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <vector>

#include "structure_test_support.h"

#ifdef EBSP_TOOL_FIT
#include "pattern_render.h"
#include "pgm_image.h"
#include "synthetic_pattern.h"
#endif

namespace {

struct ToolRun {
    int status = -1;
    std::vector<std::string> lines;  // stdout, or stdout and stderr
};

ToolRun runTool(const std::string& arguments, bool withStderr = false) {
    const std::string command = std::string("'") + EBSP_TOOL_PATH + "' " + arguments +
                                (withStderr ? " 2>&1" : " 2>/dev/null");
    ToolRun run;
    FILE* pipe = popen(command.c_str(), "r");
    if (pipe == nullptr) {
        return run;
    }
    std::string text;
    char buffer[4096];
    for (std::size_t n; (n = fread(buffer, 1, sizeof buffer, pipe)) > 0;)
        text.append(buffer, n);
    const int raw = pclose(pipe);
    run.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);)
        run.lines.push_back(line);
    return run;
}

TEST(EbspTool, BuiltInPhaseAsTheWindowDescribesIt) {
    const ToolRun run = runTool("phase 3");
    ASSERT_EQ(run.status, 0);
    ASSERT_EQ(run.lines.size(), 6u + 190u);
    EXPECT_EQ(run.lines[0], "Phase=Iron bcc");
    EXPECT_EQ(run.lines[1], "Space Group=229, I m -3 m");
    EXPECT_EQ(run.lines[2], "Crystal System=Cubic");
    EXPECT_EQ(run.lines[3], "a=2.866\u00c5");
    EXPECT_EQ(run.lines[4], "Laue group=11 (m3m)");
    EXPECT_EQ(run.lines[5], "h,k,l,d,intensity,family");
    EXPECT_EQ(run.lines[6], "1,-1,0,2.02657,10000,1");  // 2.866 / sqrt 2
    EXPECT_EQ(run.lines.back(), "0,4,-4,0.50664,260,15");

    // The window's lines for Alumina and Kyanite.
    const ToolRun alumina = runTool("phase 1 --reflectors 3");
    ASSERT_EQ(alumina.status, 0);
    EXPECT_EQ(alumina.lines[1], "Space Group=167, R -3 c");
    EXPECT_EQ(alumina.lines[2], "Crystal System=Trigonal");
    EXPECT_EQ(alumina.lines[3], "a=4.754 c=12.98\u00c5 gamma=120\u00b0");
    const ToolRun kyanite = runTool("phase 16 --reflectors 1");
    ASSERT_EQ(kyanite.status, 0);
    EXPECT_EQ(kyanite.lines[1], "Space Group=2, P-1");
    EXPECT_EQ(kyanite.lines[3],
              "a=7.124 b=7.856 c=5.577\u00c5 alpha=89.99 beta=101.2 gamma=105.9\u00b0");
    EXPECT_EQ(kyanite.lines[4], "Laue group=1 (-1)");

    const ToolRun laue = runTool("phase 6 --reflectors 2");
    ASSERT_EQ(laue.status, 0);
    EXPECT_EQ(laue.lines[1], "Laue Group=3 (mmm)");
    EXPECT_EQ(laue.lines[4], "Laue group=3 (mmm)");
    EXPECT_EQ(laue.lines.size(), 6u + 2u);
}

TEST(EbspTool, ReflectorLimitKeepsWholeFamilies) {
    // Iron bcc: families of 6, 3, 12, ... reflectors.
    for (const auto& [limit, rows] :
         std::vector<std::pair<int, std::size_t>>{{5, 0}, {6, 6}, {10, 9}, {21, 21}, {200, 190}}) {
        const ToolRun run = runTool("phase 3 --reflectors " + std::to_string(limit));
        ASSERT_EQ(run.status, 0);
        EXPECT_EQ(run.lines.size(), 6u + rows) << limit;
    }
}

TEST(EbspTool, StructureFileGivesTheModuleListWithLaueGroupAndNotes) {
    const std::string path = structure_test::dataPath("trigonal_p31m.cif");
    const ToolRun run = runTool("phase '" + path + "'");
    ASSERT_EQ(run.status, 0);
    const auto phase = structure_test::loadOk("trigonal_p31m.cif");
    EXPECT_EQ(run.lines[0], "Phase=P-31m test");
    EXPECT_EQ(run.lines[1], "Space Group=162, P -3 1 m");
    EXPECT_EQ(run.lines[2], "Crystal System=Trigonal");
    EXPECT_EQ(run.lines[3], "a=5 c=4\u00c5 gamma=120\u00b0");
    EXPECT_EQ(run.lines[4], "Laue group=6 (-3)");
    std::size_t row = 5;
    for (const std::string& note : phase.notes)
        EXPECT_EQ(run.lines[row++], "Note: " + note);
    ASSERT_GE(phase.notes.size(), 2u);
    EXPECT_EQ(run.lines[row++], "h,k,l,d,intensity,family");
    const auto entries = structure_test::usedEntries(phase.record);
    ASSERT_EQ(run.lines.size(), row + entries.size());
    for (const auto& e : entries) {
        int h, k, l;
        double d;
        unsigned intensity, family;
        ASSERT_EQ(std::sscanf(run.lines[row++].c_str(), "%d,%d,%d,%lf,%u,%u", &h, &k, &l, &d,
                              &intensity, &family),
                  6);
        EXPECT_EQ(h, e.h);
        EXPECT_EQ(k, e.k);
        EXPECT_EQ(l, e.l);
        EXPECT_EQ(intensity, e.Intensity);
        EXPECT_EQ(family, e.Family);
    }
}

TEST(EbspTool, BadArgumentsAndFilesExitWithTwoAndAMessage) {
    const std::string broken = "'" + structure_test::dataPath("no_such_file.cif") + "'";
    for (const std::string& arguments :
         {std::string("phase"), std::string("phase 0"), std::string("phase 20"),
          std::string("phase 3 --reflectors"), std::string("phase 3 --reflectors x"),
          std::string("phase 3 --reflectors 0"), std::string("phase 3 4"),
          std::string("phase 3 --frobnicate"), std::string("frobnicate"), std::string(""),
          "phase " + broken}) {
        const ToolRun quiet = runTool(arguments);
        EXPECT_EQ(quiet.status, 2) << arguments;
        EXPECT_TRUE(quiet.lines.empty()) << arguments;
        const ToolRun loud = runTool(arguments, true);
        EXPECT_FALSE(loud.lines.empty()) << arguments;
    }
    const ToolRun missing = runTool("phase " + broken, true);
    ASSERT_FALSE(missing.lines.empty());
    EXPECT_NE(missing.lines[0].find("no_such_file.cif: cannot open"), std::string::npos);
}

#ifdef EBSP_TOOL_RENDER
// The tool's render command draws a built-in phase and a phase read from a CIF; the
// picture of the built-in phase is that of the same state given by name or by index.
TEST(EbspTool, RendersBuiltInAndFilePhases) {
    const std::string folder = testing::TempDir();
    const std::string byName = folder + "/tool_render_name.png";
    const std::string byIndex = folder + "/tool_render_index.png";
    const std::string fromFile = folder + "/tool_render_file.png";
    ASSERT_EQ(runTool("render --phase 'Iron bcc' --euler 30,45,10 --out '" + byName + "'").status,
              0);
    ASSERT_EQ(runTool("render --phase 3 --euler 30,45,10 --out '" + byIndex + "'").status, 0);
    std::ifstream a(byName, std::ios::binary), b(byIndex, std::ios::binary);
    const std::string bytesA((std::istreambuf_iterator<char>(a)), {});
    const std::string bytesB((std::istreambuf_iterator<char>(b)), {});
    EXPECT_GT(bytesA.size(), 1000u);
    EXPECT_EQ(bytesA, bytesB);
    const std::string cif = "'" + structure_test::dataPath("copper.cif") + "'";
    EXPECT_EQ(runTool("render --phase " + cif + " --out '" + fromFile + "'").status, 0);
    EXPECT_TRUE(std::ifstream(fromFile).good());
    const ToolRun missing =
        runTool("render --phase " + folder + "/no_such.cif --out '" + fromFile + "'", true);
    EXPECT_EQ(missing.status, 2);
}
#endif

#ifdef EBSP_TOOL_FIT
// The fit command with a phase read from a CIF: a synthetic copper pattern is found again
// from a start one degree off; a broken or missing file exits with 2 and names the file.
TEST(EbspTool, FitsWithAPhaseFromAFile) {
    const ebsp_structure::UserPhase copper = structure_test::loadOk("copper.cif");
    ebsp::fit::PhaseModel model;
    std::string error;
    ASSERT_TRUE(ebsp::fit::buildPhaseModel(copper.record, copper.laueGroup, 20.0, 65, model, error))
        << error;
    const TDetector d{60, 60, 8, 50.0, 70.0, 0, 0, 0, 0.52, 0.31, 0.62};
    ebsp::fit::testing::Degradation how;
    how.oversample = 8;
    const std::string folder = testing::TempDir();
    const std::string pgm = folder + "/tool_fit_copper.pgm";
    std::ofstream(pgm, std::ios::binary)
        << ebsp::fit::writePgm(ebsp::fit::testing::makeSyntheticPattern(
               d, ebsp::fit::testing::eulerDeg(31, 47, 12), model.bands, how));
    const std::string rest = " --pattern '" + pgm +
                             "' --euler 31.8,46.6,12.3 --pc 0.52,0.69,0.62 --convention edax "
                             "--binning 8";
    const ToolRun run =
        runTool("fit --phase '" + structure_test::dataPath("copper.cif") + "'" + rest);
    ASSERT_EQ(run.status, 0);
    ASSERT_EQ(run.lines.size(), 1u);
    std::istringstream line(run.lines[0]);
    double v[7];
    for (double& x : v)
        ASSERT_TRUE(line >> x) << run.lines[0];
    EXPECT_LT(ebsp::fit::testing::misorientationDeg(ebsp::fit::testing::eulerDeg(v[0], v[1], v[2]),
                                                    ebsp::fit::testing::eulerDeg(31, 47, 12)),
              0.2);
    EXPECT_EQ(v[3], 0.52);
    EXPECT_GT(v[6], 0.5);

    const std::string broken = folder + "/tool_fit_broken.cif";
    std::ofstream(broken) << "data_broken\n_cell_length_a 3.6\nloop_\n_atom_site_label\n";
    for (const std::string& file : {broken, folder + "/tool_fit_none.cif"}) {
        const ToolRun bad = runTool("fit --phase '" + file + "'" + rest, true);
        EXPECT_EQ(bad.status, 2) << file;
        ASSERT_FALSE(bad.lines.empty()) << file;
        EXPECT_NE(bad.lines[0].find(file), std::string::npos) << bad.lines[0];
    }
}
#endif

}  // namespace
