// A measured pattern in the detector window: loading (size, PC question, unreadable files),
// the fit by hand (keys, Ctrl wheel, Ctrl drag), Refine in its worker thread from a
// synthetic pattern of known orientation, and the results out (clipboard, picture, the
// settings file) - each checked against the main window's views as well.
#include <QAction>
#include <QClipboard>
#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QImage>
#include <QImageReader>
#include <QLabel>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QWheelEvent>

#include <cmath>

#include <QMimeData>

#include <QLineEdit>
#include <QSettings>

#include "app_test_fixture.h"
#include "detector_settings.h"
#include "detector_window.h"
#include "fit_text.h"
#include "pattern_overlay.h"
#include "synthetic_pattern.h"
#include "view_test_support.h"

namespace {

using ebsp::fit::testing::eulerDeg;
using ebsp::fit::testing::misorientationDeg;

// The user's settings go to a private folder, set before the first QSettings reads it.
const QTemporaryDir& configHome() {
    static QTemporaryDir dir;
    return dir;
}
const bool kConfigRedirected = [] {
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(configHome().path()));
    return true;
}();

constexpr double kDeg = viewtest::kPi / 180.0;

TMat3D matrixOf(const TVec3D& e) {
    TMat3D g;
    Euler2Matrix(&e, &g);
    return g;
}

TVec3D eulerOf(const TMat3D& g) {
    TVec3D e;
    Matrix2Euler(&g, &e);
    return e;
}

QImage toImage(const ebsp::fit::GreyImage& grey) {
    QImage image(grey.width, grey.height, QImage::Format_Grayscale8);
    for (int y = 0; y < grey.height; ++y)
        for (int x = 0; x < grey.width; ++x)
            image.scanLine(y)[x] = uchar(std::clamp(grey.at(x, y), 0.0f, 255.0f));
    return image;
}

// Every depth and format reads as the same grey values; TIFF where Qt has its plugin.
TEST(PatternImage, ReadsGreyOfEveryDepthAndColour) {
    QTemporaryDir dir;
    QImage grey8(4, 3, QImage::Format_Grayscale8);
    QImage grey16(4, 3, QImage::Format_Grayscale16);
    QImage colour(4, 3, QImage::Format_RGB32);
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 4; ++x) {
            const int v = 20 * x + 60 * y;  // 0 .. 180
            grey8.scanLine(y)[x] = uchar(v);
            reinterpret_cast<quint16*>(grey16.scanLine(y))[x] = quint16(v * 257);
            colour.setPixel(x, y, qRgb(v, v, v));
        }
    const bool tiff = QImageReader::supportedImageFormats().contains("tiff");
    const struct {
        const QImage* image;
        const char* name;
    } cases[] = {{&grey8, "g8.png"}, {&grey16, "g16.png"}, {&colour, "c.bmp"},
                 {&colour, "c.png"}, {&grey8, "g8.tif"},   {&grey16, "g16.tif"}};
    for (const auto& c : cases) {
        const QString path = dir.filePath(QString::fromLatin1(c.name));
        if (path.endsWith(QStringLiteral(".tif")) && !tiff) continue;
        ASSERT_TRUE(c.image->save(path)) << c.name;
        ebsp::fit::GreyImage read;
        QString error;
        ASSERT_TRUE(readPatternImage(path, read, error)) << error.toStdString();
        ASSERT_EQ(read.width, 4);
        ASSERT_EQ(read.height, 3);
        for (int y = 0; y < 3; ++y)
            for (int x = 0; x < 4; ++x)
                EXPECT_NEAR(read.at(x, y), 20 * x + 60 * y, 1e-3) << c.name;
    }
}

class PatternOverlayTest : public AppWindowFixture {
  protected:
    void SetUp() override {
        AppWindowFixture::SetUp();
        const int row = rowOf(QStringLiteral("Iron bcc"));
        ASSERT_GE(row, 0);
        form->ListBox1->setCurrentRow(row);
        form->MenuDetector1->trigger();
        ASSERT_NE(form->DetectorWindow1, nullptr);
        window = form->DetectorWindow1;
        panel = window->Panel;
        overlay = window->Overlay;
        overlay->Ask.error = [this](QWidget*, const QString&, const QString& text) {
            errors.push_back(text);
        };
        overlay->Ask.yesNo = [this](QWidget*, const QString&, const QString&) {
            ++questions;
            return keepFractional;
        };
        ASSERT_TRUE(dir.isValid());
    }

    // The synthetic pattern at truth on a 160 x 120 detector with the settings' PC, as PNG.
    QString writePattern(const TMat3D& truth, const QString& name = QStringLiteral("p.png")) {
        TDetector d = panel->Detector();
        d.Width = 160;
        d.Height = 120;
        const ebsp::fit::GreyImage grey =
            ebsp::fit::testing::makeSyntheticPattern(d, truth, overlay->SimulatedBands());
        const QString path = dir.filePath(name);
        EXPECT_TRUE(toImage(grey).save(path));
        return path;
    }

    void expectMainWindowFollows() {
        const TVec3D e = panel->EulerAngles();
        for (const TCrystalEBSPpanel* view : {form->CrystalEBSPpanel1, form->CrystalEBSPpanel2}) {
            EXPECT_NEAR(view->EulerAngles().x, e.x, 1e-12);
            EXPECT_NEAR(view->EulerAngles().y, e.y, 1e-12);
            EXPECT_NEAR(view->EulerAngles().z, e.z, 1e-12);
        }
    }

    QTemporaryDir dir;
    DetectorWindow* window = nullptr;
    TDetectorPanel* panel = nullptr;
    PatternOverlay* overlay = nullptr;
    std::vector<QString> errors;
    int questions = 0;
    bool keepFractional = true;
};

TEST_F(PatternOverlayTest, PatternSizeSetsTheDetectorAndThePcFollowsTheAnswer) {
    const TDetector settings = panel->Detector();
    ASSERT_EQ(settings.Width, 640);
    ASSERT_EQ(settings.Height, 480);
    const QString path = writePattern(eulerDeg(10, 20, 30));
    const struct {
        bool fractional;
        double pcx, pcy, pcz;  // expected, Bruker
    } cases[] = {
        {true, settings.PCx, settings.PCy, settings.PCz},
        // The same pixel: 640 / 160 and 480 / 120 times the fractions.
        {false, settings.PCx * 4.0, settings.PCy * 4.0, settings.PCz * 4.0},
    };
    for (const auto& c : cases) {
        panel->SetDetector(settings);
        keepFractional = c.fractional;
        questions = 0;
        ASSERT_TRUE(overlay->LoadPattern(path));
        EXPECT_EQ(questions, 1);
        const TDetector d = panel->Detector();
        EXPECT_EQ(d.Width, 160);
        EXPECT_EQ(d.Height, 120);
        EXPECT_NEAR(d.PCx, c.pcx, 1e-12);
        EXPECT_NEAR(d.PCy, c.pcy, 1e-12);
        EXPECT_NEAR(d.PCz, c.pcz, 1e-12);
        EXPECT_DOUBLE_EQ(d.SampleTilt, settings.SampleTilt);
        EXPECT_DOUBLE_EQ(d.Tilt, settings.Tilt);
    }
    // Same size again: no question.
    questions = 0;
    ASSERT_TRUE(overlay->LoadPattern(path));
    EXPECT_EQ(questions, 0);
    EXPECT_TRUE(panel->HasPattern());
    EXPECT_EQ(overlay->Pattern().width, 160);
    EXPECT_TRUE(errors.empty());
    EXPECT_TRUE(window->windowTitle().contains(QStringLiteral("p.png")));

    // New settings while a pattern is shown: their PC and tilts, the pattern's size.
    window->RunSettingsDialog = [](DetectorSettingsDialog& dialog) {
        dialog.Field(dfWidth)->setText(QStringLiteral("800"));
        dialog.Field(dfPc1)->setText(QStringLiteral("0.4"));
        dialog.Field(dfTilt)->setText(QStringLiteral("5"));
        return true;
    };
    ASSERT_TRUE(window->EditSettings());
    EXPECT_EQ(panel->Detector().Width, 160);
    EXPECT_EQ(panel->Detector().Height, 120);
    EXPECT_DOUBLE_EQ(panel->Detector().PCx, 0.4);
    EXPECT_DOUBLE_EQ(panel->Detector().Tilt, 5.0);
    QSettings(QSettings::UserScope, QString::fromLatin1(kSettingsOrganisation),
              QString::fromLatin1(kSettingsApplication))
        .remove(QStringLiteral("Detector"));
}

TEST_F(PatternOverlayTest, DroppedFileLoadsAndMenuItemsChangeTheLook) {
    const QString path = writePattern(eulerDeg(10, 20, 30));
    QMimeData mime;
    mime.setUrls({QUrl::fromLocalFile(path)});
    const QPointF at(50, 50);
    QDragEnterEvent enter(at.toPoint(), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(window, &enter);
    EXPECT_TRUE(enter.isAccepted());
    QDropEvent drop(at, Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(window, &drop);
    ASSERT_TRUE(panel->HasPattern());
    EXPECT_EQ(overlay->PatternPath(), path);

    EXPECT_EQ(overlay->LoadAction->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_L));
    EXPECT_EQ(overlay->RefineAction->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_R));
    EXPECT_EQ(overlay->BackgroundAction->shortcut(), QKeySequence(Qt::Key_B));
    // S cycles lines, blend, pattern alone and back.
    const ebsp::OverlayMode cycle[] = {ebsp::OverlayMode::Blend, ebsp::OverlayMode::Pattern,
                                       ebsp::OverlayMode::Lines};
    for (const ebsp::OverlayMode mode : cycle) {
        overlay->ModeAction->trigger();
        EXPECT_EQ(panel->OverlayLook().mode, mode);
    }
    overlay->EdgesAction->trigger();
    EXPECT_EQ(panel->OverlayLook().lines, ebsp::BandShape::Edges);
    overlay->Ask.colour = [](QWidget*, QColor& c) {
        c = QColor(0, 200, 255);
        return true;
    };
    overlay->ColourAction->trigger();
    EXPECT_EQ(panel->OverlayLook().colour, QColor(0, 200, 255));
    for (int i = 0; i < 6; ++i)
        overlay->OpacityUpAction->trigger();
    EXPECT_DOUBLE_EQ(panel->OverlayLook().opacity, 1.0);
    for (int i = 0; i < 6; ++i)
        overlay->OpacityDownAction->trigger();
    EXPECT_DOUBLE_EQ(panel->OverlayLook().opacity, 0.25);  // never invisible

    // The background correction changes the picture, not the pattern kept for the fit.
    const QImage corrected = panel->Image().copy();
    const std::vector<float> raw = overlay->Pattern().pixels;
    overlay->BackgroundAction->trigger();
    EXPECT_NE(panel->Image(), corrected);
    EXPECT_EQ(overlay->Pattern().pixels, raw);
    overlay->BackgroundAction->trigger();
    EXPECT_EQ(panel->Image(), corrected);
}

TEST_F(PatternOverlayTest, UnreadableFilesChangeNothingAndSayWhyOnce) {
    QFile junk(dir.filePath(QStringLiteral("junk.png")));
    ASSERT_TRUE(junk.open(QIODevice::WriteOnly));
    junk.write("not a picture at all");
    junk.close();
    const QString good = writePattern(eulerDeg(10, 20, 30));
    for (const bool loadedBefore : {false, true}) {
        if (loadedBefore) ASSERT_TRUE(overlay->LoadPattern(good));
        for (const QString& bad : {junk.fileName(), dir.filePath(QStringLiteral("none.tif"))}) {
            const TDetector before = panel->Detector();
            const std::vector<float> pixels = overlay->Pattern().pixels;
            errors.clear();
            EXPECT_FALSE(overlay->LoadPattern(bad));
            ASSERT_EQ(errors.size(), 1u);
            EXPECT_TRUE(errors[0].contains(QFileInfo(bad).fileName())) << errors[0].toStdString();
            EXPECT_EQ(panel->Detector().Width, before.Width);
            EXPECT_EQ(panel->Detector().PCz, before.PCz);
            EXPECT_EQ(overlay->Pattern().pixels, pixels);
            EXPECT_EQ(panel->HasPattern(), loadedBefore);
        }
    }
}

TEST_F(PatternOverlayTest, ArrowKeysTurnAboutTheDetectorAxesAndEveryViewFollows) {
    ASSERT_TRUE(QTest::qWaitForWindowExposed(window));
    const struct {
        Qt::Key key;
        Qt::KeyboardModifiers modifiers;
        double degrees;
    } cases[] = {
        {Qt::Key_Left, Qt::NoModifier, 0.1},    {Qt::Key_Right, Qt::NoModifier, 0.1},
        {Qt::Key_Up, Qt::NoModifier, 0.1},      {Qt::Key_Down, Qt::ShiftModifier, 1.0},
        {Qt::Key_Left, Qt::ShiftModifier, 1.0}, {Qt::Key_PageUp, Qt::NoModifier, 0.1},
    };
    panel->SetOrientation(TVec3D{30 * kDeg, 40 * kDeg, 50 * kDeg});
    for (const auto& c : cases) {
        const TMat3D before = matrixOf(panel->EulerAngles());
        QTest::keyClick(panel, c.key, c.modifiers);
        const TMat3D after = matrixOf(panel->EulerAngles());
        EXPECT_NEAR(misorientationDeg(before, after), c.degrees, 1e-6) << int(c.key);
        expectMainWindowFollows();
    }
    // Opposite keys undo each other: the turn is about a fixed detector axis.
    const TMat3D start = matrixOf(panel->EulerAngles());
    QTest::keyClick(panel, Qt::Key_Right, Qt::ShiftModifier);
    QTest::keyClick(panel, Qt::Key_Left, Qt::ShiftModifier);
    EXPECT_LT(misorientationDeg(start, matrixOf(panel->EulerAngles())), 1e-6);
}

TEST_F(PatternOverlayTest, CtrlWheelChangesPcDistanceAndCtrlDragMovesThePc) {
    ASSERT_TRUE(QTest::qWaitForWindowExposed(window));
    const TDetector before = panel->Detector();
    const TVec3D euler = panel->EulerAngles();
    const QPointF at(panel->width() / 2.0, panel->height() / 2.0);
    for (const int notches : {2, -1}) {
        const double pcz = panel->Detector().PCz;
        QWheelEvent wheel(at, panel->mapToGlobal(at), QPoint(), QPoint(0, 120 * notches),
                          Qt::NoButton, Qt::ControlModifier, Qt::NoScrollPhase, false);
        QCoreApplication::sendEvent(panel, &wheel);
        EXPECT_NEAR(panel->Detector().PCz, pcz + 0.005 * notches, 1e-12);
    }
    EXPECT_DOUBLE_EQ(panel->Detector().PCx, before.PCx);

    // The PC follows the pointer: 40 widget pixels right is 40 / scale pattern pixels.
    const ebsp::DetectorFit fit = panel->Fit(panel->size());
    const QPoint from = at.toPoint(), to = from + QPoint(40, -20);
    auto send = [&](QEvent::Type type, QPoint p, Qt::MouseButton b, Qt::MouseButtons held) {
        QMouseEvent e(type, QPointF(p), QPointF(panel->mapToGlobal(p)), b, held,
                      Qt::ControlModifier);
        QCoreApplication::sendEvent(panel, &e);
    };
    send(QEvent::MouseButtonPress, from, Qt::LeftButton, Qt::LeftButton);
    send(QEvent::MouseMove, to, Qt::NoButton, Qt::LeftButton);
    send(QEvent::MouseButtonRelease, to, Qt::LeftButton, Qt::NoButton);
    EXPECT_NEAR(panel->Detector().PCx, before.PCx + 40.0 / fit.scale / before.Width, 1e-9);
    EXPECT_NEAR(panel->Detector().PCy, before.PCy - 20.0 / fit.scale / before.Height, 1e-9);
    // Moving the PC leaves the crystal alone.
    EXPECT_EQ(panel->EulerAngles().x, euler.x);
    EXPECT_EQ(panel->EulerAngles().z, euler.z);
    EXPECT_TRUE(overlay->FitReadOut->text().contains(
        QString::fromStdString(ebsp::fit::formatFixed(panel->Detector().PCx, 6))))
        << overlay->FitReadOut->text().toStdString();
}

TEST_F(PatternOverlayTest, RefineFromTwoDegreesOffFindsTheTruthAndTurnsEveryView) {
    const TMat3D truth = eulerDeg(30, 40, 50);
    ASSERT_TRUE(overlay->LoadPattern(writePattern(truth)));
    const TMat3D start =
        ebsp::fit::turnInDetectorFrame(truth, panel->Detector(), {0.02, -0.025, 0.012});
    const double startOff = misorientationDeg(start, truth);
    ASSERT_NEAR(startOff, 1.966, 0.01);
    panel->SetOrientation(eulerOf(start));

    QSignalSpy finished(overlay, &PatternOverlay::refineFinished);
    overlay->RefineAction->trigger();
    EXPECT_TRUE(overlay->Refining());
    // The window keeps serving events while the worker runs.
    QTRY_VERIFY_WITH_TIMEOUT(finished.count() == 1, 300000);
    EXPECT_FALSE(overlay->Refining());
    const ebsp::fit::RefineResult& r = overlay->LastRefine();
    ASSERT_TRUE(r.valid);
    EXPECT_TRUE(r.improved);
    EXPECT_GT(r.fomAfter, r.fomBefore);
    EXPECT_LT(misorientationDeg(matrixOf(panel->EulerAngles()), truth), 0.2);
    EXPECT_NEAR(form->CurrentOrientation.y, panel->EulerAngles().y, 1e-12);
    expectMainWindowFollows();
    EXPECT_TRUE(overlay->FitReadOut->text().contains(QStringLiteral("FOM")));

    // Cancelled at once: the start stays.
    panel->SetOrientation(eulerOf(start));
    overlay->RefineAction->trigger();
    overlay->CancelRefine();
    QTRY_VERIFY_WITH_TIMEOUT(finished.count() == 2, 300000);
    EXPECT_TRUE(overlay->LastRefine().cancelled);
    EXPECT_LT(misorientationDeg(matrixOf(panel->EulerAngles()), start), 1e-9);

    // A pattern loaded while refining: the result of the old one is never applied.
    overlay->RefineAction->trigger();
    ASSERT_TRUE(overlay->LoadPattern(writePattern(truth)));
    QTRY_VERIFY_WITH_TIMEOUT(finished.count() == 3, 300000);
    EXPECT_TRUE(overlay->LastRefine().cancelled);
    EXPECT_LT(misorientationDeg(matrixOf(panel->EulerAngles()), start), 1e-9);
}

TEST_F(PatternOverlayTest, CopiesAnglesAndPcInTheChosenConvention) {
    panel->SetOrientation(TVec3D{10 * kDeg, 20 * kDeg, 30 * kDeg});
    TDetector d = panel->Detector();
    d.PCx = 0.5;
    d.PCy = 0.4;
    d.PCz = 0.625;
    ASSERT_TRUE(panel->SetDetector(d));
    ASSERT_EQ(window->Convention(), lxPcBruker);
    overlay->CopyAction->trigger();
    EXPECT_EQ(QGuiApplication::clipboard()->text(),
              QStringLiteral("10.0000 20.0000 30.0000 0.500000 0.400000 0.625000"));
    // Read-out and clipboard agree.
    EXPECT_TRUE(overlay->FitReadOut->text().contains(QStringLiteral("0.400000")));
}

TEST_F(PatternOverlayTest, FitFileRoundTripsAndRefusesAnotherSize) {
    const QString path = writePattern(eulerDeg(10, 20, 30));
    ASSERT_TRUE(overlay->LoadPattern(path));
    panel->SetOrientation(TVec3D{11 * kDeg, 22 * kDeg, 33 * kDeg});
    overlay->MovePatternCentre(8.0, -6.0);
    const TDetector saved = panel->Detector();
    const QString json = dir.filePath(QStringLiteral("p.json"));
    ASSERT_TRUE(overlay->SaveFit(json));

    overlay->ClosePattern();
    panel->SetOrientation(TVec3D{0, 0, 0});
    panel->SetDetector(ebsp::defaultDetector());
    ASSERT_TRUE(overlay->LoadFit(json));
    EXPECT_TRUE(overlay->HasPattern());
    EXPECT_EQ(overlay->PatternPath(), path);
    EXPECT_NEAR(panel->EulerAngles().y, 22 * kDeg, 1e-12);
    EXPECT_NEAR(panel->Detector().PCx, saved.PCx, 1e-12);
    EXPECT_NEAR(panel->Detector().PCy, saved.PCy, 1e-12);
    EXPECT_EQ(panel->Detector().Width, 160);
    expectMainWindowFollows();

    // A file whose detector does not match the pattern shown changes nothing.
    overlay->ClosePattern();
    QTemporaryDir other;
    QFile::copy(json, other.filePath(QStringLiteral("p.json")));
    ASSERT_TRUE(toImage(ebsp::fit::GreyImage(80, 60, 100.0f))
                    .save(other.filePath(QStringLiteral("p.png"))));
    errors.clear();
    EXPECT_FALSE(overlay->LoadFit(other.filePath(QStringLiteral("p.json"))));
    EXPECT_EQ(errors.size(), 1u);
    EXPECT_FALSE(overlay->HasPattern());
}

TEST_F(PatternOverlayTest, SavesTheOverlayAsAPicture) {
    ASSERT_TRUE(overlay->LoadPattern(writePattern(eulerDeg(10, 20, 30))));
    const QString file = dir.filePath(QStringLiteral("overlay.png"));
    overlay->Ask.picture.fileName = [&](QWidget*, const QString&, const QString&, const QString&,
                                        QString*) { return file; };
    overlay->Ask.picture.text = [](QWidget*, const QString&, const QString&, QString& text) {
        text = QStringLiteral("320 x 240");
        return true;
    };
    overlay->SavePictureAction->trigger();
    const QImage saved(file);
    ASSERT_FALSE(saved.isNull());
    EXPECT_EQ(saved.size(), QSize(320, 240));
    // The overlay's colour is on it: some strongly red pixel.
    bool red = false;
    for (int y = 0; y < saved.height() && !red; ++y)
        for (int x = 0; x < saved.width() && !red; ++x) {
            const QRgb p = saved.pixel(x, y);
            red = qRed(p) > qGreen(p) + 80 && qRed(p) > qBlue(p) + 80;
        }
    EXPECT_TRUE(red);
}

}  // namespace
