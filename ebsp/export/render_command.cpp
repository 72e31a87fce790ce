// The render command: arguments, phase, crystal set, an off-screen view configured as the
// main window configures its own, and the pictures it draws.
#include "render_command.h"

#include <QApplication>
#include <QPalette>
#include <QTemporaryDir>

#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>

#include "CrystalEBSPpanel.h"
#include "DetectorPanel.h"
#include "detector_render.h"
#include "phase_catalogue.h"
#include "picture_writer.h"
#include "render_args.h"
#include "view_constants.h"
#include "view_setup.h"
#include "window_logic.h"

namespace ebsp {
namespace {

using render::EulerListEntry;
using render::Options;

std::string lower(std::string text) {
    for (char& c : text)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return text;
}

// A built-in phase by index (1..19) or name (any case); then a file through the hook.
bool resolvePhase(const std::string& wanted, const RenderEnvironment& environment,
                  TPhaseRecord& phase, std::string& error) {
    char* end = nullptr;
    const long index = std::strtol(wanted.c_str(), &end, 10);
    if (end != wanted.c_str() && *end == '\0') {
        if (index >= 1 && index <= static_cast<long>(kPhaseCount)) {
            BuildPhase(static_cast<std::uint32_t>(index), phase);
            return true;
        }
        error = "unknown phase index " + wanted + " (built-in phases are 1 to " +
                std::to_string(kPhaseCount) + ")";
        return false;
    }
    for (std::uint32_t i = 1; i <= kPhaseCount; ++i) {
        BuildPhase(i, phase);
        if (lower(phase.Name) == lower(wanted)) return true;
    }
    std::error_code ec;
    if (std::filesystem::is_regular_file(wanted, ec)) {
        if (!environment.phaseFromFile) {
            error = "loading phases from files is not available";
            return false;
        }
        phase = TPhaseRecord{};
        return environment.phaseFromFile(wanted, phase, error);
    }
    error = "unknown phase '" + wanted + "' (give a built-in name or index 1 to " +
            std::to_string(kPhaseCount) + ")";
    return false;
}

QApplication* ensureApplication() {
    if (auto* app = qobject_cast<QApplication*>(QCoreApplication::instance())) return app;
    if (QCoreApplication::instance() != nullptr) return nullptr;  // a non-widget application
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    // Qt warns when the runtime folder is missing; a private one keeps stderr for our own.
    static QTemporaryDir runtimeDir;
    if (qEnvironmentVariableIsEmpty("XDG_RUNTIME_DIR") && runtimeDir.isValid()) {
        QFile::setPermissions(runtimeDir.path(), QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                                     QFileDevice::ExeOwner);
        qputenv("XDG_RUNTIME_DIR", QFile::encodeName(runtimeDir.path()));
    }
    static int argc = 1;
    static char name[] = "ebsp-tool";
    static char* argv[] = {name, nullptr};
    static std::unique_ptr<QApplication> app = std::make_unique<QApplication>(argc, argv);
    return app.get();
}

}  // namespace

void configureRenderView(TCrystalEBSPpanel& view, const Options& o, const TPhaseRecord& phase,
                         const TCrySet& crySet) {
    view.SetRepaintLocked(true);  // drawPicture draws; nothing needs the off-screen image
    view.resize(o.size.width, o.size.height);
    if (o.view == render::ViewKind::Cell) {
        setUpCellView(view, QApplication::palette().color(QPalette::Button));
        if (const std::optional<QColor> colour = laueFaceColour(crySet.LaueGroup, crySet.Gamma))
            view.SetFaceColour(*colour);
        view.SetCrystalSet(&crySet, false);
        view.SetReflectorCount(0);
        return;
    }
    setUpMapView(view);
    view.SetShowCopyright(true);
    view.SetCrystalSet(&crySet, false);
    view.SetKikuchiBandGreyMax(80);
    view.SetKikuchiBandGreyMin(220);
    view.OnGetReflector = [&phase, &crySet](QObject*, int index0, int8_t& h, int8_t& k, int8_t& l,
                                            double& d, double& intensity) {
        supplyPhaseReflector(phase, crySet, index0, h, k, l, d, intensity);
    };
    const int cut = reflectorCut(phase, o.reflectors);
    if (cut >= 1) view.SetReflectorCount(cut);
    view.SetkV(o.kv);
    static constexpr TKikuchiBandStyle kStyles[] = {kbSolid, kbEdge, kbCentre};
    view.SetKikuchiBandStyle(kStyles[static_cast<int>(o.style)]);
}

namespace {

bool readTextFile(const std::string& path, std::string& text) {
    std::ifstream file(path, std::ios::binary);
    if (!file) return false;
    std::ostringstream buffer;
    buffer << file.rdbuf();
    if (file.bad()) return false;
    text = buffer.str();
    return true;
}

bool stderrIsTerminal(const RenderEnvironment& environment) {
    if (environment.stderrIsTerminal >= 0) return environment.stderrIsTerminal != 0;
    return isatty(STDERR_FILENO) != 0;
}

}  // namespace

std::string renderUsage() {
    return "usage: ebsp-tool render --phase NAME|INDEX|FILE --out FILE.png|FILE.svg [options]\n"
           "  --euler PHI1,PHI,PHI2   orientation, degrees (default 0,0,0)\n"
           "  --euler-list FILE       one triple a line (CSV or blanks, # comments); --out\n"
           "                          then holds {n}, {phi1}, {Phi} or {phi2}\n"
           "  --kv KV                 accelerating voltage (default 20)\n"
           "  --reflectors N          reflectors, rounded to whole families (default 100)\n"
           "  --style solid|edge|centre   band style (default solid)\n"
           "  --view map|cell|detector   Kikuchi map, unit cell or detector pattern (default map)\n"
           "  --size WxH              picture size, up to 8000 a side (default 480x448; for the\n"
           "                          detector, the detector's size)\n"
           "  --detector WxH          detector pattern size in pixels (default 640x480)\n"
           "  --pc X,Y,Z              pattern centre (default Bruker 0.5,0.5,0.6)\n"
           "  --convention bruker|edax|width|emsoft4|emsoft5   the convention of --pc\n"
           "                          (default bruker)\n"
           "  --sample-tilt DEG       sample tilt (default 70)\n"
           "  --tilt DEG              detector tilt (default 0)\n"
           "  --binning N             binning (default 1)\n"
           "  --pixel-size UM         unbinned pixel size, micrometres (default 50)\n"
           "  --strict                stop a batch at its first failure\n";
}

int runRenderCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    return runRenderCommand(args, out, err, RenderEnvironment{});
}

int runRenderCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err,
                     const RenderEnvironment& environment) {
    const render::ParsedArgs parsed = render::parseRenderArgs(args);
    if (!parsed.ok) {
        err << "ebsp-tool render: " << parsed.error
            << "\nTry 'ebsp-tool render --help' for the options.\n";
        return 2;
    }
    const Options& o = parsed.options;
    if (o.help) {
        out << renderUsage();
        return 0;
    }

    TPhaseRecord phase;
    std::string error;
    if (!resolvePhase(o.phase, environment, phase, error)) {
        err << "ebsp-tool render: " << error << "\n";
        return 2;
    }

    const bool batch = !o.eulerList.empty();
    std::vector<EulerListEntry> jobs;
    if (batch) {
        std::string text;
        if (!readTextFile(o.eulerList, text)) {
            err << "ebsp-tool render: cannot read the Euler list '" << o.eulerList << "'\n";
            return 2;
        }
        render::EulerList list = render::parseEulerList(text);
        if (!list.ok) {
            err << "ebsp-tool render: " << o.eulerList << ":" << list.badLine
                << ": unreadable line (expected three angles PHI1,PHI,PHI2)\n";
            return 2;
        }
        if (list.entries.empty()) {
            err << "ebsp-tool render: the Euler list '" << o.eulerList << "' holds no angles\n";
            return 2;
        }
        jobs = std::move(list.entries);
    } else {
        jobs.push_back({0, o.euler});
    }

    if (ensureApplication() == nullptr) {
        err << "ebsp-tool render: needs a widget application\n";
        return 2;
    }
    TCrySet crySet{};
    InitCrySet2(&crySet, "name", "ref", phase.A, phase.B, phase.C, phase.Alpha, phase.Beta,
                phase.Gamma, LaueIndexOfCode(phase.SpaceGroupCode),
                static_cast<int32_t>(phase.SpaceGroupCode));
    if (GetInitIoStatus() != 0 || crySet.LaueGroup <= 0) {
        err << "ebsp-tool render: the crystal set of '" << phase.Name
            << "' could not be built (setup data not readable)\n";
        return 2;
    }
    TCrystalEBSPpanel view;
    configureRenderView(view, o, phase, crySet);
    QSize size(o.size.width, o.size.height);
    // The detector view draws through a panel fed from the map, as the window's is.
    std::unique_ptr<TDetectorPanel> panel;
    if (o.view == render::ViewKind::Detector) {
        const RenderDetector detector = buildRenderDetector(o.detector);
        if (!detector.ok) {
            err << "ebsp-tool render: " << detector.error << "\n";
            return 2;
        }
        if (!o.sizeGiven) {
            size = QSize(detector.detector.Width, detector.detector.Height);
            if (!pictureSizeAllowed(size)) {
                err << "ebsp-tool render: the detector's " << size.width() << " x " << size.height()
                    << " pixels exceed the largest picture (" << kMaxPictureSide
                    << " a side): give --size\n";
                return 2;
            }
        }
        panel = std::make_unique<TDetectorPanel>();
        panel->SetDetector(detector.detector);
        coupleDetectorView(*panel, view, crySet);
    }

    const bool terminal = stderrIsTerminal(environment);
    const auto start = std::chrono::steady_clock::now();
    std::vector<int> failedLines;
    bool barShown = false;
    int done = 0;
    const int total = static_cast<int>(jobs.size());
    for (const EulerListEntry& job : jobs) {
        const TVec3D euler{job.angles[0] * kRadiansPerDegree, job.angles[1] * kRadiansPerDegree,
                           job.angles[2] * kRadiansPerDegree};
        view.SetOrientation(euler);
        if (panel) panel->SetOrientation(euler);
        const std::string name =
            batch ? render::expandOutputName(o.out, job.line, job.angles) : o.out;
        const QString file = QString::fromStdString(name);
        QString message;
        const bool saved = panel ? savePicture(*panel, file, size, &message)
                                 : savePicture(view, file, size, &message);
        if (!saved) {
            if (barShown) err << "\n";
            if (!batch) {
                err << "ebsp-tool render: " << message.toStdString() << "\n";
                return 2;
            }
            err << "ebsp-tool render: line " << job.line << ": " << message.toStdString() << "\n";
            if (o.strict) return 2;
            failedLines.push_back(job.line);
            barShown = false;
        }
        ++done;
        const double elapsed =
            std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        if (batch && render::progressBarWanted(terminal, elapsed, done, total)) {
            err << "\r" << render::progressBarText(done, total) << std::flush;
            barShown = true;
        }
    }
    if (barShown) err << "\n";
    if (!batch) return 0;

    const double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    std::ostringstream summary;
    summary.precision(3);
    summary << "rendered " << (total - static_cast<int>(failedLines.size())) << " of " << total
            << " pictures in " << seconds << " s";
    if (!failedLines.empty()) {
        summary << "; failed list lines:";
        for (int line : failedLines)
            summary << " " << line;
    }
    out << summary.str() << "\n";
    return failedLines.empty() ? 0 : 1;
}

}  // namespace ebsp
