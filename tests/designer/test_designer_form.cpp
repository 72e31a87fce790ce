// A form saved by Qt Designer with three panels (two placed by hand, one dropped from the
// widget box), compiled by uic: at run time the panels start empty and take the recorded
// property values.
#include <QWidget>

#include <gtest/gtest.h>

#include "CrystalEBSPpanel.h"
#include "panel_probe.h"
#include "ui_designer_form.h"

TEST(DesignerForm, UicBuiltFormMakesRunTimePanelsWithTheRecordedValues) {
    QWidget form;
    Ui::DesignerForm ui;
    ui.setupUi(&form);
    for (TCrystalEBSPpanel* panel :
         {ui.CrystalEBSPpanel1, ui.CrystalEBSPpanel2, ui.CrystalEBSPpanel3}) {
        EXPECT_FALSE(viewtest::probe(panel).DesignerMode());
        EXPECT_EQ(viewtest::probe(panel).CrystalSet(), nullptr);
        EXPECT_EQ(panel->ReflectorCount(), 0);
    }
    EXPECT_TRUE(ui.CrystalEBSPpanel2->ShowEBSP());
    EXPECT_FALSE(ui.CrystalEBSPpanel2->ShowCrystal());
    // The dropped panel recorded the values a fresh one has, so nothing changes.
    TCrystalEBSPpanel* dropped = ui.CrystalEBSPpanel3;
    EXPECT_EQ(dropped->geometry(), QRect(20, 280, 240, 240));
    EXPECT_EQ(dropped->KikuchiBandGreyMin(), 200);
    EXPECT_EQ(dropped->KikuchiBandGreyMax(), 30);
    EXPECT_FALSE(dropped->MouseRotWireFrame());
    EXPECT_EQ(dropped->KikuchiBandStyle(), kbSolid);
    EXPECT_EQ(dropped->FaceColour(), QColor(128, 128, 128));
    EXPECT_EQ(dropped->MouseRotMaxIndices(), QStringLiteral("666"));
}
