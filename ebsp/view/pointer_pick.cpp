// Pointer picking on the Kikuchi map: zone search, band choice, texts and overlay places.
#include "pointer_pick.h"

#include <cmath>

#include "view_constants.h"

namespace ebsp {
namespace {

constexpr double kZoneToleranceRad = 0.05235987755982989;  // 3 degrees
// Axis2Indices writes at most four indices with signs and periods; it asks for 32 bytes.
constexpr int kZoneBufferSize = 32;
// Label anchors lie on the plane's circle no farther than arccos 0.7 from the pointer.
constexpr double kAnchorMinDot = 0.7;

}  // namespace

std::string indexText(int n) {
    // Compact index texts run the digits together; a period marks a many-digit index.
    if (n >= -9 && n <= 9) return std::to_string(n);
    return "." + std::to_string(n);
}

bool pickZone(PointerPick& pick, const TCrySet* crySet, bool hexCell, const TVec3D& v,
              std::string_view maxIndices) {
    const std::string oldText = pick.zoneText;
    pick.zoneText.clear();
    pick.zoneDirection = TVec3D{0.0, 0.0, 0.0};
    if (crySet == nullptr || crySet->LaueGroup <= 0) return false;

    const std::string limits(maxIndices.substr(0, kMaxIndicesLength));
    char found[kZoneBufferSize] = {};
    double angle = 0.0;
    Axis2Indices(crySet, &v, hexCell ? 1 : 0, limits.c_str(), found, &angle);
    found[kZoneBufferSize - 1] = '\0';
    // The library never throws: a search without a usable zone leaves zero indices (no
    // candidate within the limits) or a text that does not read back as a direction
    // (many-digit indices).  The owner is told, with an empty zone text.
    TIndices indices{};
    if (!ValidateIndices(1, found, &indices)) return true;
    Str2Vec(crySet, 1, found, &pick.zoneDirection);

    pick.zoneDeviationDeg = angle * 180.0 / kPi;
    if (pick.zoneDeviationDeg <= kZoneToleranceDeg &&
        Dot(&pick.zoneDirection, &v) >= std::cos(kZoneToleranceRad))
        pick.zoneText = "[" + std::string(found) + "]";
    return pick.zoneText != oldText;
}

bool pickPlane(PointerPick& pick, const Reflector* reflectors, int count, bool hexCell,
               const TVec3D& v) {
    int best = -1;
    double bestScore = 999.0;
    for (int i = 0; i < count; ++i) {
        const Reflector& r = reflectors[i];
        const double intensity = r.intensity;
        if (!(intensity >= kMinPickIntensity)) continue;
        // |cos| to the normal is the sine of the angle from the plane's circle.
        const double c = std::fabs(Dot(&r.normal, &v));
        const double score = c * (1.0 / (intensity + 1.0));
        if (score < bestScore && c <= r.halfWidth) {
            bestScore = score;
            best = i + 1;
        }
    }

    const std::string oldText = pick.planeText;
    if (best <= 0) {
        const bool changed = pick.pickedPlane != -1;
        pick.planeText.clear();
        pick.pickedPlane = -1;
        return changed;
    }
    bool changed = best != pick.pickedPlane;
    pick.pickedPlane = best;

    const Reflector& r = reflectors[best - 1];
    std::string text = "(" + indexText(r.h) + indexText(r.k);
    if (hexCell) text += indexText(-r.h - r.k);
    text += indexText(r.l) + ")";
    pick.planeText = text;
    // The same reflector number with other indices (reloaded reflectors, a changed
    // hexagonal form) would otherwise leave the owner showing the old text.
    changed = changed || pick.planeText != oldText;

    // The label goes to the point of the plane's circle, sampled every 10 degrees, that
    // lies farthest from the pointer while still near it; none qualifying keeps the old one.
    TVec3D q;
    Cross(&r.normal, &v, &q, 1);
    double nearest = 1.0;
    for (int j = 0; j < 36; ++j) {
        TVec3D sample;
        ConeVector(&r.normal, &q, &sample, 10.0 * j * kPi / 180.0);
        const double d = Dot(&sample, &v);
        if (d < nearest && d > kAnchorMinDot) {
            nearest = d;
            pick.planeLabelAnchor = sample;
        }
    }
    return changed;
}

void clearPick(PointerPick& pick) {
    pick.zoneText.clear();
    pick.planeText.clear();
    pick.pickedPlane = -1;
}

PickOverlay pickOverlay(const PointerPick& pick, const Reflector* reflectors, int count,
                        const PickSwitches& switches, bool reportsPicks, const TMat3D& inverseView,
                        const OrthographicProjection& projection) {
    PickOverlay overlay;
    if (pick.pickedPlane >= 1 && pick.pickedPlane <= count && switches.highlightPlane) {
        const Reflector& r = reflectors[pick.pickedPlane - 1];
        if (r.visible != 0) overlay.planeLines = &r;
        if (switches.labelPlane) {
            TVec3D a;
            MatMul3x1(&inverseView, &pick.planeLabelAnchor, &a);
            // Behind the sphere the opposite point, on the same circle, is the visible one.
            const double s = a.z >= 0.0 ? 1.0 : -1.0;
            overlay.planeLabel = true;
            overlay.planeLabelAt = projection.spherePixel(TVec3D{s * a.x, s * a.y, s * a.z});
        }
    }
    if (!pick.zoneText.empty() && reportsPicks) {
        TVec3D z;
        MatMul3x1(&inverseView, &pick.zoneDirection, &z);
        overlay.zoneAt = projection.spherePixel(z);
        overlay.zoneMark = switches.highlightZone && !switches.labelZone;
        overlay.zoneLabel = switches.labelZone;
    }
    return overlay;
}

}  // namespace ebsp
