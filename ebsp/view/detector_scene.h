// What the detector view shows besides the bands' geometry, without Qt: the detector fitted
// into a picture of any size, the band inputs from the reflector table, and the strongest
// zone axes with their index texts.
#pragma once

#include <string>
#include <vector>

#include "detector_geometry.h"
#include "kikuchi_bands.h"
#include "lattixDetector.h"

namespace ebsp {

// The detector scaled to fit a width x height picture with its aspect ratio, centred.
// display has the picture's pixel size and the same projection: a pattern pixel position
// p shows at offset + scale p.  valid is false for a picture without area or a detector the
// library refuses.
struct DetectorFit {
    TDetector display{};
    int offsetX = 0;
    int offsetY = 0;
    double scale = 0.0;
    bool valid = false;
};
DetectorFit fitDetector(const TDetector& detector, int width, int height);

// The detector the view starts with: 640 x 480, binning 1, 50 um pixels, sample tilt 70,
// the other angles 0, Bruker PC (0.5, 0.5, 0.6).
TDetector defaultDetector();

// One band per reflector (normal, half-width and grey must be current).
std::vector<DetectorBandInput> detectorBandInputs(const Reflector* reflectors, int count);

// A zone axis [uvw] (direct-lattice indices, reduced, first non-zero index positive) and
// the summed intensity of the loaded reflectors whose planes contain it.
struct ZoneAxisEntry {
    int u = 0, v = 0, w = 0;
    double weight = 0.0;
    TVec3D direction{};  // Cartesian crystal frame, unit
};

// The zones where the strongest bands meet: intersections of the `strongest` most intense
// reflectors, ranked by weight (ties: smaller indices first), at most maxZones of them.
std::vector<ZoneAxisEntry> strongZones(const Reflector* reflectors, int count,
                                       const TCrySet& crySet, int strongest, int maxZones);

// "[uvw]", or "[uvtw]" in four-index form (hexagonal axes), indices written as the map's
// read-out writes them; negate gives the opposite direction's text.
std::string zoneAxisText(int u, int v, int w, bool hexCell, bool negate = false);

}  // namespace ebsp
