// The view tests' read-out of a TCrystalEBSPpanel's caches and pick state, which the
// widget's public face does not show.
#pragma once

#include <QString>

#include "CrystalEBSPpanel.h"

struct TCrystalEBSPpanelProbe {
    TCrystalEBSPpanel& p;

    const TCrySet* CrystalSet() const { return p.m_crySet; }
    TVec3D EulerAngles() const { return p.m_euler; }  // radians
    bool DesignerMode() const { return p.m_designerMode; }
    bool GeometryStale() const { return p.m_geometryStale; }
    bool ProjectionStale() const { return p.m_projectionStale; }
    bool MatrixStale() const { return p.m_matrixStale; }
    bool SizeStale() const { return p.m_sizeStale; }
    bool ImageStale() const { return p.m_imageStale; }
    bool NormalsStale() const { return p.m_normalsStale; }
    bool BandsStale() const { return p.m_bandsStale; }
    bool BraggStale() const { return p.m_braggStale; }
    bool GreyStale() const { return p.m_greyStale; }
    bool HexCell() const { return p.m_hexCell; }
    double CentreX() const { return p.m_projection.cx; }
    double CentreY() const { return p.m_projection.cy; }
    double Radius() const { return p.m_projection.R; }
    bool Dragging() const { return p.m_dragging; }
    bool DragLocked() const { return p.m_dragLock; }
    const TMat3D& ViewMatrix() const { return p.m_viewMatrix; }
    const TMat3D& InverseViewMatrix() const { return p.m_inverseViewMatrix; }
    const ebsp::UnitCell& Cell() const { return p.m_cell; }
    const ebsp::Reflector& ReflectorRecord(int index0) const { return p.m_reflectors[index0]; }
    int RepaintCount() const { return p.m_repaintCount; }

    bool HighlightPlane() const { return p.m_switches.highlightPlane; }
    bool HighlightZone() const { return p.m_switches.highlightZone; }
    bool LabelPlane() const { return p.m_switches.labelPlane; }
    bool LabelZone() const { return p.m_switches.labelZone; }
    QString ZoneText() const { return QString::fromLatin1(p.m_pick.zoneText.c_str()); }
    QString PlaneText() const { return QString::fromStdString(p.m_pick.planeText); }
    int PickedPlane() const { return p.m_pick.pickedPlane; }
    TVec3D PointerDirection() const { return p.m_pick.pointerDirection; }
    TVec3D ZoneDirection() const { return p.m_pick.zoneDirection; }
    double ZoneDeviationDeg() const { return p.m_pick.zoneDeviationDeg; }
    TVec3D PlaneLabelAnchor() const { return p.m_pick.planeLabelAnchor; }
    QString LastReportedZoneText() const {
        return QString::fromLatin1(p.m_lastReportedZoneText.c_str());
    }

    // Cache steps, run as painting runs them.
    void UpdateViewSize() { p.UpdateViewSize(); }
    void UpdateViewMatrix() { p.UpdateViewMatrix(); }
    void BuildCell() { p.BuildCell(); }
    void ProjectCell() { p.ProjectCell(); }
    void UpdateNormals() { p.UpdateNormals(); }
    void UpdateBandWidths() { p.UpdateBandWidths(); }
    void UpdateBandGreys() { p.UpdateBandGreys(); }
    void BuildBands() { p.BuildBands(); }
    void SetDesignerMode(bool value) { p.m_designerMode = value; }
    TVec3D ScreenToSphere(double X, double Y, bool& inside) const {
        return p.m_projection.sphereDirection(X, Y, inside);
    }
    ebsp::Rgb ShadeFace(const TVec3D& viewNormal) const {
        const QColor c = p.m_faceColour;
        return ebsp::shadeFace(viewNormal, ebsp::Rgb{c.red(), c.green(), c.blue()});
    }
};

namespace viewtest {
inline TCrystalEBSPpanelProbe probe(const TCrystalEBSPpanel& panel) {
    return TCrystalEBSPpanelProbe{const_cast<TCrystalEBSPpanel&>(panel)};
}
inline TCrystalEBSPpanelProbe probe(const TCrystalEBSPpanel* panel) {
    return probe(*panel);
}
template <class Owner>
TCrystalEBSPpanelProbe probe(const Owner& owningPointer) {  // unique_ptr and the like
    return probe(*owningPointer);
}
}  // namespace viewtest
