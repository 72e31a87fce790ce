// Texture components (Euler and {hkl}<uvw> forms) and fibres: set-up once, deviation per
// orientation.
#include "texture.h"

#include <algorithm>

#include "crystal_set.h"
#include "index_text.h"
#include "misorientation.h"
#include "orientation.h"
#include "plane_direction.h"
#include "symmetry.h"
#include "vecmath.h"

namespace lattix {

namespace {

// A component given in the reference frame: specimen to reference is
// E(F)^T, since E(F) takes reference coordinates to specimen coordinates.
TMat3D inSpecimenFrame(const TTexCompSet& tc, const TMat3D& component) {
    if (tc.InSpecimenFrame != 0) return component;
    return matMul3x3(component, transpose(euler2Matrix(tc.FrameEuler)));
}

}  // namespace

void texCompEulerInit(TTexCompSet& tc) {
    tc.CompMatrix = inSpecimenFrame(tc, euler2Matrix(tc.CompEuler));
}

bool texCompHKLUVWInit(TTexCompSet& tc) {
    TMat3D h = identity();
    if (!hkluvw2Matrix(tc.CrySet, indexTextView(tc.CompPlaneText), indexTextView(tc.CompDirText),
                       h)) {
        return false;
    }
    tc.CompMatrix = inSpecimenFrame(tc, h);
    return true;
}

bool texCompComplete(const TTexCompSet& tc, const TVec3D& orientation, double& deviation) {
    TVec3D axis;
    axisAngleMat(tc.CrySet, tc.CompMatrix, euler2Matrix(orientation), axis, deviation);
    return deviation < tc.Tolerance;
}

void texCompFiberInit(TTexCompSet& tc) {
    str2Vec(tc.CrySet, true, indexTextView(tc.FibreDirText), tc.FibreCrystalDir);
    const TVec3D d = ang2Dir(tc.FibreAngle1, tc.FibreAngle2);
    tc.FibreSpecimenDir = tc.InSpecimenFrame != 0 ? d : matMul3x1(euler2Matrix(tc.FrameEuler), d);
}

bool texCompFiber(const TTexCompSet& tc, const TVec3D& orientation, double& deviation) {
    TMat3D set[kSymSetCapacity];
    const int n = symSetMat(tc.CrySet, kSpecimenNone, euler2Matrix(orientation), set);
    double best = -1.0;
    for (int i = 0; i < n; ++i) {
        const double p = dot(tc.FibreCrystalDir, matMul3x1(set[i], tc.FibreSpecimenDir));
        if (p > best) best = p;
    }
    deviation = arcCos(std::min(best, 1.0));
    return deviation < tc.Tolerance;
}

}  // namespace lattix
