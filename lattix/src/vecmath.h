// Vector and matrix arithmetic on the C records, shared by every concept.
#pragma once

#include "lattixtype.h"

namespace lattix {

// Element (row i, column j) with i, j counted from 0.
inline double& at(TMat3D& m, int i, int j) {
    return (&m.col[j].x)[i];
}
inline double at(const TMat3D& m, int i, int j) {
    return (&m.col[j].x)[i];
}
inline double& component(TVec3D& v, int i) {
    return (&v.x)[i];
}
inline double component(const TVec3D& v, int i) {
    return (&v.x)[i];
}

TVec3D matMul3x1(const TMat3D& m, const TVec3D& v);
TMat3D matMul3x3(const TMat3D& a, const TMat3D& b);
double dot(const TVec3D& a, const TVec3D& b);
double det3x3(const TMat3D& m);
// Length <= 1e-8: v becomes (1,0,0) and false is returned.
bool unityVector(TVec3D& v);
TVec3D cross(const TVec3D& a, const TVec3D& b);
TVec3D add(const TVec3D& a, const TVec3D& b);
TVec3D subtract(const TVec3D& a, const TVec3D& b);
TVec3D scale(double s, const TVec3D& v);
TMat3D transpose(const TMat3D& m);
TMat3D identity();
// |det| < 1e-5: false and dst untouched.
bool inverseMatrix(const TMat3D& src, TMat3D& dst);
// v turned right-handedly by w about the unit axis.
TVec3D coneVector(const TVec3D& axis, const TVec3D& v, double w);
// Passive elementary rotation about coordinate axis k (0..2); false for other k.
bool rotateUnityMatrix(int k, double w, TMat3D& out);
TVec3D mirror(const TVec3D& n, const TVec3D& v);
bool orthogonalMatrix(TMat3D& m);
double modulus(double a, double b);
// Arc cosine as atan2(sqrt(1 - x*x), x); defined for -1 <= x <= 1.
double arcCos(double x);
void sinCos(double angle, double& sine, double& cosine);

}  // namespace lattix
