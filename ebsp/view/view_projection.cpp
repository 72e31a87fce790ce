// View geometry shared by the cell, the map and the pointer.
#include "view_projection.h"

#include <cmath>

namespace ebsp {

ViewSize viewSizeFor(int width, int height) {
    ViewSize view;
    view.cx = width / 2;  // integer halves, truncated toward zero
    view.cy = height / 2;
    view.R = view.cx <= view.cy ? view.cx : view.cy;
    return view;
}

int truncatePixel(double value) {
    // Far beyond any image but well inside int, so polygons stay straight lines.
    constexpr double kLimit = 1.0e8;
    if (!(value > -kLimit)) return value != value ? 0 : -static_cast<int>(kLimit);
    if (value > kLimit) return static_cast<int>(kLimit);
    return static_cast<int>(value);
}

TVec3D screenToSphere(const ViewSize& view, double X, double Y, bool& inside) {
    const double dx = X - view.cx;
    const double dy = Y - view.cy;
    double q = (dx * dx + dy * dy) / (0.9216 * view.R * view.R);  // 0.9216 = 0.96^2
    inside = q <= 1.0;
    double e;
    if (inside) {
        e = std::sqrt(1.0 - q) / view.R / 0.96;
    } else {
        q = 1.0;
        e = 1.0 / view.R / 0.96;
    }
    TVec3D direction{dx * e, -dy * e, 1.0 - q};
    if (UnityVector(&direction)) return direction;
    // Exactly on the drawn rim (q == 1) the disc formula collapses to the zero vector;
    // the rim formula gives the direction that belongs there.
    if (inside && q > 0.0) {
        e = 1.0 / view.R / 0.96;
        direction = TVec3D{dx * e, -dy * e, 0.0};
        if (UnityVector(&direction)) return direction;
    }
    return TVec3D{0.0, 0.0, 0.0};
}

TVec3D rotateOrientation(const TVec3D& euler, const TVec3D& axis, double angle) {
    TMat3D m;
    Euler2Matrix(&euler, &m);
    const TVec3D zero{0.0, 0.0, 0.0};
    TMat3D identity;
    Euler2Matrix(&zero, &identity);
    TVec3D unitAxis = axis;
    UnityVector(&unitAxis);
    TMat3D q;
    for (int j = 0; j < 3; ++j)
        ConeVector(&unitAxis, &identity.col[j], &q.col[j], angle);
    TMat3D n;
    MatMul3x3(&m, &q, &n);
    TVec3D result{};
    Matrix2Euler(&n, &result);
    return result;
}

bool dragRotate(const ViewSize& view, int X, int Y, int X0, int Y0, const TVec3D& startEuler,
                TVec3D& result) {
    bool inside = false;
    const TVec3D c = screenToSphere(view, X, Y, inside);
    const TVec3D s = screenToSphere(view, X0, Y0, inside);
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
