// The render command: its reading of arguments and Euler lists, the window's map drawn by
// it, batches, the progress bar's decision and each failure's exit status and message.
#include <QAction>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QListWidget>
#include <QMenu>
#include <QTemporaryDir>
#include <QTest>

#include <fstream>
#include <sstream>

#include <gtest/gtest.h>

#include "Unit1.h"
#include "export_test_support.h"
#include "fake_platform_services.h"
#include "phase_catalogue.h"
#include "render_args.h"
#include "render_command.h"

using namespace ebsp::render;

namespace {

struct RunResult {
    int status = -1;
    std::string out, err;
};

RunResult render(const std::vector<std::string>& args, ebsp::RenderEnvironment env = {}) {
    if (env.stderrIsTerminal < 0) env.stderrIsTerminal = 0;
    std::ostringstream out, err;
    RunResult run;
    run.status = ebsp::runRenderCommand(args, out, err, env);
    run.out = out.str();
    run.err = err.str();
    return run;
}

std::string path(const QTemporaryDir& dir, const char* name) {
    return dir.filePath(QString::fromLatin1(name)).toStdString();
}

void writeText(const std::string& file, const std::string& text) {
    std::ofstream(file, std::ios::binary) << text;
}

}  // namespace

TEST(RenderArgs, OptionsAndDefaults) {
    const ParsedArgs plain = parseRenderArgs({"--phase", "Iron bcc", "--out", "a.png"});
    ASSERT_TRUE(plain.ok) << plain.error;
    EXPECT_EQ(plain.options.kv, 20.0);
    EXPECT_EQ(plain.options.reflectors, 100);
    EXPECT_EQ(plain.options.style, BandStyle::Solid);
    EXPECT_EQ(plain.options.view, ViewKind::Map);
    EXPECT_EQ(plain.options.size.width, 480);
    EXPECT_EQ(plain.options.size.height, 448);

    const ParsedArgs full =
        parseRenderArgs({"--phase=3", "--euler", "30, 45,10", "--kv=30.5", "--reflectors", "150",
                         "--style", "centre", "--view", "cell", "--size", "1000x800", "--out",
                         "o{n}.svg", "--euler-list", "l.txt", "--strict"});
    ASSERT_TRUE(full.ok) << full.error;
    const Options& o = full.options;
    EXPECT_EQ(o.phase, "3");
    EXPECT_EQ(o.euler, (EulerDeg{30, 45, 10}));
    EXPECT_EQ(o.kv, 30.5);
    EXPECT_EQ(o.reflectors, 150);
    EXPECT_EQ(o.style, BandStyle::Centre);
    EXPECT_EQ(o.view, ViewKind::Cell);
    EXPECT_EQ(o.size.width, 1000);
    EXPECT_EQ(o.size.height, 800);
    EXPECT_TRUE(o.strict);
    EXPECT_EQ(o.eulerList, "l.txt");

    struct Bad {
        std::vector<std::string> args;
        const char* messagePart;
    };
    const Bad bad[] = {
        {{"--out", "a.png"}, "--phase is required"},
        {{"--phase", "1"}, "--out is required"},
        {{"--phase", "1", "--out", "a.png", "--size", "0x10"}, "--size"},
        {{"--phase", "1", "--out", "a.png", "--size", "8001x10"}, "--size"},
        {{"--phase", "1", "--out", "a.png", "--euler", "1,2"}, "--euler"},
        {{"--phase", "1", "--out", "a.png", "--euler", "1,2,nan"}, "--euler"},
        {{"--phase", "1", "--out", "a.png", "--style", "dotted"}, "--style"},
        {{"--phase", "1", "--out", "a.png", "--reflectors", "0"}, "--reflectors"},
        {{"--phase", "1", "--out", "a.png", "--kv"}, "needs a value"},
        {{"--phase", "1", "--out", "a.png", "--colour", "red"}, "unknown option"},
        {{"--phase", "1", "--out", "a.png", "--euler-list", "l"}, "{n}"},
    };
    for (const Bad& b : bad) {
        const ParsedArgs parsed = parseRenderArgs(b.args);
        EXPECT_FALSE(parsed.ok) << b.messagePart;
        EXPECT_NE(parsed.error.find(b.messagePart), std::string::npos) << parsed.error;
    }
}

TEST(RenderArgs, SizesTriplesListsAndNames) {
    PictureSize size;
    EXPECT_TRUE(parsePictureSize("480x448", size));
    EXPECT_EQ(size.width, 480);
    EXPECT_TRUE(parsePictureSize(" 8000 X 1 ", size));
    EXPECT_EQ(size.width, 8000);
    for (const char* bad :
         {"", "x", "10", "10x", "x10", "-1x5", "10x10x10", "1.5x3", "9999999999x1"})
        EXPECT_FALSE(parsePictureSize(bad, size)) << bad;

    EulerDeg e{};
    EXPECT_TRUE(parseEulerTriple("1 2 3", e));
    EXPECT_TRUE(parseEulerTriple("1,2,3", e));
    EXPECT_TRUE(parseEulerTriple(" -1.5 , 2e1\t3 ", e));
    EXPECT_EQ(e, (EulerDeg{-1.5, 20, 3}));
    for (const char* bad : {"1,2", "1,2,3,4", "1,,2,3", "a,b,c", ",1,2,3", "1,2,3,"})
        EXPECT_FALSE(parseEulerTriple(bad, e)) << bad;

    const EulerList list = parseEulerList("# header\n10,20,30\n\n 1 2 3 # tail\r\n4;5;6\n");
    EXPECT_FALSE(list.ok);
    EXPECT_EQ(list.badLine, 5);
    const EulerList good = parseEulerList("# header\n10,20,30\n\n 1 2 3 # tail\r\n7 8 9");
    ASSERT_TRUE(good.ok);
    ASSERT_EQ(good.entries.size(), 3u);
    EXPECT_EQ(good.entries[0].line, 2);
    EXPECT_EQ(good.entries[1].line, 4);
    EXPECT_EQ(good.entries[2].angles, (EulerDeg{7, 8, 9}));

    EXPECT_EQ(expandOutputName("m_{n}_{phi1}_{Phi}_{phi2}.png", 7, {30, 45.5, -10}),
              "m_7_30_45.5_-10.png");
    EXPECT_EQ(expandOutputName("{x}{n", 1, {0, 0, 0}), "{x}{n");
    EXPECT_FALSE(outputNameVaries("plain.png"));
    EXPECT_TRUE(outputNameVaries("a{Phi}.png"));
}

// The bar only on a terminal and only when the batch is expected to last over a second.
TEST(RenderProgress, BarDecisionAndText) {
    struct Case {
        bool terminal;
        double elapsed;
        int done, total;
        bool wanted;
    };
    const Case cases[] = {
        {true, 0.05, 1, 100, true},    // 5 s expected
        {true, 0.005, 1, 100, false},  // half a second expected
        {true, 1.5, 1, 1, true},       // already over a second
        {false, 5.0, 10, 100, false},  // a pipe: never
        {true, 0.0, 0, 100, false},    // nothing done yet: no estimate
    };
    for (const Case& c : cases)
        EXPECT_EQ(progressBarWanted(c.terminal, c.elapsed, c.done, c.total), c.wanted)
            << c.terminal << " " << c.elapsed << " " << c.done;
    EXPECT_EQ(progressBarText(25, 100, 8), "[##......] 25/100");
    EXPECT_EQ(progressBarText(100, 100, 4), "[####] 100/100");
}

// The tool's picture of Iron bcc at (30, 45, 10) is the window's map in the same state.
TEST(RenderCommand, IronBccEqualsTheWindowsMap) {
    QLocale::setDefault(QLocale::c());
    FakePlatformServices services;
    TForm1 form(&services);
    form.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&form));
    const QList<QListWidgetItem*> items =
        form.ListBox1->findItems(QStringLiteral("Iron bcc"), Qt::MatchExactly);
    ASSERT_EQ(items.size(), 1);
    form.ListBox1->setCurrentItem(items.front());
    const TVec3D euler{exporttest::radians(30), exporttest::radians(45), exporttest::radians(10)};
    form.CurrentOrientation = euler;
    form.CrystalEBSPpanel1->SetOrientation(euler);
    form.CrystalEBSPpanel2->SetOrientation(euler);
    const QImage window = form.CrystalEBSPpanel2->Image();
    ASSERT_FALSE(window.isNull());

    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const std::string out = path(dir, "iron.png");
    const std::string size = std::to_string(window.width()) + "x" + std::to_string(window.height());
    const RunResult run =
        render({"--phase", "Iron bcc", "--euler", "30,45,10", "--size", size, "--out", out});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.err, "");
    EXPECT_EQ(QImage(QString::fromStdString(out)).convertToFormat(QImage::Format_RGB32), window);
}

// 100 lines, 100 files, no bar in a pipe, a summary; a failing line reported at the end.
TEST(RenderCommand, BatchFromAnEulerList) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    std::string list = "# phi1, Phi, phi2\n";
    for (int i = 0; i < 100; ++i)
        list += std::to_string(i * 3) + (i % 2 ? " " : ",") + std::to_string(i) + ",10\n";
    writeText(path(dir, "list.txt"), list);
    const std::string pattern = path(dir, "map_{n}_{phi1}.png");
    const RunResult run = render({"--phase", "2", "--size", "64x64", "--euler-list",
                                  path(dir, "list.txt"), "--out", pattern});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(QDir(dir.path()).entryList({QStringLiteral("map_*.png")}).size(), 100);
    EXPECT_TRUE(QFile::exists(dir.filePath(QStringLiteral("map_2_0.png"))));
    EXPECT_TRUE(QFile::exists(dir.filePath(QStringLiteral("map_101_297.png"))));
    EXPECT_EQ(run.err.find('['), std::string::npos);  // no bar: stderr is no terminal
    EXPECT_NE(run.out.find("rendered 100 of 100 pictures"), std::string::npos) << run.out;

    // Line 3 names a folder that does not exist: reported, the others written, exit 1;
    // with --strict the batch stops there with exit 2.
    writeText(path(dir, "two.txt"), "1,2,3\n4,5,6\n7,8,9\n");
    const std::string broken = path(dir, "{phi1}") + "/../x_{n}.png";
    QDir(dir.path()).mkdir(QStringLiteral("1"));
    QDir(dir.path()).mkdir(QStringLiteral("7"));
    const RunResult partial = render(
        {"--phase", "2", "--size", "32x32", "--euler-list", path(dir, "two.txt"), "--out", broken});
    EXPECT_EQ(partial.status, 1);
    EXPECT_NE(partial.err.find("line 2:"), std::string::npos) << partial.err;
    EXPECT_NE(partial.out.find("rendered 2 of 3 pictures"), std::string::npos) << partial.out;
    EXPECT_NE(partial.out.find("failed list lines: 2"), std::string::npos) << partial.out;
    QFile::remove(dir.filePath(QStringLiteral("x_3.png")));
    const RunResult strict = render({"--phase", "2", "--size", "32x32", "--euler-list",
                                     path(dir, "two.txt"), "--out", broken, "--strict"});
    EXPECT_EQ(strict.status, 2);
    EXPECT_FALSE(QFile::exists(dir.filePath(QStringLiteral("x_3.png"))));
}

// Each failure: its exit status and the message naming the cause.
TEST(RenderCommand, FailuresExitStatusAndMessage) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    writeText(path(dir, "bad.txt"), "1,2,3\n# fine\n4 5\n");
    writeText(path(dir, "empty.txt"), "# nothing\n");
    writeText(path(dir, "phase.cif"), "data_x\n");
    const std::string out = path(dir, "o.png");
    struct Case {
        std::vector<std::string> args;
        int status;
        const char* messagePart;
    };
    const Case cases[] = {
        {{"--phase", "Unobtainium", "--out", out}, 2, "unknown phase 'Unobtainium'"},
        {{"--phase", "20", "--out", out}, 2, "unknown phase index 20"},
        {{"--phase", path(dir, "phase.cif"), "--out", out},
         2,
         "loading phases from files is not available"},
        {{"--phase", "1", "--size", "100x0", "--out", out}, 2, "--size '100x0'"},
        {{"--phase", "1", "--out", path(dir, "none/o.png")}, 2, "cannot be written"},
        {{"--phase", "1", "--out", path(dir, "o.gif")}, 2, ".png or .svg"},
        {{"--phase", "1", "--euler-list", path(dir, "bad.txt"), "--out", path(dir, "{n}.png")},
         2,
         "bad.txt:3: unreadable line"},
        {{"--phase", "1", "--euler-list", path(dir, "nope.txt"), "--out", path(dir, "{n}.png")},
         2,
         "cannot read the Euler list"},
        {{"--phase", "1", "--euler-list", path(dir, "empty.txt"), "--out", path(dir, "{n}.png")},
         2,
         "holds no angles"},
        {{"--phase", "1", "--out", out, "--bogus"}, 2, "unknown option '--bogus'"},
    };
    for (const Case& c : cases) {
        const RunResult run = render(c.args);
        EXPECT_EQ(run.status, c.status) << c.messagePart;
        EXPECT_NE(run.err.find(c.messagePart), std::string::npos) << run.err;
        EXPECT_FALSE(QFile::exists(QString::fromStdString(out))) << c.messagePart;
    }
    EXPECT_EQ(render({"--help"}).status, 0);

    // A phase file goes to the loader hook when one is given.
    ebsp::RenderEnvironment env;
    std::string asked;
    env.phaseFromFile = [&asked](const std::string& file, TPhaseRecord& phase, std::string&) {
        asked = file;
        BuildPhase(2, phase);
        return true;
    };
    const RunResult loaded =
        render({"--phase", path(dir, "phase.cif"), "--size", "40x30", "--out", out}, env);
    EXPECT_EQ(loaded.status, 0) << loaded.err;
    EXPECT_EQ(asked, path(dir, "phase.cif"));
    EXPECT_EQ(QImage(QString::fromStdString(out)).size(), QSize(40, 30));
}

// The window's two menus carry "Save picture..." (Ctrl+S on the focused view) and write the
// view they belong to.
TEST(WindowSavePicture, BothMenusAndTheShortcut) {
    QLocale::setDefault(QLocale::c());
    FakePlatformServices services;
    TForm1 form(&services);
    form.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&form));
    const QList<QListWidgetItem*> items =
        form.ListBox1->findItems(QStringLiteral("Iron bcc"), Qt::MatchExactly);
    ASSERT_EQ(items.size(), 1);
    form.ListBox1->setCurrentItem(items.front());
    ASSERT_TRUE(form.PopupMenu1->actions().contains(form.SavePicture1));
    ASSERT_TRUE(form.PopupMenu2->actions().contains(form.SavePicture2));
    for (QAction* item : {form.SavePicture1, form.SavePicture2}) {
        EXPECT_EQ(item->text(), QStringLiteral("Save picture..."));
        EXPECT_EQ(item->shortcut(), QKeySequence(QKeySequence::Save));
        EXPECT_EQ(item->shortcutContext(), Qt::WidgetShortcut);
    }

    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    QString next;
    form.PictureQuestions.fileName = [&next](QWidget*, const QString&, const QString&,
                                             const QString&, QString*) { return next; };
    services.answers = {QStringLiteral("480 x 448"), std::nullopt, std::nullopt};

    next = dir.filePath(QStringLiteral("cell.png"));
    form.SavePicture1->trigger();
    ASSERT_TRUE(QFile::exists(next));
    EXPECT_EQ(QImage(next).convertToFormat(QImage::Format_RGB32).size(), QSize(480, 448));

    // Map: the default size answer is the view's own, and the picture is its image.
    next = dir.filePath(QStringLiteral("map.png"));
    services.answers = {};
    services.queries.clear();
    form.PictureQuestions.text = [](QWidget*, const QString&, const QString&, QString&) {
        return true;
    };
    form.SavePicture2->trigger();
    EXPECT_EQ(QImage(next).convertToFormat(QImage::Format_RGB32), form.CrystalEBSPpanel2->Image());

    // Ctrl+S with the map focused.
    next = dir.filePath(QStringLiteral("keys.png"));
    form.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&form));
    form.CrystalEBSPpanel2->setFocus();
    QTest::keyClick(form.CrystalEBSPpanel2, Qt::Key_S, Qt::ControlModifier);
    EXPECT_TRUE(QFile::exists(next));
    EXPECT_TRUE(services.errors.empty());
}
