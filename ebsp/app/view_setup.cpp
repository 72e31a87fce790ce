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

void supplyPhaseReflector(const TPhaseRecord& phase, const TCrySet& crySet, int index0, int8_t& h,
                          int8_t& k, int8_t& l, double& d_spacing, double& intensity) {
    if (index0 < 0 || index0 >= static_cast<int>(phase.Reflectors.size())) {
        h = k = l = 0;
        d_spacing = 0.0;
        intensity = 0.0;
        return;
    }
    const TPhaseReflector& entry = phase.Reflectors[static_cast<std::size_t>(index0)];
    h = entry.h;
    k = entry.k;
    l = entry.l;
    d_spacing = LatticeSpacing(&crySet, h, k, l);
    intensity = entry.Intensity / 100.0;
}

ebsp::BandLook detectorBandLook(const TCrystalEBSPpanel& map) {
    ebsp::BandLook look;
    const TKikuchiBandStyle style = map.KikuchiBandStyle();
    look.shape = (style == kbEdge || style == kbEdgeBlack)       ? ebsp::BandShape::Edges
                 : (style == kbCentre || style == kbCentreBlack) ? ebsp::BandShape::Centre
                                                                 : ebsp::BandShape::Solid;
    look.uniform = style == kbSolidBlack || style == kbEdgeBlack || style == kbCentreBlack;
    look.uniformColour = style == kbSolidBlack ? map.FaceColour() : map.LineColour();
    return look;
}
