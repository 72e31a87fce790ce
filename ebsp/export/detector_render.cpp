// The detector of the render command's options and the panel that draws it.
#include "detector_render.h"

#include <sstream>

#include "CrystalEBSPpanel.h"
#include "DetectorPanel.h"
#include "detector_scene.h"
#include "view_setup.h"

namespace ebsp {
namespace {

using render::PcConvention;

static_assert(int(PcConvention::Bruker) == lxPcBruker && int(PcConvention::Edax) == lxPcEdax &&
              int(PcConvention::Width) == lxPcWidth && int(PcConvention::Emsoft4) == lxPcEmsoft4 &&
              int(PcConvention::Emsoft5) == lxPcEmsoft5);

const char* conventionName(PcConvention convention) {
    static const char* const kNames[] = {"bruker", "edax", "width", "emsoft4", "emsoft5"};
    return kNames[int(convention)];
}

}  // namespace

RenderDetector buildRenderDetector(const render::DetectorOptions& options) {
    RenderDetector result;
    TDetector d = defaultDetector();
    if (options.patternGiven) {
        d.Width = options.pattern.width;
        d.Height = options.pattern.height;
    }
    if (options.binningGiven) d.Binning = options.binning;
    if (options.pixelSizeGiven) d.PixelSize = options.pixelSizeUm;
    d.SampleTilt = options.sampleTiltDeg;
    d.Tilt = options.tiltDeg;
    double pc[3] = {d.PCx, d.PCy, d.PCz};
    PcConvention convention = PcConvention::Bruker;
    if (options.pcGiven) {
        for (int i = 0; i < 3; ++i)
            pc[i] = options.pc[size_t(i)];
        convention = options.convention;
    }
    // Set last: the EMsoft conventions convert with the binning and pixel size.
    const int32_t status = DetectorSetPatternCentre(&d, int32_t(convention), pc);
    if (status == 0) {
        result.detector = d;
        result.ok = true;
        return result;
    }
    std::ostringstream message;
    message << "the detector is refused: ";
    if (status == lxDetBadArgument)
        message << "the pattern centre " << pc[0] << "," << pc[1] << "," << pc[2] << " ("
                << conventionName(convention)
                << ") puts the screen behind the source (the distance must be above 0)";
    else if (status == lxDetBadField)
        message << "a size, binning, pixel size or angle is out of range";
    else
        message << "status " << status;
    result.error = message.str();
    return result;
}

void coupleDetectorView(TDetectorPanel& panel, TCrystalEBSPpanel& map, const TCrySet& crySet) {
    panel.OnGetReflector = [&map](int i, int8_t& h, int8_t& k, int8_t& l, double& d,
                                  double& intensity) {
        if (map.OnGetReflector) map.OnGetReflector(&map, i, h, k, l, d, intensity);
    };
    // The map shows no reflectors exactly when it holds no usable crystal set.
    const int count = map.ReflectorCount();
    panel.SetCrystalSet(count > 0 ? &crySet : nullptr);
    panel.SetReflectorCount(count);
    panel.SetOrientation(map.EulerAngles());
    panel.SetkV(map.kV());
    panel.SetBandGreys(map.KikuchiBandGreyMin(), map.KikuchiBandGreyMax());
    panel.SetBandLook(detectorBandLook(map));
}

}  // namespace ebsp
