// The settings the main window gives its two views when it creates them.
#pragma once

#include <QColor>

#include <cstdint>

#include "CrystalEBSPpanel.h"
#include "phase_catalogue.h"
#include "view_painters.h"

// The unit-cell view (CrystalEBSPpanel1), disabled until a phase is chosen.
void setUpCellView(TCrystalEBSPpanel& view, const QColor& background);
// The spherical Kikuchi map view (CrystalEBSPpanel2), disabled until a phase is chosen.
void setUpMapView(TCrystalEBSPpanel& view);
// The map's reflector entry index0 of a phase (OnGetReflector's answer): indices, spacing
// in the crystal set, intensity in percent; zeros past the list.
void supplyPhaseReflector(const TPhaseRecord& phase, const TCrySet& crySet, int index0, int8_t& h,
                          int8_t& k, int8_t& l, double& d_spacing, double& intensity);
// The band look of the detector view that follows the map: the map's band style, and its
// face or line colour for the black styles.
ebsp::BandLook detectorBandLook(const TCrystalEBSPpanel& map);
