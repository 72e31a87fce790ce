// The detector window: the settings' field checks and PC conventions (DETECTOR.md's worked
// conversions), nothing half-applied, the user's remembered detector, and the coupling with
// the main window's views.
#include <QAction>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QSettings>
#include <QTemporaryDir>

#include <cmath>

#include "app_test_fixture.h"
#include "detector_settings.h"
#include "detector_window.h"
#include "view_test_support.h"

namespace {

// The user's settings go to a private folder, set before the first QSettings reads it.
const QTemporaryDir& configHome() {
    static QTemporaryDir dir;
    return dir;
}
const bool kConfigRedirected = [] {
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(configHome().path()));
    return true;
}();

QStringList fields(const char* w, const char* h, const char* b, const char* px, const char* pc1,
                   const char* pc2, const char* pc3) {
    return {w, h, b, px, "70", "0", "0", "0", pc1, pc2, pc3};
}

std::array<double, 3> readOut(const QLabel* label) {
    const QStringList parts = label->text().split(QStringLiteral(", "));
    EXPECT_EQ(parts.size(), 3) << label->text().toStdString();
    std::array<double, 3> v{};
    for (int i = 0; i < 3 && i < parts.size(); ++i)
        v[size_t(i)] = parts[i].toDouble();
    return v;
}

TEST(DetectorSettings, RefusesEachInvalidFieldWithItsReason) {
    const struct {
        QStringList texts;
        int convention;
        int field;
        const char* reason;  // part of the message
    } cases[] = {
        {fields("0", "480", "1", "50", "0.5", "0.5", "0.6"), lxPcBruker, dfWidth, "whole number"},
        {fields("640", "12.5", "1", "50", "0.5", "0.5", "0.6"), lxPcBruker, dfHeight,
         "whole number"},
        {fields("640", "480", "0", "50", "0.5", "0.5", "0.6"), lxPcBruker, dfBinning,
         "whole number"},
        {fields("640", "480", "1", "-1", "0.5", "0.5", "0.6"), lxPcBruker, dfPixelSize,
         "greater than 0"},
        {fields("640", "480", "1", "abc", "0.5", "0.5", "0.6"), lxPcBruker, dfPixelSize,
         "not a number"},
        {fields("640", "480", "1", "50", "", "0.5", "0.6"), lxPcBruker, dfPc1, "missing"},
        {fields("640", "480", "1", "50", "0.5", "nan", "0.6"), lxPcBruker, dfPc2, "not a number"},
        {fields("640", "480", "1", "50", "0.5", "0.5", "0"), lxPcBruker, dfPc3, "distance"},
        {fields("640", "480", "1", "50", "0.5", "0.5", "-0.1"), lxPcEdax, dfPc3, "distance"},
        {fields("640", "480", "1", "50", "0", "0", "-5"), lxPcEmsoft5, dfPc3, "distance"},
    };
    for (const auto& c : cases) {
        const DetectorCheck check = checkDetectorFields(c.texts, c.convention);
        EXPECT_FALSE(check.ok) << c.texts.join(' ').toStdString();
        for (int i = 0; i < dfFieldCount; ++i) {
            if (i == c.field)
                EXPECT_TRUE(check.errors[size_t(i)].contains(QLatin1String(c.reason)))
                    << check.errors[size_t(i)].toStdString();
            else
                EXPECT_TRUE(check.errors[size_t(i)].isEmpty())
                    << i << " " << c.texts.join(' ').toStdString();
        }
    }
    QStringList tilted = fields("640", "480", "1", "50", "0.5", "0.5", "0.6");
    tilted[dfTilt] = QStringLiteral("200");
    EXPECT_FALSE(checkDetectorFields(tilted, lxPcBruker).errors[dfTilt].isEmpty());
}

TEST(DetectorSettings, EdaxTypedShowsTheOtherFourConventions) {
    // DETECTOR.md's worked example: 80 x 60, binning 8, 59.2 um, Bruker (0.4, 0.2, 0.6).
    TDetector d = ebsp::defaultDetector();
    d.Width = 80, d.Height = 60, d.Binning = 8, d.PixelSize = 59.2;
    DetectorSettingsDialog dialog(d, lxPcEdax);
    dialog.Field(dfPc1)->setText(QStringLiteral("0.4"));
    dialog.Field(dfPc2)->setText(QStringLiteral("0.8"));
    dialog.Field(dfPc3)->setText(QStringLiteral("0.6"));
    ASSERT_TRUE(dialog.Check().ok);
    EXPECT_TRUE(dialog.OkButton()->isEnabled());
    const double expected[kPcConventionCount][3] = {{0.4, 0.2, 0.6},
                                                    {0.4, 0.8, 0.6},
                                                    {0.4, 0.6, 0.45},
                                                    {-64.0, 144.0, 17049.6},
                                                    {64.0, 144.0, 17049.6}};
    for (int c = 0; c < kPcConventionCount; ++c) {
        const auto v = readOut(dialog.PcReadOut(c));
        for (int k = 0; k < 3; ++k)
            EXPECT_NEAR(v[size_t(k)], expected[c][k], 1e-6 * (1 + std::fabs(expected[c][k])))
                << pcConventionName(c).toStdString() << " " << k;
    }
    // Switching the convention shows the same PC in the new one.
    dialog.SetConvention(lxPcEmsoft4);
    EXPECT_NEAR(dialog.Field(dfPc1)->text().toDouble(), -64.0, 1e-6);
    EXPECT_NEAR(dialog.Field(dfPc3)->text().toDouble(), 17049.6, 1e-6);
    EXPECT_NEAR(dialog.Check().detector.PCy, 0.2, 1e-9);
    // A refused field disables OK, shows its reason and blanks the read-outs.
    dialog.Field(dfBinning)->setText(QStringLiteral("0"));
    EXPECT_FALSE(dialog.OkButton()->isEnabled());
    EXPECT_FALSE(dialog.Error(dfBinning)->text().isEmpty());
    EXPECT_EQ(dialog.PcReadOut(lxPcBruker)->text(), QStringLiteral("-"));
}

TEST(DetectorSettings, WindowAppliesWholeOrNothingAndRemembers) {
    ASSERT_TRUE(kConfigRedirected && configHome().isValid());
    DetectorWindow window;
    const TDetector before = window.Panel->Detector();
    EXPECT_EQ(before.Width, 640);
    EXPECT_DOUBLE_EQ(before.SampleTilt, 70.0);
    EXPECT_DOUBLE_EQ(before.PCz, 0.6);

    // Accepted while the PC distance is refused: nothing changes, not even the width.
    window.RunSettingsDialog = [](DetectorSettingsDialog& dialog) {
        dialog.Field(dfWidth)->setText(QStringLiteral("800"));
        dialog.Field(dfPc3)->setText(QStringLiteral("-1"));
        return true;
    };
    EXPECT_FALSE(window.EditSettings());
    EXPECT_EQ(window.Panel->Detector().Width, 640);

    window.RunSettingsDialog = [](DetectorSettingsDialog& dialog) {
        dialog.SetConvention(lxPcEdax);
        dialog.Field(dfWidth)->setText(QStringLiteral("800"));
        dialog.Field(dfHeight)->setText(QStringLiteral("600"));
        dialog.Field(dfTilt)->setText(QStringLiteral("10"));
        dialog.Field(dfPc1)->setText(QStringLiteral("0.45"));
        dialog.Field(dfPc2)->setText(QStringLiteral("0.7"));
        dialog.Field(dfPc3)->setText(QStringLiteral("0.55"));
        return true;
    };
    ASSERT_TRUE(window.EditSettings());
    const TDetector after = window.Panel->Detector();
    EXPECT_EQ(after.Width, 800);
    EXPECT_DOUBLE_EQ(after.Tilt, 10.0);
    EXPECT_NEAR(after.PCy, 0.3, 1e-12);  // EDAX y* counts from the bottom

    // The next window starts from the user's settings file, in the user's folder.
    DetectorWindow next;
    EXPECT_EQ(next.Panel->Detector().Width, 800);
    EXPECT_NEAR(next.Panel->Detector().PCy, 0.3, 1e-12);
    QSettings user(QSettings::UserScope, QString::fromLatin1(kSettingsOrganisation),
                   QString::fromLatin1(kSettingsApplication));
    EXPECT_TRUE(user.fileName().startsWith(configHome().path())) << user.fileName().toStdString();
    user.remove(QStringLiteral("Detector"));
}

class DetectorCoupling : public AppWindowFixture {
  protected:
    void select(const QString& name) {
        const int row = rowOf(name);
        ASSERT_GE(row, 0);
        form->ListBox1->setCurrentRow(row);
    }
    TDetectorPanel* open() {
        form->MenuDetector1->trigger();
        EXPECT_NE(form->DetectorWindow1, nullptr);
        return form->DetectorWindow1 ? form->DetectorWindow1->Panel : nullptr;
    }
};

TEST_F(DetectorCoupling, OpensFromTheMapMenuAndFollowsTheMainWindow) {
    EXPECT_TRUE(form->PopupMenu2->actions().contains(form->MenuDetector1));
    EXPECT_EQ(form->MenuDetector1->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_D));
    select(QStringLiteral("Iron fcc"));
    TDetectorPanel* panel = open();
    ASSERT_NE(panel, nullptr);
    EXPECT_TRUE(form->DetectorWindow1->isVisible());
    EXPECT_EQ(panel->ReflectorCount(), form->CrystalEBSPpanel2->ReflectorCount());
    EXPECT_GT(panel->ReflectorCount(), 0);

    services.answers = {QStringLiteral("30 40 50")};
    form->Orientation1Click();
    EXPECT_NEAR(panel->EulerAngles().y, 40.0 * viewtest::kPi / 180.0, 1e-12);

    form->MenuEdges1->trigger();
    EXPECT_EQ(panel->BandLook().shape, ebsp::BandShape::Edges);
    services.answers = {QStringLiteral("30")};
    form->Acceleratingvoltage1Click();
    EXPECT_DOUBLE_EQ(panel->kV(), 30.0);

    select(QStringLiteral("Titanium"));
    EXPECT_EQ(panel->ReflectorCount(), form->CrystalEBSPpanel2->ReflectorCount());
    // Hexagonal phase: four-index zone labels.
    const auto zones = panel->ZoneLabels(panel->size());
    ASSERT_FALSE(zones.empty());
    for (const auto& z : zones) {
        int digits = 0;
        for (const QChar ch : z.text)
            digits += ch.isDigit();
        EXPECT_EQ(digits, 4) << z.text.toStdString();
    }
}

TEST_F(DetectorCoupling, DragOnTheDetectorTurnsBothViews) {
    select(QStringLiteral("Iron bcc"));
    TDetectorPanel* panel = open();
    ASSERT_NE(panel, nullptr);
    ASSERT_TRUE(QTest::qWaitForWindowExposed(form->DetectorWindow1));
    const TVec3D start = form->CurrentOrientation;
    const QPoint from(panel->width() / 3, panel->height() / 2);
    const QPoint to(2 * panel->width() / 3, panel->height() / 2 + 20);
    viewtest::press(panel, from);
    viewtest::move(panel, to);
    viewtest::release(panel, to);
    const TVec3D e = panel->EulerAngles();
    EXPECT_GT(std::fabs(e.x - start.x) + std::fabs(e.y - start.y) + std::fabs(e.z - start.z), 0.1);
    for (const TCrystalEBSPpanel* view : {form->CrystalEBSPpanel1, form->CrystalEBSPpanel2}) {
        const TVec3D v = view->EulerAngles();
        EXPECT_NEAR(v.x, e.x, 1e-12);
        EXPECT_NEAR(v.y, e.y, 1e-12);
        EXPECT_NEAR(v.z, e.z, 1e-12);
    }
    EXPECT_NEAR(form->CurrentOrientation.y, e.y, 1e-12);
    // The pointer read-out goes to the detector window's own status bar.
    const auto zones = panel->ZoneLabels(panel->size());
    ASSERT_FALSE(zones.empty());
    const ebsp::DetectorFit fit = panel->Fit(panel->size());
    viewtest::move(panel,
                   QPoint(int(fit.offsetX + zones[0].at.x), int(fit.offsetY + zones[0].at.y)),
                   Qt::NoButton);
    EXPECT_TRUE(
        form->DetectorWindow1->ReadOut->text().contains(QStringLiteral("crystal direction")) ||
        form->DetectorWindow1->ReadOut->text().contains(QStringLiteral("zone")))
        << form->DetectorWindow1->ReadOut->text().toStdString();
}

}  // namespace
