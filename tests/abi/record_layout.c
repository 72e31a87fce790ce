/* Prints the C compiler's size of every record and offset of every field, for
 * the ctypes mirror check. */
#include <stdio.h>

#include "lattixtype.h"

#define SIZE(T) printf(#T " %zu\n", sizeof(T))
#define OFF(T, f) printf(#T "." #f " %zu\n", offsetof(T, f))

int main(void) {
    SIZE(TVec3D);
    OFF(TVec3D, x);
    OFF(TVec3D, y);
    OFF(TVec3D, z);
    SIZE(TMat3D);
    SIZE(TIndices);
    SIZE(TApuBlock);
    OFF(TApuBlock, Code);
    OFF(TApuBlock, Values);
    OFF(TApuBlock, DirCount);
    OFF(TApuBlock, NormalCount);
    OFF(TApuBlock, Normals);
    OFF(TApuBlock, Dirs);
    OFF(TApuBlock, NormalCodes);
    OFF(TApuBlock, NormalTexts);
    OFF(TApuBlock, DirTexts);
    SIZE(TPseudoSym);
    OFF(TPseudoSym, Kind);
    OFF(TPseudoSym, Axis);
    OFF(TPseudoSym, Value);
    SIZE(TCrySet);
    OFF(TCrySet, FileName);
    OFF(TCrySet, Name);
    OFF(TCrySet, Reference);
    OFF(TCrySet, A);
    OFF(TCrySet, B);
    OFF(TCrySet, C);
    OFF(TCrySet, Alpha);
    OFF(TCrySet, Beta);
    OFF(TCrySet, Gamma);
    OFF(TCrySet, LaueGroup);
    OFF(TCrySet, SpaceGroup);
    OFF(TCrySet, Apu1);
    OFF(TCrySet, Apu0);
    OFF(TCrySet, EulerLimits);
    OFF(TCrySet, Direct);
    OFF(TCrySet, DirectInv);
    OFF(TCrySet, Recip);
    OFF(TCrySet, RecipInv);
    OFF(TCrySet, SymOpCount);
    OFF(TCrySet, SymOps);
    OFF(TCrySet, PseudoCount);
    OFF(TCrySet, Pseudo);
    SIZE(TTwinSet);
    OFF(TTwinSet, TwinAxisText);
    OFF(TTwinSet, TwinAngle);
    OFF(TTwinSet, AxisTolerance);
    OFF(TTwinSet, AngleTolerance);
    OFF(TTwinSet, TwinAxes);
    OFF(TTwinSet, TwinAxisCount);
    OFF(TTwinSet, CosAxisTolerance);
    SIZE(TTexCompSet);
    OFF(TTexCompSet, InSpecimenFrame);
    OFF(TTexCompSet, FrameEuler);
    OFF(TTexCompSet, Tolerance);
    OFF(TTexCompSet, CompEuler);
    OFF(TTexCompSet, CompPlaneText);
    OFF(TTexCompSet, CompDirText);
    OFF(TTexCompSet, FibreAngle1);
    OFF(TTexCompSet, FibreAngle2);
    OFF(TTexCompSet, FibreDirText);
    OFF(TTexCompSet, CompMatrix);
    OFF(TTexCompSet, FibreSpecimenDir);
    OFF(TTexCompSet, FibreCrystalDir);
    SIZE(TFFactorSet);
    OFF(TFFactorSet, InSpecimenFrame);
    OFF(TFFactorSet, FrameEuler);
    OFF(TFFactorSet, FDirText);
    OFF(TFFactorSet, FDirCount);
    OFF(TFFactorSet, FDirHasAntiparallel);
    OFF(TFFactorSet, FrameT);
    OFF(TFFactorSet, FDirs);
    SIZE(TSchmidSet);
    OFF(TSchmidSet, InSpecimenFrame);
    OFF(TSchmidSet, FrameEuler);
    OFF(TSchmidSet, LoadAngle1);
    OFF(TSchmidSet, LoadAngle2);
    OFF(TSchmidSet, SlipPlaneText);
    OFF(TSchmidSet, SlipDirText);
    OFF(TSchmidSet, SlipSystemCount);
    OFF(TSchmidSet, SlipSystems);
    OFF(TSchmidSet, LoadDir);
    OFF(TSchmidSet, FrameT);
    SIZE(TSchmidTrace);
    OFF(TSchmidTrace, WantTrace);
    OFF(TSchmidTrace, TraceValid);
    OFF(TSchmidTrace, Trace);
    return 0;
}
