// The view's orthographic projection and the drag rotation.
#include "view_projection.h"

#include <cmath>

#include "orientation_turn.h"
#include "view_constants.h"

namespace ebsp {

int truncatePixel(double value) {
    // Far beyond any image but well inside int, so polygons stay straight lines.
    constexpr double kLimit = 1.0e8;
    if (!(value > -kLimit)) return value != value ? 0 : -static_cast<int>(kLimit);
    if (value > kLimit) return static_cast<int>(kLimit);
    return static_cast<int>(value);
}

OrthographicProjection OrthographicProjection::forSize(int width, int height) {
    OrthographicProjection projection;
    projection.cx = width / 2;  // integer halves, truncated toward zero
    projection.cy = height / 2;
    projection.R = projection.cx <= projection.cy ? projection.cx : projection.cy;
    return projection;
}

IntPoint OrthographicProjection::cellPixel(const TVec3D& p) const {
    return IntPoint{truncatePixel(cx + R * p.x), truncatePixel(cy - R * p.y)};
}

IntPoint OrthographicProjection::spherePixel(const TVec3D& p) const {
    const double scale = kSphereRadiusFactor * R;
    return IntPoint{truncatePixel(cx + scale * p.x), truncatePixel(cy - scale * p.y)};
}

TVec3D OrthographicProjection::sphereDirection(double X, double Y, bool& inside) const {
    if (!hasArea()) {
        inside = false;
        return TVec3D{0.0, 0.0, 1.0};
    }
    const double dx = X - cx;
    const double dy = Y - cy;
    double q = (dx * dx + dy * dy) / (kSphereRadiusFactorSquared * R * R);
    inside = q <= 1.0;
    double e;
    if (inside) {
        e = std::sqrt(1.0 - q) / R / kSphereRadiusFactor;
    } else {
        q = 1.0;
        e = 1.0 / R / kSphereRadiusFactor;
    }
    TVec3D direction{dx * e, -dy * e, 1.0 - q};
    if (UnityVector(&direction)) return direction;
    // Exactly on the drawn rim (q == 1) the disc formula collapses to the zero vector;
    // the rim formula gives the direction that belongs there.
    if (inside && q > 0.0) {
        e = 1.0 / R / kSphereRadiusFactor;
        direction = TVec3D{dx * e, -dy * e, 0.0};
        if (UnityVector(&direction)) return direction;
    }
    return TVec3D{0.0, 0.0, 0.0};
}

bool dragRotate(const OrthographicProjection& projection, int X, int Y, int X0, int Y0,
                const TVec3D& startEuler, TVec3D& result) {
    bool inside = false;
    const TVec3D c = projection.sphereDirection(X, Y, inside);
    const TVec3D s = projection.sphereDirection(X0, Y0, inside);
    TVec3D axis;
    Cross(&c, &s, &axis, 1);
    const double k = Dot(&c, &s);
    // Back on the press point: the press orientation itself, so that returning there
    // always restores it (rounding may put the dot product at exactly 1).
    if (k >= 1.0) {
        result = startEuler;
        return true;
    }
    if (k <= -1.0) return false;  // opposite points: no defined axis, no turn
    const double t = std::atan2(std::sqrt(1.0 - k * k), k);
    result = rotateOrientation(startEuler, axis, t);
    return true;
}

}  // namespace ebsp
