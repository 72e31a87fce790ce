// What lies under the pointer on the Kikuchi map: the zone axis within 3 degrees, the band
// chosen among the strong reflectors, their index texts, and where the highlights and
// labels the owner asks for go.  No Qt here; any projection that can place a view-frame
// direction serves the overlay.
#pragma once

#include <string>
#include <string_view>

#include "kikuchi_bands.h"
#include "lattixLib.h"
#include "view_projection.h"

namespace ebsp {

// The pick state a pointer move leaves.
struct PointerPick {
    std::string zoneText;       // "[uvw]" within tolerance, otherwise empty
    std::string planeText;      // "(hkl)" or "(hkil)", empty without a picked band
    int pickedPlane = -1;       // one-based reflector number, -1 for none
    TVec3D pointerDirection{};  // crystal frame
    TVec3D zoneDirection{};     // crystal frame
    double zoneDeviationDeg = 0.0;
    TVec3D planeLabelAnchor{};  // crystal frame
};

inline constexpr double kZoneToleranceDeg = 3.0;
inline constexpr double kMinPickIntensity = 15.0;
inline constexpr int kMaxIndicesLength = 20;

// An index of a plane text: -9..9 as they are, others after a period (.10, .-12).
std::string indexText(int n);

// Zone axis nearest v (unit, crystal frame) within maxIndices (cut to 20 characters), kept
// when it lies within 3 degrees.  Without a usable crystal set (null or Laue group 0) the
// zone is cleared and false returned.  True when the zone text changed, and always when
// the search gave no usable zone.
bool pickZone(PointerPick& pick, const TCrySet* crySet, bool hexCell, const TVec3D& v,
              std::string_view maxIndices);

// The band containing v with the smallest |cos| / (intensity + 1) among reflectors of
// intensity 15 or more (normals and half-widths must be current).  True when the picked
// plane or its text changed.
bool pickPlane(PointerPick& pick, const Reflector* reflectors, int count, bool hexCell,
               const TVec3D& v);

// Off the disc: nothing to read, both texts and the plane cleared.
void clearPick(PointerPick& pick);

// The owner's four switches.
struct PickSwitches {
    bool highlightPlane = false;
    bool highlightZone = false;
    bool labelPlane = false;
    bool labelZone = false;
};

// Which highlights and labels apply, and where (pixels of the given projection).
struct PickOverlay {
    const Reflector* planeLines = nullptr;  // band whose lines turn red (visible bands only)
    bool planeLabel = false;
    IntPoint planeLabelAt{};
    bool zoneMark = false;  // the small filled circle
    bool zoneLabel = false;
    IntPoint zoneAt{};
};

// reportsPicks: the owner listens to pointer picks (zone marks and labels only then).
PickOverlay pickOverlay(const PointerPick& pick, const Reflector* reflectors, int count,
                        const PickSwitches& switches, bool reportsPicks, const TMat3D& inverseView,
                        const OrthographicProjection& projection);

}  // namespace ebsp
