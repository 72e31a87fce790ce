// The main window's helpers: dialog parsing, reflector cut, cell colours,
// pointer status texts, the status bar's two modes and the drawn pictures.
#include <gtest/gtest.h>

#include <QApplication>
#include <QImage>
#include <QLabel>
#include <QMainWindow>

#include <algorithm>
#include <cmath>
#include <random>

#include "dialog_input.h"
#include "logo_art.h"
#include "phase_catalogue.h"
#include "status_bar.h"
#include "window_logic.h"

namespace {

const QLocale kC = QLocale::c();
const QLocale kGerman(QLocale::German, QLocale::Germany);

TEST(AppDialogInput, ReflectorCountIsClampedAndUnreadableTextBecomesTwenty) {
    struct Case {
        const char* text;
        int expected;
    } cases[] = {{"250", 200}, {"word", 20}, {" 57 ", 57}, {"19", 20}, {"20", 20},
                 {"200", 200}, {"201", 200}, {"-5", 20},   {"", 20},   {"99999999999", 20},
                 {"1e2", 20},  {"12.5", 20}, {"+150", 150}};
    for (const Case& c : cases)
        EXPECT_EQ(reflectorCountFromText(QString::fromLatin1(c.text)), c.expected) << c.text;
}

TEST(AppDialogInput, VoltageIsClampedAndUnreadableTextIsRefused) {
    EXPECT_EQ(voltageFromText(QStringLiteral("0.5"), kC), 1.0);
    EXPECT_EQ(voltageFromText(QStringLiteral("1000"), kC), 100.0);
    EXPECT_EQ(voltageFromText(QStringLiteral(" 15.5 "), kC), 15.5);
    EXPECT_EQ(voltageFromText(QStringLiteral("1"), kC), 1.0);
    EXPECT_EQ(voltageFromText(QStringLiteral("100"), kC), 100.0);
    EXPECT_FALSE(voltageFromText(QStringLiteral("word"), kC));
    EXPECT_FALSE(voltageFromText(QStringLiteral(""), kC));
    EXPECT_FALSE(voltageFromText(QStringLiteral("nan"), kC));
    // A thousands separator must not turn "1,5" into 15.
    EXPECT_FALSE(voltageFromText(QStringLiteral("1,5"), kC));
    EXPECT_EQ(voltageFromText(QStringLiteral("15,5"), kGerman), 15.5);
    EXPECT_FALSE(voltageFromText(QStringLiteral("1.500"), kGerman));
}

TEST(AppDialogInput, OrientationTakesThreeNumbersSeparatedByBlanksOrCommas) {
    using A = std::array<double, 3>;
    EXPECT_EQ(orientationDegFromText(QStringLiteral("90,90,0"), kC), (A{90, 90, 0}));
    EXPECT_EQ(orientationDegFromText(QStringLiteral("90 90 0"), kC), (A{90, 90, 0}));
    EXPECT_EQ(orientationDegFromText(QStringLiteral("  90 ,  90,,0  "), kC), (A{90, 90, 0}));
    EXPECT_EQ(orientationDegFromText(QStringLiteral("1 2 3 4"), kC), (A{1, 2, 3}));
    EXPECT_EQ(orientationDegFromText(QStringLiteral("1 2 3 word"), kC), (A{1, 2, 3}));
    EXPECT_EQ(orientationDegFromText(QStringLiteral("-10.5 0.25 370"), kC), (A{-10.5, 0.25, 370}));
    EXPECT_FALSE(orientationDegFromText(QStringLiteral("10 20"), kC));
    EXPECT_FALSE(orientationDegFromText(QStringLiteral("10"), kC));
    EXPECT_FALSE(orientationDegFromText(QStringLiteral(""), kC));
    EXPECT_FALSE(orientationDegFromText(QStringLiteral("1 x 3"), kC));
    EXPECT_FALSE(orientationDegFromText(QStringLiteral("1 2 inf"), kC));
    EXPECT_FALSE(orientationDegFromText(QStringLiteral("1\t2\t3"), kC));  // only blanks separate
    // Commas are separators before numbers are read, whatever the locale.
    EXPECT_EQ(orientationDegFromText(QStringLiteral("90,5 10 0"), kGerman), (A{90, 5, 10}));
}

TEST(AppDialogInput, OrientationTextUsesFourSignificantDigits) {
    EXPECT_EQ(orientationText(90, 90, 0), QStringLiteral("90  90  0"));
    EXPECT_EQ(orientationText(1.0406, -0.5, 123.456), QStringLiteral("1.041  -0.5  123.5"));
    EXPECT_EQ(orientationText(359.99, 1e-7, 12.0), QStringLiteral("360  1e-07  12"));
}

TEST(AppDialogInput, OrientationTextReadsBackWithinFourDigits) {
    std::mt19937 random(1234);
    std::uniform_real_distribution<double> angle(-360.0, 360.0);
    for (const QLocale& locale : {kC, kGerman}) {
        for (int i = 0; i < 200; ++i) {
            const double e[3] = {angle(random), angle(random), angle(random)};
            // Also in a locale with a decimal comma, which the reading turns into a blank.
            const auto back = orientationDegFromText(orientationText(e[0], e[1], e[2]), locale);
            ASSERT_TRUE(back) << orientationText(e[0], e[1], e[2]).toStdString();
            for (int j = 0; j < 3; ++j)
                EXPECT_NEAR((*back)[j], e[j], std::abs(e[j]) * 5e-4 + 1e-12);
        }
    }
}

// Independent statement of the cut: the last family start (entry 2 counting
// as one) at or before n among the used entries, minus one.
int bruteForceCut(const TPhaseRecord& phase, int n) {
    const int used = static_cast<int>(UsedReflectorCount(phase));
    int best = 0;
    for (int i = 2; i <= std::min(n, used); ++i) {
        if (i == 2 || phase.Reflectors[i - 1].Family != phase.Reflectors[i - 2].Family)
            best = i - 1;
    }
    return best;
}

TEST(AppReflectorCut, MatchesTheFamilyRuleOnEveryBuiltInPhase) {
    for (uint32_t index = 1; index <= kPhaseCount; ++index) {
        TPhaseRecord phase;
        BuildPhase(index, phase);
        for (int n = -1; n <= 210; ++n) {
            const int cut = reflectorCut(phase, n);
            ASSERT_EQ(cut, bruteForceCut(phase, n)) << phase.Name << " n=" << n;
            if (n >= 2) {
                EXPECT_LT(cut, n);
            }
        }
    }
}

TEST(AppReflectorCut, KnownCountsOfTheTable) {
    TPhaseRecord phase;
    BuildPhase(1, phase);
    EXPECT_EQ(reflectorCut(phase, 100), 98);  // Alumina
    BuildPhase(3, phase);
    EXPECT_EQ(reflectorCut(phase, 20), 9);  // Iron bcc
    EXPECT_EQ(reflectorCut(phase, 1), 0);
    EXPECT_EQ(reflectorCut(phase, 2), 1);  // the cut after entry 1 may split a family
}

TEST(AppReflectorCut, TwoHundredSingleMemberFamiliesGiveAtMost199) {
    TPhaseRecord phase;
    for (int i = 0; i < 200; ++i) {
        phase.Reflectors[i] = {static_cast<int8_t>(1 + i % 7), static_cast<int8_t>(i / 7), 1,
                               static_cast<uint16_t>(10000 - i), static_cast<uint8_t>(1 + i % 255)};
    }
    EXPECT_EQ(reflectorCut(phase, 200), 199);
    EXPECT_EQ(reflectorCut(phase, 500), 199);
    EXPECT_EQ(reflectorCut(phase, 20), 19);
}

TEST(AppReflectorCut, AnEmptyListHasNoCut) {
    TPhaseRecord phase;
    EXPECT_EQ(reflectorCut(phase, 200), 0);
}

TEST(AppCellColour, ByLaueGroupWithHexagonalAxesAqua) {
    EXPECT_EQ(laueFaceColour(1, 90), QColor(0, 0, 255));
    EXPECT_EQ(laueFaceColour(2, 90), QColor(0, 128, 0));
    EXPECT_EQ(laueFaceColour(3, 90), QColor(255, 0, 0));
    EXPECT_EQ(laueFaceColour(4, 90), QColor(255, 255, 0));
    EXPECT_EQ(laueFaceColour(5, 90), QColor(255, 255, 0));
    for (int laue = 6; laue <= 9; ++laue) {
        EXPECT_EQ(laueFaceColour(laue, 120.0f), QColor(0, 255, 255)) << laue;
        EXPECT_EQ(laueFaceColour(laue, 119.995f), QColor(0, 255, 255)) << laue;
        EXPECT_EQ(laueFaceColour(laue, 120.02f), QColor(0, 128, 128)) << laue;
        EXPECT_EQ(laueFaceColour(laue, 90.0f), QColor(0, 128, 128)) << laue;  // rhombohedral axes
    }
    EXPECT_EQ(laueFaceColour(10, 90), QColor(0, 255, 0));
    EXPECT_EQ(laueFaceColour(11, 90), QColor(0, 255, 0));
    EXPECT_FALSE(laueFaceColour(0, 90));
    EXPECT_FALSE(laueFaceColour(12, 90));
    EXPECT_FALSE(laueFaceColour(-1, 120));
}

TEST(AppStatusText, ZoneAndPlaneWithAndWithoutHighlights) {
    const QString zone = QStringLiteral("[1-10]");
    const QString plane = QStringLiteral("(110)");
    EXPECT_EQ(pickStatusText(zone, QString(), false), QStringLiteral(" [1-10] crystal direction"));
    EXPECT_EQ(pickStatusText(zone, QString(), true), QStringLiteral(" [1-10] crystal direction"));
    EXPECT_EQ(pickStatusText(zone, plane, false), QStringLiteral(" [1-10] crystal direction"));
    EXPECT_EQ(pickStatusText(zone, plane, true), QStringLiteral(" [1-10] zone, (110) plane"));
    EXPECT_EQ(pickStatusText(QString(), plane, true), QStringLiteral(" (110) crystal plane"));
    EXPECT_EQ(pickStatusText(QString(), plane, false), QString());
    EXPECT_EQ(pickStatusText(QString(), QString(), true), QString());
    EXPECT_EQ(pickStatusText(QString(), QString(), false), QString());
}

TEST(AppStatusBar, SimpleModeShowsOneTextPanelModeThePanels) {
    PanelStatusBar bar({300, 50});
    EXPECT_FALSE(bar.simplePanel());
    EXPECT_EQ(bar.panelCount(), 2);
    bar.setSimpleText(QStringLiteral(" hint"));
    bar.setPanelText(0, QStringLiteral("left"));
    bar.setPanelText(1, QStringLiteral("right"));
    EXPECT_EQ(bar.visibleText(), QStringLiteral("left | right"));
    bar.setSimplePanel(true);
    EXPECT_EQ(bar.visibleText(), QStringLiteral(" hint"));
    // Panels keep their texts while hidden.
    bar.setSimplePanel(false);
    EXPECT_EQ(bar.visibleText(), QStringLiteral("left | right"));
    bar.setPanelText(2, QStringLiteral("ignored"));
    bar.setPanelWidth(-1, 10);
    EXPECT_EQ(bar.panelText(2), QString());
    EXPECT_EQ(bar.panelWidth(2), 0);
    bar.setPanelWidth(0, 342);
    EXPECT_EQ(bar.panelWidth(0), 342);
}

TEST(AppStatusBar, PanelsSitSideBySideInTheWindow) {
    QMainWindow window;
    window.resize(480, 200);
    auto* bar = new PanelStatusBar({300, 50}, &window);
    window.setStatusBar(bar);
    window.show();
    bar->setPanelWidth(0, 480 - 138);
    bar->setSimplePanel(true);
    QApplication::processEvents();
    bar->setSimplePanel(false);
    bar->setPanelText(0, QStringLiteral("left"));
    bar->setPanelText(1, QStringLiteral("right"));
    QApplication::processEvents();
    const QLabel* left = nullptr;
    const QLabel* right = nullptr;
    for (const QLabel* label : bar->findChildren<QLabel*>()) {
        if (label->text() == QStringLiteral("left")) left = label;
        if (label->text() == QStringLiteral("right")) right = label;
    }
    ASSERT_TRUE(left && right);
    EXPECT_EQ(left->width(), 342);
    EXPECT_GT(right->x(), left->geometry().right());
    EXPECT_GE(right->width(), 50);
}

TEST(AppPictures, LogoAndButtonPictureAreDrawn) {
    for (const QSize size : {QSize(143, 196), QSize(100, 148), QSize(96, 30)}) {
        const QImage image =
            (size.height() == 30 ? drawWebButtonPicture(size) : drawCompanyLogo(size))
                .toImage()
                .convertToFormat(QImage::Format_ARGB32);
        ASSERT_EQ(image.size(), size);
        int opaque = 0;
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x)
                opaque += qAlpha(image.pixel(x, y)) > 200;
        // Something substantial is drawn, and it does not flood the picture.
        EXPECT_GT(opaque, size.width() * size.height() / 10) << size.width();
        EXPECT_LT(opaque, size.width() * size.height()) << size.width();
    }
    EXPECT_FALSE(drawProgramIcon().isNull());
}

}  // namespace
