/* lattix records: the fixed-layout C structs that cross the library boundary.
 *
 * Layout rule: fields in the order given, each at the next offset that is a
 * multiple of its alignment (1 for characters and bytes, 4 for 32-bit integers
 * and floats, 8 for doubles and for records or arrays holding doubles); a
 * record holding doubles is padded to a multiple of 8.  That is natural C
 * layout on x86-64, and the static asserts at the end of this file pin every
 * size and offset so that a change to a record cannot slip through.
 *
 * Records that extend a crystal set begin with a whole TCrySet; its size is a
 * multiple of 8, so the extension fields follow its last field directly.
 */
#pragma once

#include <stddef.h>
#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

/* Booleans across the boundary: one byte, 1 true, 0 false; any non-zero
 * argument byte counts as true. */
typedef uint8_t TLtxBool;

/* An index text passed "by value": a 16-character array read up to its
 * first NUL.  As a parameter it decays to a pointer to the first character. */
typedef char TIndexText[16];

/* A vector, unit direction, plane normal or Euler triple (phi1, Phi, phi2) in
 * radians. */
typedef struct TVec3D {
    double x, y, z;
} TVec3D;

/* A 3x3 matrix stored as its three columns.  Element (row i, column j), both
 * counted from 1, is component i of col[j-1]; as nine doubles that is storage
 * index 3(j-1)+(i-1). */
typedef struct TMat3D {
    TVec3D col[3];
} TMat3D;

/* Three Miller indices in v[0..2] (v[3] unused) or four Miller-Bravais indices
 * in v[0..3]. */
typedef struct TIndices {
    int32_t v[4];
} TIndices;

/* One record of the APU setup file: the asymmetric unit of the projection
 * sphere for a Laue group (see data/README.md for the meaning of each field). */
typedef struct TApuBlock {
    int32_t Code;
    double Values[4];    /* file order: Values[2], [1], [0], [3] */
    int32_t DirCount;    /* 0..5 */
    int32_t NormalCount; /* 0..5 */
    TVec3D Normals[5];
    TVec3D Dirs[5];
    int32_t NormalCodes[5];
    char NormalTexts[5][16];
    char DirTexts[5][16];
} TApuBlock;

/* One pseudo-symmetry entry; stored for callers, never read by the library. */
typedef struct TPseudoSym {
    uint8_t Kind;
    TVec3D Axis; /* unit Cartesian vector */
    double Value;
} TPseudoSym;

/* The crystal set: one crystalline phase's cell, Laue group, structure
 * matrices and proper rotations.  Caller-owned; filled by InitCrySet2 or
 * InitCrySet.  Cartesian crystal frame: Z along c, Y in the b-c plane. */
typedef struct TCrySet {
    char FileName[81];
    char Name[21];
    char Reference[81];
    float A, B, C;            /* cell edges, caller's length unit */
    float Alpha, Beta, Gamma; /* cell angles, degrees */
    int32_t LaueGroup;        /* 1..11 */
    int32_t SpaceGroup;       /* stored, never read */
    TApuBlock Apu1;
    TApuBlock Apu0;
    TVec3D EulerLimits; /* radians */
    TMat3D Direct;      /* columns a, b, c */
    TMat3D DirectInv;
    TMat3D Recip; /* columns a*, b*, c* (no factor 2 pi) */
    TMat3D RecipInv;
    int32_t SymOpCount;  /* valid entries in SymOps, >= 1 */
    TMat3D SymOps[96];   /* SymOps[0] is the identity */
    int32_t PseudoCount; /* 0..4 */
    TPseudoSym Pseudo[4];
} TCrySet;

/* Twin test record. */
typedef struct TTwinSet {
    TCrySet CrySet;
    char TwinAxisText[16];   /* caller */
    double TwinAngle;        /* caller, radians */
    double AxisTolerance;    /* caller, radians */
    double AngleTolerance;   /* caller, radians */
    TVec3D TwinAxes[96];     /* SGBTwinInit */
    int32_t TwinAxisCount;   /* SGBTwinInit */
    double CosAxisTolerance; /* SGBTwinInit */
} TTwinSet;

/* Texture component record (Euler form, {hkl}<uvw> form and fibre). */
typedef struct TTexCompSet {
    TCrySet CrySet;
    uint8_t InSpecimenFrame; /* caller */
    TVec3D FrameEuler;       /* caller */
    double Tolerance;        /* caller, radians */
    TVec3D CompEuler;        /* caller, Euler form */
    char CompPlaneText[16];  /* caller, {hkl}<uvw> form */
    char CompDirText[16];    /* caller, {hkl}<uvw> form */
    double FibreAngle1;      /* caller, fibre */
    double FibreAngle2;      /* caller, fibre */
    char FibreDirText[16];   /* caller, fibre */
    TMat3D CompMatrix;       /* TexCompEulerInit / TexCompHKLUVWInit */
    TVec3D FibreSpecimenDir; /* TexCompFiberInit */
    TVec3D FibreCrystalDir;  /* TexCompFiberInit */
} TTexCompSet;

/* f factor record. */
typedef struct TFFactorSet {
    TCrySet CrySet;
    uint8_t InSpecimenFrame;     /* caller */
    TVec3D FrameEuler;           /* caller */
    char FDirText[16];           /* caller */
    int32_t FDirCount;           /* fFactorInit */
    uint8_t FDirHasAntiparallel; /* fFactorInit */
    TMat3D FrameT;               /* fFactorInit */
    TVec3D FDirs[96];            /* fFactorInit */
} TFFactorSet;

/* Schmid factor record. */
typedef struct TSchmidSet {
    TCrySet CrySet;
    uint8_t InSpecimenFrame; /* caller, not read by the Schmid operations */
    TVec3D FrameEuler;       /* caller */
    double LoadAngle1;       /* caller */
    double LoadAngle2;       /* caller */
    char SlipPlaneText[16];  /* caller */
    char SlipDirText[16];    /* caller */
    int32_t SlipSystemCount; /* SchmidFactorInit */
    TMat3D SlipSystems[96];  /* SchmidFactorInit: col[0] slip direction, col[2] plane normal */
    TVec3D LoadDir;          /* SchmidFactorInit */
    TMat3D FrameT;           /* SchmidFactorInit */
} TSchmidSet;

/* Slip trace record passed to SchmidFactor. */
typedef struct TSchmidTrace {
    uint8_t WantTrace;  /* caller */
    uint8_t TraceValid; /* set to 1 when Trace is written; never cleared */
    TVec3D Trace;       /* not normalised, z always 0 */
} TSchmidTrace;

#ifdef __cplusplus
}
#endif

/* ---- Layout guards ------------------------------------------------------ */
#ifdef __cplusplus
#define LATTIX_STATIC_ASSERT(cond, msg) static_assert(cond, msg)
#else
#define LATTIX_STATIC_ASSERT(cond, msg) _Static_assert(cond, msg)
#endif
#define LATTIX_CHECK_OFFSET(T, f, off) \
    LATTIX_STATIC_ASSERT(offsetof(T, f) == (off), #T "." #f " offset")
#define LATTIX_CHECK_SIZE(T, size) LATTIX_STATIC_ASSERT(sizeof(T) == (size), #T " size")

LATTIX_CHECK_SIZE(TVec3D, 24);
LATTIX_CHECK_OFFSET(TVec3D, y, 8);
LATTIX_CHECK_OFFSET(TVec3D, z, 16);
LATTIX_CHECK_SIZE(TMat3D, 72);
LATTIX_CHECK_SIZE(TIndices, 16);

LATTIX_CHECK_OFFSET(TApuBlock, Code, 0);
LATTIX_CHECK_OFFSET(TApuBlock, Values, 8);
LATTIX_CHECK_OFFSET(TApuBlock, DirCount, 40);
LATTIX_CHECK_OFFSET(TApuBlock, NormalCount, 44);
LATTIX_CHECK_OFFSET(TApuBlock, Normals, 48);
LATTIX_CHECK_OFFSET(TApuBlock, Dirs, 168);
LATTIX_CHECK_OFFSET(TApuBlock, NormalCodes, 288);
LATTIX_CHECK_OFFSET(TApuBlock, NormalTexts, 308);
LATTIX_CHECK_OFFSET(TApuBlock, DirTexts, 388);
LATTIX_CHECK_SIZE(TApuBlock, 472);

LATTIX_CHECK_OFFSET(TPseudoSym, Kind, 0);
LATTIX_CHECK_OFFSET(TPseudoSym, Axis, 8);
LATTIX_CHECK_OFFSET(TPseudoSym, Value, 32);
LATTIX_CHECK_SIZE(TPseudoSym, 40);

LATTIX_CHECK_OFFSET(TCrySet, FileName, 0);
LATTIX_CHECK_OFFSET(TCrySet, Name, 81);
LATTIX_CHECK_OFFSET(TCrySet, Reference, 102);
LATTIX_CHECK_OFFSET(TCrySet, A, 184);
LATTIX_CHECK_OFFSET(TCrySet, B, 188);
LATTIX_CHECK_OFFSET(TCrySet, C, 192);
LATTIX_CHECK_OFFSET(TCrySet, Alpha, 196);
LATTIX_CHECK_OFFSET(TCrySet, Beta, 200);
LATTIX_CHECK_OFFSET(TCrySet, Gamma, 204);
LATTIX_CHECK_OFFSET(TCrySet, LaueGroup, 208);
LATTIX_CHECK_OFFSET(TCrySet, SpaceGroup, 212);
LATTIX_CHECK_OFFSET(TCrySet, Apu1, 216);
LATTIX_CHECK_OFFSET(TCrySet, Apu0, 688);
LATTIX_CHECK_OFFSET(TCrySet, EulerLimits, 1160);
LATTIX_CHECK_OFFSET(TCrySet, Direct, 1184);
LATTIX_CHECK_OFFSET(TCrySet, DirectInv, 1256);
LATTIX_CHECK_OFFSET(TCrySet, Recip, 1328);
LATTIX_CHECK_OFFSET(TCrySet, RecipInv, 1400);
LATTIX_CHECK_OFFSET(TCrySet, SymOpCount, 1472);
LATTIX_CHECK_OFFSET(TCrySet, SymOps, 1480);
LATTIX_CHECK_OFFSET(TCrySet, PseudoCount, 8392);
LATTIX_CHECK_OFFSET(TCrySet, Pseudo, 8400);
LATTIX_CHECK_SIZE(TCrySet, 8560);

LATTIX_CHECK_OFFSET(TTwinSet, TwinAxisText, 8560);
LATTIX_CHECK_OFFSET(TTwinSet, TwinAngle, 8576);
LATTIX_CHECK_OFFSET(TTwinSet, AxisTolerance, 8584);
LATTIX_CHECK_OFFSET(TTwinSet, AngleTolerance, 8592);
LATTIX_CHECK_OFFSET(TTwinSet, TwinAxes, 8600);
LATTIX_CHECK_OFFSET(TTwinSet, TwinAxisCount, 10904);
LATTIX_CHECK_OFFSET(TTwinSet, CosAxisTolerance, 10912);
LATTIX_CHECK_SIZE(TTwinSet, 10920);

LATTIX_CHECK_OFFSET(TTexCompSet, InSpecimenFrame, 8560);
LATTIX_CHECK_OFFSET(TTexCompSet, FrameEuler, 8568);
LATTIX_CHECK_OFFSET(TTexCompSet, Tolerance, 8592);
LATTIX_CHECK_OFFSET(TTexCompSet, CompEuler, 8600);
LATTIX_CHECK_OFFSET(TTexCompSet, CompPlaneText, 8624);
LATTIX_CHECK_OFFSET(TTexCompSet, CompDirText, 8640);
LATTIX_CHECK_OFFSET(TTexCompSet, FibreAngle1, 8656);
LATTIX_CHECK_OFFSET(TTexCompSet, FibreAngle2, 8664);
LATTIX_CHECK_OFFSET(TTexCompSet, FibreDirText, 8672);
LATTIX_CHECK_OFFSET(TTexCompSet, CompMatrix, 8688);
LATTIX_CHECK_OFFSET(TTexCompSet, FibreSpecimenDir, 8760);
LATTIX_CHECK_OFFSET(TTexCompSet, FibreCrystalDir, 8784);
LATTIX_CHECK_SIZE(TTexCompSet, 8808);

LATTIX_CHECK_OFFSET(TFFactorSet, InSpecimenFrame, 8560);
LATTIX_CHECK_OFFSET(TFFactorSet, FrameEuler, 8568);
LATTIX_CHECK_OFFSET(TFFactorSet, FDirText, 8592);
LATTIX_CHECK_OFFSET(TFFactorSet, FDirCount, 8608);
LATTIX_CHECK_OFFSET(TFFactorSet, FDirHasAntiparallel, 8612);
LATTIX_CHECK_OFFSET(TFFactorSet, FrameT, 8616);
LATTIX_CHECK_OFFSET(TFFactorSet, FDirs, 8688);
LATTIX_CHECK_SIZE(TFFactorSet, 10992);

LATTIX_CHECK_OFFSET(TSchmidSet, InSpecimenFrame, 8560);
LATTIX_CHECK_OFFSET(TSchmidSet, FrameEuler, 8568);
LATTIX_CHECK_OFFSET(TSchmidSet, LoadAngle1, 8592);
LATTIX_CHECK_OFFSET(TSchmidSet, LoadAngle2, 8600);
LATTIX_CHECK_OFFSET(TSchmidSet, SlipPlaneText, 8608);
LATTIX_CHECK_OFFSET(TSchmidSet, SlipDirText, 8624);
LATTIX_CHECK_OFFSET(TSchmidSet, SlipSystemCount, 8640);
LATTIX_CHECK_OFFSET(TSchmidSet, SlipSystems, 8648);
LATTIX_CHECK_OFFSET(TSchmidSet, LoadDir, 15560);
LATTIX_CHECK_OFFSET(TSchmidSet, FrameT, 15584);
LATTIX_CHECK_SIZE(TSchmidSet, 15656);

LATTIX_CHECK_OFFSET(TSchmidTrace, WantTrace, 0);
LATTIX_CHECK_OFFSET(TSchmidTrace, TraceValid, 1);
LATTIX_CHECK_OFFSET(TSchmidTrace, Trace, 8);
LATTIX_CHECK_SIZE(TSchmidTrace, 32);
