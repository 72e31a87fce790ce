// The fit command, its argument parsing, the settings file and the PGM reader.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "fit_command.h"
#include "fit_settings.h"
#include "fit_text.h"
#include "pgm_image.h"
#include "phase_catalogue.h"
#include "synthetic_pattern.h"

namespace ebsp::fit {
namespace {

TEST(FitText, NumbersAndListsAreStrict) {
    struct Row {
        const char* text;
        bool ok;
        double value;
    };
    for (const Row& r : {Row{"1.5", true, 1.5}, Row{"-2e-3", true, -0.002}, Row{"0", true, 0},
                         Row{"", false, 0}, Row{"+1", false, 0}, Row{" 1", false, 0},
                         Row{"1 ", false, 0}, Row{"1,5", false, 0}, Row{"nan", false, 0},
                         Row{"inf", false, 0}, Row{"1e999", false, 0}, Row{"0x10", false, 0}}) {
        double v = 42.0;
        EXPECT_EQ(parseNumber(r.text, v), r.ok) << r.text;
        if (r.ok) {
            EXPECT_EQ(v, r.value) << r.text;
        }
    }
    double three[3];
    EXPECT_TRUE(parseNumberList("1,2.5,-3", 3, three));
    EXPECT_EQ(three[2], -3.0);
    for (const char* bad : {"1,2", "1,2,3,4", "1,,3", ",1,2", "1,2,", "1;2;3", "1, 2, 3"})
        EXPECT_FALSE(parseNumberList(bad, 3, three)) << bad;
    EXPECT_EQ(conventionFromName("tsl"), lxPcEdax);
    EXPECT_EQ(conventionFromName("Bruker"), -1);
    EXPECT_EQ(formatFixed(-0.00001, 4), "0.0000");
    EXPECT_EQ(formatFixed(12.34567, 4), "12.3457");
}

TEST(FitText, ArgumentErrors) {
    const std::vector<std::string> good = {"--phase",      "Aluminium", "--pattern", "p.pgm",
                                           "--euler",      "1,2,3",     "--pc",      "0.5,0.3,0.6",
                                           "--convention", "bruker"};
    FitArguments a;
    std::string error;
    ASSERT_TRUE(parseFitArguments(good, a, error)) << error;
    EXPECT_EQ(a.euler[1], 2.0);
    EXPECT_EQ(a.sampleTilt, 70.0);
    struct Row {
        std::vector<std::string> extra;
        const char* why;
    };
    for (const Row& r :
         {Row{{"--tilt"}, "needs a value"}, Row{{"--tilt", "x"}, "bad value"},
          Row{{"--phase", "Quartz"}, "twice"}, Row{{"--frobnicate"}, "unknown"},
          Row{{"--binning", "0"}, "bad value"}, Row{{"--kv", "-20"}, "bad value"},
          Row{{"--reflectors", "201"}, "bad value"}, Row{{"--pixel-size", "0"}, "bad value"}}) {
        std::vector<std::string> args = good;
        args.insert(args.end(), r.extra.begin(), r.extra.end());
        EXPECT_FALSE(parseFitArguments(args, a, error));
        EXPECT_NE(error.find(r.why), std::string::npos) << error;
    }
    for (std::size_t drop = 0; drop < good.size(); drop += 2) {
        std::vector<std::string> args = good;
        args.erase(args.begin() + drop, args.begin() + drop + 2);
        EXPECT_FALSE(parseFitArguments(args, a, error));
        EXPECT_NE(error.find("missing"), std::string::npos) << error;
    }
}

TEST(FitText, SettingsRoundTripAndRefusals) {
    FitSettings s;
    s.pattern = "scan \"7\"\\pattern\n.png";
    s.phase = "Iron bcc";
    s.voltageKv = 15.0;
    s.detector = {80, 60, 8, 59.2, 70.0, 3.5, -1.25, 0.5, 0.4, 0.2, 0.6};
    s.eulerDeg[0] = 0.1;
    s.eulerDeg[1] = 1.0 / 3.0;
    s.eulerDeg[2] = 359.99;
    s.hasFom = true;
    s.fom = 0.4321;
    for (int convention = lxPcBruker; convention <= lxPcEmsoft5; ++convention) {
        s.convention = convention;
        const std::string text = writeFitSettings(s);
        FitSettings back;
        std::string error;
        ASSERT_TRUE(readFitSettings(text, back, error)) << error << "\n" << text;
        EXPECT_EQ(back.pattern, s.pattern);
        EXPECT_EQ(back.phase, s.phase);
        EXPECT_EQ(back.convention, convention);
        EXPECT_EQ(back.detector.Width, 80);
        EXPECT_EQ(back.detector.Binning, 8);
        EXPECT_EQ(back.detector.Tilt, 3.5);
        EXPECT_EQ(back.eulerDeg[1], s.eulerDeg[1]);
        EXPECT_NEAR(back.detector.PCx, 0.4, 1e-12);
        EXPECT_NEAR(back.detector.PCy, 0.2, 1e-12);
        EXPECT_NEAR(back.detector.PCz, 0.6, 1e-12);
        EXPECT_EQ(back.fom, s.fom);
    }
    s.convention = lxPcEmsoft4;
    const std::string good = writeFitSettings(s);
    ASSERT_NE(good.find("\"pc\": [-63.99999"), std::string::npos) << good;
    struct Row {
        std::string from, to;
    };
    for (const Row& r :
         {Row{"\"version\": 1", "\"version\": 2"}, Row{"\"width\": 80", "\"width\": 80.5"},
          Row{"\"width\": 80", "\"width\": 0"}, Row{"\"kV\": 15", "\"kV\": \"15\""},
          Row{"\"fom\": 0.4321", "\"fom\": true"},
          Row{"\"fom\": 0.4321", "\"fom\": 0.4321, \"fom\": 1"},
          Row{"\"fom\": 0.4321", "\"fom\": 0.4321, \"extra\": 1"},
          Row{"\"convention\": \"emsoft4\"", "\"convention\": \"EMsoft\""},
          Row{"\"pixelSize\": 59.2", "\"pixelSize\": 0"}, Row{"\"pc\": [", "\"pc\": [1, "},
          Row{"\"tilt\": 3.5", "\"tilt\": 03.5"}, Row{"\"tilt\": 3.5", "\"tilt\": 1e999"},
          Row{"\n}", "\n} x"}, Row{"\"phase\": \"Iron bcc\"", "\"phase\": \"\\x\""}}) {
        std::string text = good;
        const std::size_t at = text.find(r.from);
        ASSERT_NE(at, std::string::npos) << r.from;
        text.replace(at, r.from.size(), r.to);
        FitSettings untouched;
        untouched.phase = "unchanged";
        std::string error;
        EXPECT_FALSE(readFitSettings(text, untouched, error)) << r.to;
        EXPECT_EQ(untouched.phase, "unchanged");
        EXPECT_FALSE(error.empty());
    }
}

TEST(FitText, PgmRoundTripAndRefusals) {
    GreyImage image(5, 3);
    for (std::size_t i = 0; i < image.pixels.size(); ++i)
        image.pixels[i] = float(i * 17);
    for (int maxValue : {255, 65535}) {
        GreyImage back;
        std::string error;
        ASSERT_TRUE(readPgm(writePgm(image, maxValue), back, error)) << error;
        EXPECT_EQ(back.width, 5);
        EXPECT_EQ(back.pixels, image.pixels);
    }
    GreyImage back;
    std::string error;
    const char handMade[] = "P5 # made by hand\n2 1\n255\n\x01\x02";
    EXPECT_TRUE(readPgm(std::string(handMade, sizeof handMade - 1), back, error)) << error;
    EXPECT_EQ(back.pixels, (std::vector<float>{1.0f, 2.0f}));
    for (const std::string& bad :
         {std::string("P2\n1 1\n255\n0"), std::string("P5\n2 1\n255\n\x01"),
          std::string("P5\n1 1\n255\n\x01\x02"), std::string("P5\n0 1\n255\n"),
          std::string("P5\n1 1\n70000\n\x01\x01"), std::string("P5\n1 1\n9\n\x0A"),
          std::string("P5\n1 1 255\n")})
        EXPECT_FALSE(readPgm(bad, back, error)) << bad;
}

class FitCommand : public ::testing::Test {
  protected:
    std::string dir =
        (std::filesystem::temp_directory_path() / ("fit_command_" + std::to_string(::getpid())))
            .string();
    void SetUp() override { std::filesystem::create_directories(dir); }
    void TearDown() override { std::filesystem::remove_all(dir); }
    int run(std::vector<std::string> args, std::string& out, std::string& err) {
        std::ostringstream o, e;
        const int code = runFitCommand(args, o, e);
        out = o.str();
        err = e.str();
        return code;
    }
};

TEST_F(FitCommand, RefinesASyntheticPatternAndReportsOneLine) {
    PhaseModel model;
    std::string error;
    ASSERT_TRUE(buildPhaseModel(findPhase("Aluminium"), 20.0, 65, model, error));
    TDetector d{60, 60, 8, 50.0, 70.0, 0, 0, 0, 0.52, 0.31, 0.62};
    testing::Degradation how;
    how.oversample = 8;
    const std::string path = dir + "/p.pgm";
    std::ofstream(path, std::ios::binary) << writePgm(
        testing::makeSyntheticPattern(d, testing::eulerDeg(31, 47, 12), model.bands, how));
    std::string out, err;
    // EDAX PC of the truth: (0.52, 0.69, 0.62) for a square detector; start 1 degree off.
    ASSERT_EQ(
        run({"--phase", "aluminium", "--pattern", path, "--euler", "31.8,46.6,12.3", "--pc",
             "0.52,0.69,0.62", "--convention", "edax", "--binning", "8", "--save", dir + "/p.json"},
            out, err),
        0)
        << err;
    std::istringstream line(out);
    double v[7];
    for (double& x : v)
        ASSERT_TRUE(line >> x) << out;
    EXPECT_EQ(out.back(), '\n');
    EXPECT_LT(testing::misorientationDeg(testing::eulerDeg(v[0], v[1], v[2]),
                                         testing::eulerDeg(31, 47, 12)),
              0.2);
    EXPECT_EQ(v[3], 0.52);  // the PC is fixed without --refine-pc
    EXPECT_GT(v[6], 0.5);
    std::string bytes;
    FitSettings saved;
    ASSERT_TRUE(readFileBytes(dir + "/p.json", bytes, error));
    ASSERT_TRUE(readFitSettings(bytes, saved, error)) << error;
    EXPECT_EQ(saved.convention, lxPcEdax);
    EXPECT_NEAR(saved.fom, v[6], 1e-4);
}

TEST_F(FitCommand, BadInputExitsWithTwoAndAMessage) {
    const std::string pgm = dir + "/small.pgm";
    std::ofstream(pgm, std::ios::binary) << writePgm(GreyImage(8, 8, 10.0f));
    std::ofstream(dir + "/text.pgm") << "not an image";
    const std::vector<std::string> base = {"--euler", "1,2,3", "--pc", "0.5,0.5,0.6"};
    struct Row {
        std::vector<std::string> args;
        const char* why;
    };
    for (const Row& r :
         {Row{{"--phase", "Unobtainium", "--pattern", pgm, "--convention", "bruker"}, "phase"},
          Row{{"--phase", "1", "--pattern", dir + "/none.pgm", "--convention", "bruker"}, "open"},
          Row{{"--phase", "1", "--pattern", dir + "/text.pgm", "--convention", "bruker"}, "PGM"},
          Row{{"--phase", "1", "--pattern", pgm, "--convention", "emsoft5"}, "pixel-size"},
          Row{{"--phase", "1", "--pattern", pgm, "--convention", "bruker", "--tilt", "nan"},
              "bad value"},
          Row{{"--phase", "1", "--pattern", pgm, "--convention", "oxford"}, "bad value"},
          Row{{"--phase", "1", "--pattern", pgm, "--convention", "bruker", "--mask-dark", "10"},
              "too few"}}) {
        std::vector<std::string> args = base;
        args.insert(args.end(), r.args.begin(), r.args.end());
        std::string out, err;
        EXPECT_EQ(run(args, out, err), 2) << r.why;
        EXPECT_TRUE(out.empty());
        EXPECT_NE(err.find(r.why), std::string::npos) << err;
    }
    std::string out, err;
    EXPECT_EQ(run({"--phase", "1", "--pattern", pgm, "--euler", "0,0,0", "--pc", "0.5,0.5,-1",
                   "--convention", "bruker"},
                  out, err),
              2);
    EXPECT_EQ(run({"--help"}, out, err), 0);
    EXPECT_NE(out.find("usage: fit"), std::string::npos);
}

// --phase FILE reaches the environment's loader only when no built-in phase has that name
// or number and the file exists; a loaded record fits as the same built-in phase does.
TEST_F(FitCommand, PhaseFilesGoThroughTheEnvironmentsLoader) {
    PhaseModel model;
    std::string error;
    ASSERT_TRUE(buildPhaseModel(findPhase("Aluminium"), 20.0, 65, model, error));
    TDetector d{60, 60, 8, 50.0, 70.0, 0, 0, 0, 0.52, 0.31, 0.62};
    const std::string pgm = dir + "/al.pgm", file = dir + "/al.cif";
    std::ofstream(pgm, std::ios::binary)
        << writePgm(testing::makeSyntheticPattern(d, testing::eulerDeg(31, 47, 12), model.bands));
    std::ofstream(file) << "data_al\n";
    const std::vector<std::string> rest = {"--pattern",    pgm,
                                           "--euler",      "31.8,46.6,12.3",
                                           "--pc",         "0.52,0.69,0.62",
                                           "--convention", "edax",
                                           "--binning",    "8"};
    auto fit = [&](const std::string& phase, const FitEnvironment& env, std::string& out,
                   std::string& err) {
        std::vector<std::string> args = {"--phase", phase};
        args.insert(args.end(), rest.begin(), rest.end());
        std::ostringstream o, e;
        const int code = runFitCommand(args, o, e, env);
        out = o.str();
        err = e.str();
        return code;
    };
    std::string builtIn, out, err;
    ASSERT_EQ(fit("Aluminium", {}, builtIn, err), 0) << err;

    int calls = 0;
    std::int32_t laue = 11;
    std::string failure;
    FitEnvironment env;
    env.phaseFromFile = [&](const std::string& path, TPhaseRecord& phase, std::int32_t& group,
                            std::string& why) {
        ++calls;
        EXPECT_EQ(path, file);
        if (!failure.empty()) {
            why = failure;
            return false;
        }
        BuildPhase(findPhase("Aluminium"), phase);
        group = laue;
        return true;
    };
    ASSERT_EQ(fit(file, env, out, err), 0) << err;
    EXPECT_EQ(out, builtIn);
    EXPECT_EQ(calls, 1);
    EXPECT_EQ(fit("aluminium", env, out, err), 0);  // a name never reaches the loader
    EXPECT_EQ(calls, 1);

    struct Row {
        std::string phase;
        std::string failure;
        std::int32_t laue;
        bool withLoader;
        std::string why;
        int calls;
    };
    for (const Row& r : {Row{file, file + ":3: no atom sites", 11, true, file + ":3: no atom", 1},
                         Row{file, "", 0, true, file + "\": the phase has no Laue group", 1},
                         Row{file, "", 12, true, "no Laue group", 1},
                         Row{dir + "/none.cif", "", 11, true, "no such file", 0},
                         Row{file, "", 11, false, "unknown phase", 0}}) {
        failure = r.failure;
        laue = r.laue;
        calls = 0;
        EXPECT_EQ(fit(r.phase, r.withLoader ? env : FitEnvironment{}, out, err), 2) << r.why;
        EXPECT_TRUE(out.empty());
        EXPECT_NE(err.find(r.why), std::string::npos) << err;
        EXPECT_EQ(calls, r.calls) << r.why;
    }
}

}  // namespace
}  // namespace ebsp::fit
