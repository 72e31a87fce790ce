// Turning an orientation about a view-frame axis.
#include "orientation_turn.h"

namespace ebsp {
namespace {

TVec3D invertEuler(const TVec3D& e) {
    return {-e.z, -e.y, -e.x};
}

}  // namespace

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

TVec3D rotateOrientationInverse(const TVec3D& euler, const TVec3D& axis, double angle) {
    return invertEuler(rotateOrientation(invertEuler(euler), axis, angle));
}

}  // namespace ebsp
