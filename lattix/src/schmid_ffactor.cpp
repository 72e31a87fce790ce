// f factors of a crystal direction and Schmid factors of a slip-system family, with the slip trace.
#include "schmid_ffactor.h"

#include <algorithm>
#include <cmath>

#include "crystal_set.h"
#include "index_text.h"
#include "orientation.h"
#include "plane_direction.h"
#include "symmetry.h"
#include "vecmath.h"

namespace lattix {

void fFactorInit(TFFactorSet& ff) {
    TVec3D d;
    str2Vec(ff.CrySet, true, indexTextView(ff.FDirText), d);
    bool hasAntiparallel = false;
    ff.FDirCount = symSetDir(ff.CrySet, true, d, hasAntiparallel, ff.FDirs);
    ff.FDirHasAntiparallel = hasAntiparallel ? 1 : 0;
    ff.FrameT = transpose(euler2Matrix(ff.FrameEuler));
}

TVec3D fFactor(const TFFactorSet& ff, const TVec3D& orientation) {
    const TMat3D gt = transpose(euler2Matrix(orientation));
    const int count = std::clamp(ff.FDirCount, 0, kSymSetCapacity);
    TVec3D sum{0.0, 0.0, 0.0};
    for (int k = 0; k < count; ++k) {
        TVec3D v = matMul3x1(gt, ff.FDirs[k]);
        if (ff.InSpecimenFrame == 0) v = matMul3x1(ff.FrameT, v);
        sum.x += v.x * v.x;
        sum.y += v.y * v.y;
        sum.z += v.z * v.z;
    }
    return sum;
}

void schmidFactorInit(TSchmidSet& ss) {
    // A pair that has no direction in the plane still yields systems (from
    // the identity's first two columns); only valid pairs are meaningful.
    TMat3D h = identity();
    hkluvw2Matrix(ss.CrySet, indexTextView(ss.SlipPlaneText), indexTextView(ss.SlipDirText), h);
    ss.SlipSystemCount = symSetMat(ss.CrySet, kSpecimenNone, h, ss.SlipSystems);
    ss.LoadDir = ang2Dir(ss.LoadAngle1, ss.LoadAngle2);
    ss.FrameT = transpose(euler2Matrix(ss.FrameEuler));
}

double schmidFactor(const TSchmidSet& ss, const TVec3D& orientation, TSchmidTrace& trace) {
    const TMat3D g = euler2Matrix(orientation);
    const TVec3D load = matMul3x1(g, ss.LoadDir);
    const int count = std::clamp(ss.SlipSystemCount, 0, kSymSetCapacity);
    if (count == 0) return 0.0;
    double best = -1.0;
    int winner = 0;
    for (int i = 0; i < count; ++i) {
        const double a = std::fabs(dot(load, ss.SlipSystems[i].col[0]));
        const double b = std::fabs(dot(load, ss.SlipSystems[i].col[2]));
        const double s = a * b;
        if (s > best) {  // strict: the lowest-numbered system wins ties
            best = s;
            winner = i;
        }
    }
    if (trace.WantTrace != 0) {
        // The plane normal in specimen coordinates; Z x w lies in both the
        // plane and the specimen surface.
        const TVec3D w = matMul3x1(transpose(g), ss.SlipSystems[winner].col[2]);
        trace.Trace = TVec3D{-w.y, w.x, 0.0};
        trace.TraceValid = 1;
    }
    return best;
}

}  // namespace lattix
