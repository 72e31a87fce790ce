// The pattern in the detector window: loading, the corrected view, the overlay's look and
// the fit by hand.  Refinement and results are in pattern_results.cpp.
#include "pattern_overlay.h"

#include <QAction>
#include <QColorDialog>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileDialog>
#include <QFileInfo>
#include <QImage>
#include <QImageReader>
#include <QKeyEvent>
#include <QLabel>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QMimeData>
#include <QMouseEvent>
#include <QStatusBar>
#include <QWheelEvent>

#include <algorithm>
#include <cmath>

#include "DetectorPanel.h"
#include "lattixLib.h"

namespace {

using ebsp::fit::GreyImage;

constexpr double kDegToRad = 3.14159265358979323846 / 180.0;
constexpr double kPcDistanceStep = 0.005;  // Bruker PCz per wheel notch
const QString kLoadCaption = QStringLiteral("Load pattern");
const QString kImageFilters = QStringLiteral("Patterns (*.png *.tif *.tiff *.bmp);;All files (*)");

// Grey 0..255 for display: raw values stretched from their least to their greatest, the
// corrected (standardised) ones from -3 to +3 standard deviations.
QImage displayImage(const GreyImage& image, bool standardised) {
    QImage out(image.width, image.height, QImage::Format_Grayscale8);
    if (out.isNull() || image.empty()) return out;
    float lo = -3.0f, hi = 3.0f;
    if (!standardised) {
        const auto [mn, mx] = std::minmax_element(image.pixels.begin(), image.pixels.end());
        lo = *mn;
        hi = std::max(*mx, lo + 1e-6f);
    }
    const float k = 255.0f / (hi - lo);
    for (int y = 0; y < image.height; ++y) {
        uchar* row = out.scanLine(y);
        for (int x = 0; x < image.width; ++x)
            row[x] = uchar(std::lround(std::clamp((image.at(x, y) - lo) * k, 0.0f, 255.0f)));
    }
    return out;
}

}  // namespace

OverlayQuestions qtOverlayQuestions() {
    OverlayQuestions ask;
    ask.openFile = [](QWidget* parent, const QString& caption, const QString& suggested,
                      const QString& filters) {
        return QFileDialog::getOpenFileName(parent, caption, suggested, filters);
    };
    ask.saveFile = [](QWidget* parent, const QString& caption, const QString& suggested,
                      const QString& filters) {
        return QFileDialog::getSaveFileName(parent, caption, suggested, filters);
    };
    ask.yesNo = [](QWidget* parent, const QString& caption, const QString& text) {
        return QMessageBox::question(parent, caption, text) == QMessageBox::Yes;
    };
    ask.error = [](QWidget* parent, const QString& caption, const QString& text) {
        QMessageBox::warning(parent, caption, text);
    };
    ask.colour = [](QWidget* parent, QColor& colour) {
        const QColor chosen = QColorDialog::getColor(colour, parent);
        if (!chosen.isValid()) return false;
        colour = chosen;
        return true;
    };
    ask.picture = ebsp::qtSavePictureQuestions();
    return ask;
}

bool readPatternImage(const QString& path, GreyImage& grey, QString& error) {
    QImageReader reader(path);
    const QImage read = reader.read();
    if (read.isNull()) {
        error = QStringLiteral("%1 cannot be read as a pattern image (%2).")
                    .arg(QFileInfo(path).fileName(), reader.errorString());
        return false;
    }
    // 16-bit grey keeps its depth; everything else is read as 8-bit grey.
    const bool deep = read.format() == QImage::Format_Grayscale16 || read.depth() > 32;
    const QImage g =
        read.convertToFormat(deep ? QImage::Format_Grayscale16 : QImage::Format_Grayscale8);
    grey = GreyImage(g.width(), g.height());
    for (int y = 0; y < g.height(); ++y)
        for (int x = 0; x < g.width(); ++x)
            grey.at(x, y) = deep ? reinterpret_cast<const quint16*>(g.constScanLine(y))[x] / 257.0f
                                 : float(g.constScanLine(y)[x]);
    return true;
}

PatternOverlay::PatternOverlay(QMainWindow* window, TDetectorPanel* panel,
                               std::function<int()> convention)
    : QObject(window), m_window(window), m_panel(panel), m_convention(std::move(convention)) {
    Ask = qtOverlayQuestions();
    CreateMenu();
    FitReadOut = new QLabel(window);
    FitReadOut->setObjectName(QStringLiteral("FitReadOut"));
    window->statusBar()->addPermanentWidget(FitReadOut);
    m_panel->setFocusPolicy(Qt::StrongFocus);
    m_panel->installEventFilter(this);
    window->installEventFilter(this);
    window->setAcceptDrops(true);
    m_panel->OnChanged = [this](QObject*) { ShowReadOut(); };
    ShowReadOut();
}

PatternOverlay::~PatternOverlay() {
    m_cancel = true;
    if (m_worker.joinable()) m_worker.join();
}

void PatternOverlay::CreateMenu() {
    Menu = m_window->menuBar()->addMenu(QStringLiteral("&Pattern"));
    auto add = [this](const QString& text, const QString& tip, const QKeySequence& key) {
        QAction* action = Menu->addAction(text);
        action->setStatusTip(tip);
        action->setShortcut(key);
        action->setShortcutContext(Qt::WindowShortcut);
        return action;
    };
    LoadAction = add(QStringLiteral("&Load pattern..."),
                     QStringLiteral("Load a measured pattern (PNG, TIFF, BMP) to fit"),
                     QKeySequence(Qt::CTRL | Qt::Key_L));
    connect(LoadAction, &QAction::triggered, this, [this] {
        const QString path = Ask.openFile ? Ask.openFile(m_window, kLoadCaption,
                                                         QFileInfo(m_path).path(), kImageFilters)
                                          : QString();
        if (!path.isEmpty()) LoadPattern(path);
    });
    CloseAction = add(QStringLiteral("Close pattern"),
                      QStringLiteral("Back to the simulated pattern alone"), QKeySequence());
    connect(CloseAction, &QAction::triggered, this, &PatternOverlay::ClosePattern);
    Menu->addSeparator();
    BackgroundAction = add(QStringLiteral("&Background correction"),
                           QStringLiteral("Show the pattern divided by its blurred copy"),
                           QKeySequence(Qt::Key_B));
    BackgroundAction->setCheckable(true);
    BackgroundAction->setChecked(true);
    connect(BackgroundAction, &QAction::toggled, this, [this] { ShowPattern(); });
    ModeAction = add(QStringLiteral("Overlay &mode"),
                     QStringLiteral("Lines over the pattern, blended simulation, pattern alone"),
                     QKeySequence(Qt::Key_S));
    connect(ModeAction, &QAction::triggered, this, &PatternOverlay::CycleMode);
    EdgesAction = add(QStringLiteral("Band &edges"),
                      QStringLiteral("Overlay the band edges instead of the centre lines"),
                      QKeySequence(Qt::Key_E));
    EdgesAction->setCheckable(true);
    connect(EdgesAction, &QAction::toggled, this, [this](bool edges) {
        ebsp::OverlayLook look = m_panel->OverlayLook();
        look.lines = edges ? ebsp::BandShape::Edges : ebsp::BandShape::Centre;
        m_panel->SetOverlayLook(look);
    });
    ColourAction = add(QStringLiteral("Overlay &colour..."),
                       QStringLiteral("Colour of the overlaid lines"), QKeySequence());
    connect(ColourAction, &QAction::triggered, this, [this] {
        ebsp::OverlayLook look = m_panel->OverlayLook();
        if (Ask.colour && Ask.colour(m_window, look.colour)) m_panel->SetOverlayLook(look);
    });
    OpacityUpAction = add(QStringLiteral("More opaque"), QStringLiteral("Overlay opacity up"),
                          QKeySequence(Qt::Key_BracketRight));
    connect(OpacityUpAction, &QAction::triggered, this,
            [this] { SetOpacity(m_panel->OverlayLook().opacity + 0.25); });
    OpacityDownAction =
        add(QStringLiteral("More transparent"), QStringLiteral("Overlay opacity down"),
            QKeySequence(Qt::Key_BracketLeft));
    connect(OpacityDownAction, &QAction::triggered, this,
            [this] { SetOpacity(m_panel->OverlayLook().opacity - 0.25); });
    Menu->addSeparator();
    RefineAction = add(QStringLiteral("&Refine"),
                       QStringLiteral("Polish orientation (and PC) by the cross-correlation; "
                                      "again or Esc cancels"),
                       QKeySequence(Qt::CTRL | Qt::Key_R));
    connect(RefineAction, &QAction::triggered, this, [this] {
        if (Refining())
            CancelRefine();
        else
            StartRefine();
    });
    RefinePcAction = add(QStringLiteral("Refine &PC too"),
                         QStringLiteral("Refine also the pattern centre"), QKeySequence());
    RefinePcAction->setCheckable(true);
    Menu->addSeparator();
    CopyAction = add(QStringLiteral("&Copy result"),
                     QStringLiteral("Copy \"phi1 Phi phi2 PCx PCy PCz\" to the clipboard"),
                     QKeySequence(Qt::CTRL | Qt::Key_C));
    connect(CopyAction, &QAction::triggered, this, &PatternOverlay::CopyResult);
    SavePictureAction = add(QStringLiteral("Save &picture..."),
                            QStringLiteral("Save the pattern with its overlay as PNG or SVG"),
                            QKeySequence(Qt::CTRL | Qt::Key_S));
    connect(SavePictureAction, &QAction::triggered, this, &PatternOverlay::SavePicture);
    SaveFitAction =
        add(QStringLiteral("Save &fit..."),
            QStringLiteral("Save detector, orientation and PC beside the pattern"), QKeySequence());
    connect(SaveFitAction, &QAction::triggered, this, [this] {
        const QString path =
            Ask.saveFile ? Ask.saveFile(m_window, QStringLiteral("Save fit"), DefaultFitPath(),
                                        QStringLiteral("Fit settings (*.json)"))
                         : QString();
        if (!path.isEmpty()) SaveFit(path);
    });
    LoadFitAction = add(QStringLiteral("Load f&it..."),
                        QStringLiteral("Pick up a saved fit and its pattern"), QKeySequence());
    connect(LoadFitAction, &QAction::triggered, this, [this] {
        const QString path =
            Ask.openFile ? Ask.openFile(m_window, QStringLiteral("Load fit"), DefaultFitPath(),
                                        QStringLiteral("Fit settings (*.json)"))
                         : QString();
        if (!path.isEmpty()) LoadFit(path);
    });
}

void PatternOverlay::Fail(const QString& caption, const QString& text) {
    if (Ask.error) Ask.error(m_window, caption, text);
}

bool PatternOverlay::LoadPattern(const QString& path) {
    CancelRefine();  // a running refinement belongs to the pattern it started on
    ++m_generation;
    GreyImage grey;
    QString error;
    if (!readPatternImage(path, grey, error)) {
        Fail(kLoadCaption, error);
        return false;
    }
    const TDetector old = m_panel->Detector();
    if (grey.width != old.Width || grey.height != old.Height) {
        TDetector d = old;
        d.Width = grey.width;
        d.Height = grey.height;
        const bool fractional =
            !Ask.yesNo ||
            Ask.yesNo(m_window, kLoadCaption,
                      QStringLiteral("The pattern is %1 x %2 pixels, the detector %3 x %4.\n"
                                     "Keep the pattern centre in its fractional form?\n"
                                     "(No keeps it on the same pixel.)")
                          .arg(d.Width)
                          .arg(d.Height)
                          .arg(old.Width)
                          .arg(old.Height));
        if (!fractional) {
            d.PCx = old.PCx * old.Width / d.Width;
            d.PCy = old.PCy * old.Height / d.Height;
            d.PCz = old.PCz * old.Height / d.Height;
        }
        if (!m_panel->SetDetector(d)) {
            Fail(kLoadCaption, QStringLiteral("The detector refuses a %1 x %2 pattern.")
                                   .arg(d.Width)
                                   .arg(d.Height));
            return false;
        }
    }
    m_raw = std::move(grey);
    m_corrected = ebsp::fit::correctBackground(m_raw, ebsp::fit::BackgroundMode::Divide);
    m_path = path;
    m_hasFom = false;
    m_window->setWindowTitle(
        QStringLiteral("Detector pattern - %1").arg(QFileInfo(path).fileName()));
    ShowPattern();
    return true;
}

void PatternOverlay::ClosePattern() {
    if (Refining()) return;
    m_raw = GreyImage();
    m_corrected = GreyImage();
    m_path.clear();
    m_hasFom = false;
    m_window->setWindowTitle(QStringLiteral("Detector pattern"));
    ShowPattern();
}

void PatternOverlay::ShowPattern() {
    if (m_raw.empty()) {
        m_panel->SetPattern(QImage());
        return;
    }
    const bool corrected = BackgroundAction->isChecked();
    m_panel->SetPattern(displayImage(corrected ? m_corrected : m_raw, corrected));
}

void PatternOverlay::SetBackgroundCorrection(bool on) {
    BackgroundAction->setChecked(on);
}

void PatternOverlay::CycleMode() {
    ebsp::OverlayLook look = m_panel->OverlayLook();
    look.mode = look.mode == ebsp::OverlayMode::Lines   ? ebsp::OverlayMode::Blend
                : look.mode == ebsp::OverlayMode::Blend ? ebsp::OverlayMode::Pattern
                                                        : ebsp::OverlayMode::Lines;
    m_panel->SetOverlayLook(look);
}

void PatternOverlay::SetOpacity(double opacity) {
    ebsp::OverlayLook look = m_panel->OverlayLook();
    look.opacity = std::clamp(opacity, 0.25, 1.0);
    m_panel->SetOverlayLook(look);
}

void PatternOverlay::Oriented() {
    // The owner reads the panel's angles and puts every view on them.
    if (m_panel->OnRotated) m_panel->OnRotated(m_panel);
}

void PatternOverlay::TurnCrystal(double xDeg, double yDeg, double zDeg) {
    TMat3D g, turned;
    const TVec3D euler = m_panel->EulerAngles();
    Euler2Matrix(&euler, &g);
    turned = ebsp::fit::turnInDetectorFrame(g, m_panel->Detector(),
                                            {xDeg * kDegToRad, yDeg * kDegToRad, zDeg * kDegToRad});
    TVec3D e;
    Matrix2Euler(&turned, &e);
    m_panel->SetOrientation(e);
    Oriented();
}

void PatternOverlay::MovePatternCentre(double dx, double dy) {
    TDetector d = m_panel->Detector();
    d.PCx += dx / d.Width;
    d.PCy += dy / d.Height;
    m_panel->SetDetector(d);
}

void PatternOverlay::ChangePcDistance(double dz) {
    TDetector d = m_panel->Detector();
    d.PCz = std::max(0.05, d.PCz + dz);
    m_panel->SetDetector(d);
}

bool PatternOverlay::KeyPressed(QKeyEvent* event) {
    const double step = event->modifiers() & Qt::ShiftModifier ? 1.0 : 0.1;
    // Right and up move the pattern right and up; page keys turn it about the PC.
    switch (event->key()) {
        case Qt::Key_Left:
            TurnCrystal(0.0, -step, 0.0);
            return true;
        case Qt::Key_Right:
            TurnCrystal(0.0, step, 0.0);
            return true;
        case Qt::Key_Up:
            TurnCrystal(-step, 0.0, 0.0);
            return true;
        case Qt::Key_Down:
            TurnCrystal(step, 0.0, 0.0);
            return true;
        case Qt::Key_PageUp:
            TurnCrystal(0.0, 0.0, step);
            return true;
        case Qt::Key_PageDown:
            TurnCrystal(0.0, 0.0, -step);
            return true;
        case Qt::Key_Escape:
            if (!Refining()) return false;
            CancelRefine();
            return true;
        default:
            return false;
    }
}

bool PatternOverlay::PanelMouse(QEvent* event) {
    switch (event->type()) {
        case QEvent::MouseButtonPress: {
            auto* e = static_cast<QMouseEvent*>(event);
            if (e->button() != Qt::LeftButton || !(e->modifiers() & Qt::ControlModifier))
                return false;
            m_pcDragging = true;
            m_pcDragStart = e->position().toPoint();
            m_pcDragStartX = m_panel->Detector().PCx;
            m_pcDragStartY = m_panel->Detector().PCy;
            return true;
        }
        case QEvent::MouseMove: {
            if (!m_pcDragging) return false;
            auto* e = static_cast<QMouseEvent*>(event);
            const ebsp::DetectorFit fit = m_panel->Fit(m_panel->size());
            if (!fit.valid) return true;
            // The PC follows the pointer: widget pixels back to pattern pixels.
            const QPoint moved = e->position().toPoint() - m_pcDragStart;
            TDetector d = m_panel->Detector();
            d.PCx = m_pcDragStartX + moved.x() / fit.scale / d.Width;
            d.PCy = m_pcDragStartY + moved.y() / fit.scale / d.Height;
            m_panel->SetDetector(d);
            return true;
        }
        case QEvent::MouseButtonRelease: {
            if (!m_pcDragging) return false;
            m_pcDragging = false;
            return true;
        }
        case QEvent::Wheel: {
            auto* e = static_cast<QWheelEvent*>(event);
            if (!(e->modifiers() & Qt::ControlModifier)) return false;
            ChangePcDistance(kPcDistanceStep * e->angleDelta().y() / 120.0);
            return true;
        }
        default:
            return false;
    }
}

bool PatternOverlay::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_panel) return PanelMouse(event);
    if (watched != m_window) return false;
    switch (event->type()) {
        case QEvent::KeyPress:
            return KeyPressed(static_cast<QKeyEvent*>(event));
        case QEvent::DragEnter: {
            auto* e = static_cast<QDragEnterEvent*>(event);
            const QList<QUrl> urls = e->mimeData()->urls();
            if (urls.size() == 1 && urls.front().isLocalFile()) e->acceptProposedAction();
            return true;
        }
        case QEvent::Drop: {
            auto* e = static_cast<QDropEvent*>(event);
            const QList<QUrl> urls = e->mimeData()->urls();
            if (urls.size() != 1 || !urls.front().isLocalFile()) return true;
            e->acceptProposedAction();
            LoadPattern(urls.front().toLocalFile());
            return true;
        }
        default:
            return false;
    }
}
