// The render command's detector view: the detector its options describe, and an off-screen
// TDetectorPanel fed from the map as the main window feeds its detector window.
#pragma once

#include <string>

#include "lattixDetector.h"
#include "render_args.h"

class TCrystalEBSPpanel;
class TDetectorPanel;

namespace ebsp {

struct RenderDetector {
    TDetector detector{};  // complete when ok
    bool ok = false;
    std::string error;  // for !ok: why the library refused it
};

// The view's default detector with the options' fields, its pattern centre set through
// the library in the options' convention (the default detector's Bruker PC when none is
// given).  The library's refusal comes back as a message naming the options.
RenderDetector buildRenderDetector(const render::DetectorOptions& options);

// Hands map's crystal set (when the map shows reflectors), reflectors, voltage, band greys
// and band look to panel, as the main window hands its map's to the detector window.  panel
// keeps references to map and crySet.
void coupleDetectorView(TDetectorPanel& panel, TCrystalEBSPpanel& map, const TCrySet& crySet);

}  // namespace ebsp
