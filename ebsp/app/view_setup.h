// The settings the main window gives its two views when it creates them.
#pragma once

#include <QColor>

#include "CrystalEBSPpanel.h"

// The unit-cell view (CrystalEBSPpanel1), disabled until a phase is chosen.
void setUpCellView(TCrystalEBSPpanel& view, const QColor& background);
// The spherical Kikuchi map view (CrystalEBSPpanel2), disabled until a phase is chosen.
void setUpMapView(TCrystalEBSPpanel& view);
