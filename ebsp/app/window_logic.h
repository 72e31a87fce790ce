// The main window's decisions that need no window: cell colour, reflector
// cut, description lines and pointer status texts.
#pragma once

#include <QColor>
#include <QString>
#include <QStringList>

#include <optional>

#include "phase_catalogue.h"

// Unit-cell colour by Laue group: none (colour left as it is) outside 1..11.
// Trigonal and hexagonal cells are aqua on hexagonal axes (|gamma - 120| below
// 0.01 degree, so exactly 0.01 away is teal) and teal otherwise.
std::optional<QColor> laueFaceColour(int laueGroup, float gammaDeg);

// The number of leading reflector entries to show for a request of n: the
// last cut before a family that starts beyond entry n (entries numbered from
// 1), never through an all-zero entry; 0 when there is no cut at all.
int reflectorCut(const TPhaseRecord& phase, int n);

// The four description lines of a phase and its crystal set.
QStringList phaseDescriptionLines(const TPhaseRecord& phase, const TCrySet& crySet,
                                  char decimalSeparator);

// Status text for what lies under the pointer on the map ("" when nothing
// worth a line): the zone as crystal direction, zone and plane, or plane
// alone; planes only count with highlights on.
QString pickStatusText(const QString& zoneUvw, const QString& planeHkl, bool highlights);
