// Sizes, timings, hints and band-style tags of the main window, shared by the file that
// builds its controls and the file of its handlers.
#pragma once

#include <QtGlobal>

#include "CrystalEBSPpanel.h"

namespace form1 {

inline constexpr int kFormWidth = 480;
inline constexpr int kFormHeight = 723;
inline constexpr int kFormMinimum = 480;
inline constexpr int kSideColumnWidth = 143;
inline constexpr int kTopBandHeight = 257;
inline constexpr int kSpinIntervalMs = 60;
inline constexpr quint32 kPhaseChangeMs = 60000;
inline constexpr int kBandStyleTags[3] = {345, 346, 347};
inline constexpr TKikuchiBandStyle kBandStyles[3] = {kbSolid, kbEdge, kbCentre};

inline constexpr char kMapHint[] = "Spherical Kikuchi Map. Click to rotate. Right mouse for menu";

}  // namespace form1
