// The two views' settings as the main window creates them.
#include "view_setup.h"

#include "form_layout.h"

void setUpCellView(TCrystalEBSPpanel& view, const QColor& background) {
    view.setObjectName(QStringLiteral("CrystalEBSPpanel1"));
    view.setEnabled(false);
    view.setStatusTip(QStringLiteral(
        "Crystal unit cell - click and drag to rotate. Axes: a in red, b in green, c in blue"));
    view.SetBackgroundColour(background);
    view.SetMouseRotWireFrame(false);
    view.SetReflectorCount(65);
    view.SetkV(20);
    view.SetKikuchiBandStyle(kbCentre);
    view.SetKikuchiBandGreyMin(200);
    view.SetKikuchiBandGreyMax(30);
    view.SetLineColour(QColor(0, 0, 0));
    view.SetFaceColour(QColor(128, 128, 128));
    view.SetMouseRotMaxIndices(QStringLiteral("666"));
    view.SetShowCopyright(false);
}

void setUpMapView(TCrystalEBSPpanel& view) {
    view.setObjectName(QStringLiteral("CrystalEBSPpanel2"));
    view.setEnabled(false);
    view.setStatusTip(QString::fromLatin1(form1::kMapHint));
    view.SetShowCrystal(false);
    view.SetShowCrystalAxes(false);
    view.SetShowEBSP(true);
    view.SetDoubleClickCycling(false);
    view.SetMouseRotWireFrame(false);
    view.SetReflectorCount(65);
    view.SetkV(20);
    view.SetKikuchiBandStyle(kbSolid);
    view.SetKikuchiBandGreyMin(200);
    view.SetKikuchiBandGreyMax(30);
    view.SetLineColour(QColor(0, 0, 0));
    view.SetFaceColour(QColor(128, 128, 128));
    view.SetMouseRotMaxIndices(QStringLiteral("666"));
    view.SetShowCopyright(false);
    // The pointer read-out needs moves without a pressed button.
    view.setMouseTracking(true);
}
