// The pattern in the detector window: "Refine" in a worker thread, the read-out, and the
// results out (clipboard, picture, the settings file beside the pattern).
#include <QAction>
#include <QClipboard>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QLabel>
#include <QMainWindow>
#include <QSaveFile>
#include <QStatusBar>

#include <cmath>

#include "DetectorPanel.h"
#include "detector_settings.h"
#include "fit_text.h"
#include "lattixLib.h"
#include "pattern_overlay.h"

namespace {

constexpr double kRadToDeg = 180.0 / 3.14159265358979323846;
constexpr qint64 kMaxFitFile = 1 << 20;
const QString kRefineCaption = QStringLiteral("Refine");
const QString kFitCaption = QStringLiteral("Fit settings");

QString fixed(double value, int decimals) {
    return QString::fromStdString(ebsp::fit::formatFixed(value, decimals));
}

}  // namespace

std::vector<ebsp::fit::SimBand> PatternOverlay::SimulatedBands() const {
    const TCrySet* crySet = m_panel->CrystalSet();
    const std::vector<ebsp::Reflector>& reflectors = m_panel->Reflectors();
    if (crySet == nullptr || reflectors.empty()) return {};
    std::vector<int> hkl;
    std::vector<double> spacing, intensity;
    for (const ebsp::Reflector& r : reflectors) {
        hkl.insert(hkl.end(), {r.h, r.k, r.l});
        spacing.push_back(r.d);
        intensity.push_back(r.intensity);
    }
    return ebsp::fit::makeBands(*crySet, hkl.data(), spacing.data(), intensity.data(),
                                int(reflectors.size()), m_panel->kV());
}

bool PatternOverlay::StartRefine() {
    if (Refining()) return false;
    if (m_raw.empty()) {
        Fail(kRefineCaption, QStringLiteral("Load a pattern first (Ctrl+L)."));
        return false;
    }
    const TDetector detector = m_panel->Detector();
    if (detector.Width != m_raw.width || detector.Height != m_raw.height) {
        Fail(kRefineCaption, QStringLiteral("The pattern is %1 x %2 pixels but the detector %3 x "
                                            "%4; load the pattern again.")
                                 .arg(m_raw.width)
                                 .arg(m_raw.height)
                                 .arg(detector.Width)
                                 .arg(detector.Height));
        return false;
    }
    std::vector<ebsp::fit::SimBand> bands = SimulatedBands();
    if (bands.empty()) {
        Fail(kRefineCaption, QStringLiteral("There are no bands to fit: choose a phase."));
        return false;
    }
    const TVec3D euler = m_panel->EulerAngles();
    TMat3D start;
    Euler2Matrix(&euler, &start);
    ebsp::fit::RefineOptions options;
    options.refinePc = RefinePcAction->isChecked();
    m_cancel = false;
    const unsigned generation = ++m_generation;
    m_progress = QStringLiteral("Refining...");
    ShowReadOut();
    RefineAction->setText(QStringLiteral("Cancel &refine"));
    // The worker reads its own copies; the window hears from it only through queued calls.
    m_worker = std::thread([this, pattern = m_raw, detector, start, bands = std::move(bands),
                            options, generation] {
        int posted = -1;
        auto progress = [this, &posted](const ebsp::fit::RefineProgress& p) {
            if (p.evaluations - posted < 20) return;
            posted = p.evaluations;
            const QString text = QStringLiteral(
                                     "Refining: level %1 of %2, %3 trials, FOM %4 "
                                     "(Esc cancels)")
                                     .arg(p.level + 1)
                                     .arg(p.levelCount)
                                     .arg(p.evaluations)
                                     .arg(fixed(p.bestFom, 4));
            QMetaObject::invokeMethod(
                this,
                [this, text] {
                    if (!Refining()) return;
                    m_progress = text;
                    ShowReadOut();
                },
                Qt::QueuedConnection);
        };
        const ebsp::fit::RefineResult result =
            ebsp::fit::refineFit(pattern, {}, detector, start, bands, options, progress, &m_cancel);
        QMetaObject::invokeMethod(
            this,
            [this, result, options, generation] {
                FinishRefine(result, options.refinePc, generation);
            },
            Qt::QueuedConnection);
    });
    return true;
}

void PatternOverlay::CancelRefine() {
    m_cancel = true;
}

void PatternOverlay::FinishRefine(const ebsp::fit::RefineResult& result, bool refinedPc,
                                  unsigned generation) {
    if (m_worker.joinable()) m_worker.join();
    m_progress.clear();
    RefineAction->setText(QStringLiteral("&Refine"));
    m_last = result;
    QString message;
    if (generation != m_generation) {
        m_last.cancelled = true;
        message = QStringLiteral("Refine stopped: another pattern was loaded.");
    } else if (!result.valid) {
        message = QStringLiteral("The refinement refused the pattern or the detector.");
    } else if (result.cancelled) {
        message = QStringLiteral("Refine cancelled; the fit is as it was.");
    } else {
        m_hasFom = true;
        m_fom = result.fomAfter;
        if (result.improved) {
            if (refinedPc) m_panel->SetDetector(result.detector);
            m_panel->SetOrientation(result.euler);
            Oriented();
            message = QStringLiteral("Refined: figure of merit %1 -> %2")
                          .arg(fixed(result.fomBefore, 4), fixed(result.fomAfter, 4));
        } else {
            message = QStringLiteral("No better fit found; kept the start (figure of merit %1)")
                          .arg(fixed(result.fomBefore, 4));
        }
    }
    ShowReadOut();
    m_window->statusBar()->showMessage(message, 15000);
    emit refineFinished();
}

QString PatternOverlay::ResultText() const {
    const TVec3D e = m_panel->EulerAngles();
    const TDetector d = m_panel->Detector();
    double pc[3] = {d.PCx, d.PCy, d.PCz};
    const int convention = m_convention ? m_convention() : lxPcBruker;
    if (DetectorGetPatternCentre(&d, convention, pc) != 0)
        DetectorGetPatternCentre(&d, lxPcBruker, pc);
    return QStringLiteral("%1 %2 %3 %4 %5 %6")
        .arg(fixed(e.x * kRadToDeg, 4), fixed(e.y * kRadToDeg, 4), fixed(e.z * kRadToDeg, 4),
             fixed(pc[0], 6), fixed(pc[1], 6), fixed(pc[2], 6));
}

QString PatternOverlay::ReadOutText() const {
    if (!m_progress.isEmpty()) return m_progress;
    const QStringList v = ResultText().split(QLatin1Char(' '));
    const int convention = m_convention ? m_convention() : lxPcBruker;
    QString text = QStringLiteral("Euler %1 %2 %3  PC %4 %5 %6 %7")
                       .arg(v[0], v[1], v[2], pcConventionName(convention), v[3], v[4], v[5]);
    if (m_hasFom) text += QStringLiteral("  FOM %1").arg(fixed(m_fom, 4));
    return text;
}

void PatternOverlay::ShowReadOut() {
    FitReadOut->setText(ReadOutText());
}

void PatternOverlay::CopyResult() {
    QGuiApplication::clipboard()->setText(ResultText());
    m_window->statusBar()->showMessage(QStringLiteral("Copied: %1").arg(ResultText()), 5000);
}

bool PatternOverlay::SavePicture() {
    const TDetectorPanel* panel = m_panel;
    return !ebsp::savePictureInteractively(
                m_window, panel->size(),
                [panel](QPainter& painter, QSize size) { panel->drawPicture(painter, size); },
                panel->palette().color(QPalette::Window), Ask.picture)
                .isEmpty();
}

QString PatternOverlay::DefaultFitPath() const {
    if (m_path.isEmpty()) return QDir::home().filePath(QStringLiteral("fit.json"));
    const QFileInfo info(m_path);
    return info.dir().filePath(info.completeBaseName() + QStringLiteral(".json"));
}

bool PatternOverlay::SaveFit(const QString& path) {
    ebsp::fit::FitSettings s;
    s.pattern = QFileInfo(m_path).fileName().toStdString();
    s.phase = PhaseName ? PhaseName().toStdString() : std::string();
    s.voltageKv = m_panel->kV();
    s.detector = m_panel->Detector();
    s.convention = m_convention ? m_convention() : lxPcBruker;
    const TVec3D e = m_panel->EulerAngles();
    s.eulerDeg[0] = e.x * kRadToDeg;
    s.eulerDeg[1] = e.y * kRadToDeg;
    s.eulerDeg[2] = e.z * kRadToDeg;
    s.hasFom = m_hasFom;
    s.fom = m_fom;
    const std::string text = ebsp::fit::writeFitSettings(s);
    QSaveFile file(path);
    if (text.empty() || !file.open(QIODevice::WriteOnly) ||
        file.write(text.data(), qint64(text.size())) != qint64(text.size()) || !file.commit()) {
        Fail(kFitCaption,
             QStringLiteral("%1 cannot be written (%2).").arg(path, file.errorString()));
        return false;
    }
    return true;
}

bool PatternOverlay::LoadFit(const QString& path) {
    CancelRefine();
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly) || file.size() > kMaxFitFile) {
        Fail(kFitCaption, QStringLiteral("%1 cannot be read.").arg(path));
        return false;
    }
    const QByteArray bytes = file.readAll();
    ebsp::fit::FitSettings s;
    std::string error;
    if (!ebsp::fit::readFitSettings(std::string_view(bytes.constData(), size_t(bytes.size())), s,
                                    error)) {
        Fail(kFitCaption, QStringLiteral("%1: %2").arg(QFileInfo(path).fileName(),
                                                       QString::fromStdString(error)));
        return false;
    }
    // The pattern named in the file, from beside it, unless it is the one shown.
    ebsp::fit::GreyImage grey;
    QString patternPath;
    if (!s.pattern.empty()) {
        patternPath = QFileInfo(path).dir().filePath(QString::fromStdString(s.pattern));
        QString readError;
        if (QFileInfo(patternPath) != QFileInfo(m_path) &&
            !readPatternImage(patternPath, grey, readError)) {
            Fail(kFitCaption, readError);
            return false;
        }
    }
    const int width = grey.empty() ? m_raw.width : grey.width;
    const int height = grey.empty() ? m_raw.height : grey.height;
    if ((width != 0 || height != 0) && (s.detector.Width != width || s.detector.Height != height)) {
        Fail(kFitCaption, QStringLiteral("The file's detector is %1 x %2 pixels, the pattern "
                                         "%3 x %4.")
                              .arg(s.detector.Width)
                              .arg(s.detector.Height)
                              .arg(width)
                              .arg(height));
        return false;
    }
    if (!m_panel->SetDetector(s.detector)) {
        Fail(kFitCaption, QStringLiteral("The file's detector is refused."));
        return false;
    }
    if (!grey.empty()) {
        m_raw = std::move(grey);
        m_corrected = ebsp::fit::correctBackground(m_raw, ebsp::fit::BackgroundMode::Divide);
        m_path = patternPath;
        ShowPattern();
    }
    const double k = 1.0 / kRadToDeg;
    m_panel->SetOrientation(TVec3D{s.eulerDeg[0] * k, s.eulerDeg[1] * k, s.eulerDeg[2] * k});
    Oriented();
    m_hasFom = s.hasFom;
    m_fom = s.fom;
    ShowReadOut();
    return true;
}
