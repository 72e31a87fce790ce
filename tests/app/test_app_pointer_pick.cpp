// The status bar and the map's highlights while the pointer moves over the map with the
// hidden "Mouse highlights" item checked.
#include <gtest/gtest.h>

#include <QAction>
#include <QListWidget>
#include <QTest>

#include "app_test_fixture.h"
#include "panel_probe.h"
#include "status_bar.h"

namespace {

class AppPointerPick : public AppWindowFixture {
  protected:
    void SetUp() override {
        AppWindowFixture::SetUp();
        const int row = rowOf(QStringLiteral("Iron bcc"));
        ASSERT_GE(row, 0);
        form->ListBox1->setCurrentRow(row);
        map = form->CrystalEBSPpanel2;
        form->MenuHighlightplaneandzone1->trigger();  // as a click on the item would
        ASSERT_TRUE(form->MenuHighlightplaneandzone1->isChecked());
    }
    void moveTo(QPoint p) { QTest::mouseMove(map, p); }
    QString status() const {
        return form->StatusBar1->simplePanel() ? QString() : form->StatusBar1->panelText(1);
    }
    // First pixel along the band of reflector 1, (1 -1 0), whose pick has the wanted form.
    bool findOnBand(bool wantZone, QPoint& found) {
        const int cx = int(viewtest::probe(map).CentreX()),
                  cy = int(viewtest::probe(map).CentreY());
        for (int t = 1; t < int(viewtest::probe(map).Radius()); ++t) {
            const QPoint p(cx + t, cy - t);  // the circle x = y of the view frame
            moveTo(p);
            if (viewtest::probe(map).PickedPlane() == 1 &&
                viewtest::probe(map).ZoneText().isEmpty() != wantZone) {
                found = p;
                return true;
            }
        }
        return false;
    }
    int redPixels() const {
        int count = 0;
        const QImage& image = map->Image();
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x)
                count += (image.pixel(x, y) & 0xFFFFFFu) == 0xFF0000u;
        return count;
    }

    TCrystalEBSPpanel* map = nullptr;
};

}  // namespace

TEST_F(AppPointerPick, ZoneAndPlaneTextsAndTheMapHighlights) {
    // The centre at orientation (0, 0, 0) looks along [001], on the strongest band (1 -1 0).
    moveTo(QPoint(int(viewtest::probe(map).CentreX()), int(viewtest::probe(map).CentreY())));
    EXPECT_FALSE(form->StatusBar1->simplePanel());
    EXPECT_EQ(form->StatusBar1->panelText(0), kMapHint);
    EXPECT_EQ(status(), QStringLiteral(" [001] zone, (1-10) plane"));
    EXPECT_TRUE(viewtest::probe(map).HighlightPlane() && viewtest::probe(map).HighlightZone() &&
                viewtest::probe(map).LabelPlane() && viewtest::probe(map).LabelZone());
    EXPECT_GT(redPixels(), 0);  // the picked band and its label

    QPoint p;
    ASSERT_TRUE(findOnBand(false, p));
    EXPECT_EQ(status(), QStringLiteral(" (1-10) crystal plane"));
    ASSERT_TRUE(findOnBand(true, p));
    EXPECT_EQ(status(), QStringLiteral(" ") + viewtest::probe(map).ZoneText() +
                            QStringLiteral(" zone, (1-10) plane"));

    moveTo(QPoint(2, 2));  // off the disc: the hint in simple mode
    EXPECT_TRUE(form->StatusBar1->simplePanel());
    EXPECT_EQ(form->StatusBar1->simpleText(), kMapHint);
    EXPECT_TRUE(form->StatusBar1->panelText(1).isEmpty());

    // Unchecked again: the zone alone, as a crystal direction, and no highlight drawn.
    form->MenuHighlightplaneandzone1->trigger();
    moveTo(QPoint(int(viewtest::probe(map).CentreX()), int(viewtest::probe(map).CentreY())));
    EXPECT_EQ(status(), QStringLiteral(" [001] crystal direction"));
    EXPECT_FALSE(viewtest::probe(map).HighlightPlane() || viewtest::probe(map).LabelZone());
    EXPECT_EQ(redPixels(), 0);
}
