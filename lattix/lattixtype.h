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

/* ---- Facts of the boundary ----------------------------------------------
 * Capacities, text-buffer sizes (NUL included), index ranges and status
 * numbers, named once here; the records below and the library use them. */

/* Entries of every symmetry-set array: four specimen blocks of the largest
 * Laue group's 24 rotations.  Every caller array that receives a symmetry set
 * (SymOps, SymSetMat/Eul/Dir, SpecialNormalizeEuler, AxisAngle*All, ...)
 * holds this many. */
#define LATTIX_SYM_CAPACITY 96
#define LATTIX_FILE_NAME_SIZE 81    /* TCrySet.FileName: 80 characters */
#define LATTIX_NAME_SIZE 21         /* TCrySet.Name: 20 characters */
#define LATTIX_REFERENCE_SIZE 81    /* TCrySet.Reference: 80 characters */
#define LATTIX_INDEX_TEXT_SIZE 16   /* index texts (TIndexText, APU texts) */
#define LATTIX_APU_ENTRY_CAPACITY 5 /* direction and normal entries per APU block */
#define LATTIX_PSEUDO_CAPACITY 4    /* pseudo-symmetry entries per crystal set */
#define LATTIX_ERRMSG_SIZE 39       /* ErrMsg buffer */
#define LATTIX_LAUE_SHORT_TEXT_SIZE 6
#define LATTIX_LAUE_LONG_TEXT_SIZE 16
#define LATTIX_HM_SYMBOL_SIZE 14 /* GetHermannMauguinSymbol buffer */
#define LATTIX_AXIS_TEXT_SIZE 32 /* Axis2Indices text buffer */

/* Laue group indices run 1..LATTIX_LAUE_GROUP_COUNT; phase codes are a
 * space-group number 1..LATTIX_SPACE_GROUP_COUNT or LATTIX_LAUE_CODE_BASE plus
 * a Laue index. */
#define LATTIX_LAUE_GROUP_COUNT 11
#define LATTIX_SPACE_GROUP_COUNT 230
#define LATTIX_LAUE_CODE_BASE 240

/* Status numbers (LastStatus, InitCrySet, GetInitIoStatus, CheckLattice);
 * ErrMsg gives their texts.  Other platform errors keep their own number. */
#define LATTIX_STATUS_OK 0
#define LATTIX_STATUS_OUT_OF_MEMORY 1
#define LATTIX_STATUS_FILE_NOT_FOUND 2
#define LATTIX_STATUS_PATH_NOT_FOUND 3
#define LATTIX_STATUS_TOO_MANY_OPEN_FILES 4
#define LATTIX_STATUS_ACCESS_DENIED 5 /* also: not a regular file */
#define LATTIX_STATUS_READ_ERROR 100
#define LATTIX_STATUS_WRITE_ERROR 101
#define LATTIX_STATUS_NOT_ASSIGNED 102
#define LATTIX_STATUS_NOT_OPEN 103
#define LATTIX_STATUS_NOT_OPEN_FOR_INPUT 104
#define LATTIX_STATUS_NOT_OPEN_FOR_OUTPUT 105
#define LATTIX_STATUS_INVALID_NUMBER 106 /* a number that does not read, or is missing */
#define LATTIX_STATUS_FILE_TOO_LARGE 110 /* over LATTIX_MAX_FILE_BYTES, refused unread */
/* A count, text or path that does not fit its field, a damaged setup record,
 * or a Laue group outside 1..LATTIX_LAUE_GROUP_COUNT. */
#define LATTIX_STATUS_RANGE_ERROR 201
#define LATTIX_STATUS_NO_CELL 207         /* cell values that read but close no cell */
#define LATTIX_STATUS_REFUSED_VERSION 300 /* crystal file version tag not accepted */

/* Files the library reads (crystal files, SYMGEN, APU, Orvane.conf) are
 * refused above this size. */
#define LATTIX_MAX_FILE_BYTES (4L * 1024L * 1024L)

/* Booleans across the boundary: one byte, 1 true, 0 false; any non-zero
 * argument byte counts as true. */
typedef uint8_t TLtxBool;

/* An index text passed "by value": a 16-character array read up to its
 * first NUL.  As a parameter it decays to a pointer to the first character. */
typedef char TIndexText[LATTIX_INDEX_TEXT_SIZE];

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
    TVec3D Normals[LATTIX_APU_ENTRY_CAPACITY];
    TVec3D Dirs[LATTIX_APU_ENTRY_CAPACITY];
    int32_t NormalCodes[LATTIX_APU_ENTRY_CAPACITY];
    char NormalTexts[LATTIX_APU_ENTRY_CAPACITY][LATTIX_INDEX_TEXT_SIZE];
    char DirTexts[LATTIX_APU_ENTRY_CAPACITY][LATTIX_INDEX_TEXT_SIZE];
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
    char FileName[LATTIX_FILE_NAME_SIZE];
    char Name[LATTIX_NAME_SIZE];
    char Reference[LATTIX_REFERENCE_SIZE];
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
    int32_t SymOpCount;                 /* valid entries in SymOps, >= 1 */
    TMat3D SymOps[LATTIX_SYM_CAPACITY]; /* SymOps[0] is the identity */
    int32_t PseudoCount;                /* 0..4 */
    TPseudoSym Pseudo[LATTIX_PSEUDO_CAPACITY];
} TCrySet;

/* Twin test record. */
typedef struct TTwinSet {
    TCrySet CrySet;
    char TwinAxisText[LATTIX_INDEX_TEXT_SIZE]; /* caller */
    double TwinAngle;                          /* caller, radians */
    double AxisTolerance;                      /* caller, radians */
    double AngleTolerance;                     /* caller, radians */
    TVec3D TwinAxes[LATTIX_SYM_CAPACITY];      /* SGBTwinInit */
    int32_t TwinAxisCount;                     /* SGBTwinInit */
    double CosAxisTolerance;                   /* SGBTwinInit */
} TTwinSet;

/* Texture component record (Euler form, {hkl}<uvw> form and fibre). */
typedef struct TTexCompSet {
    TCrySet CrySet;
    uint8_t InSpecimenFrame;                    /* caller */
    TVec3D FrameEuler;                          /* caller */
    double Tolerance;                           /* caller, radians */
    TVec3D CompEuler;                           /* caller, Euler form */
    char CompPlaneText[LATTIX_INDEX_TEXT_SIZE]; /* caller, {hkl}<uvw> form */
    char CompDirText[LATTIX_INDEX_TEXT_SIZE];   /* caller, {hkl}<uvw> form */
    double FibreAngle1;                         /* caller, fibre */
    double FibreAngle2;                         /* caller, fibre */
    char FibreDirText[LATTIX_INDEX_TEXT_SIZE];  /* caller, fibre */
    TMat3D CompMatrix;                          /* TexCompEulerInit / TexCompHKLUVWInit */
    TVec3D FibreSpecimenDir;                    /* TexCompFiberInit */
    TVec3D FibreCrystalDir;                     /* TexCompFiberInit */
} TTexCompSet;

/* f factor record. */
typedef struct TFFactorSet {
    TCrySet CrySet;
    uint8_t InSpecimenFrame;               /* caller */
    TVec3D FrameEuler;                     /* caller */
    char FDirText[LATTIX_INDEX_TEXT_SIZE]; /* caller */
    int32_t FDirCount;                     /* fFactorInit */
    uint8_t FDirHasAntiparallel;           /* fFactorInit */
    TMat3D FrameT;                         /* fFactorInit */
    TVec3D FDirs[LATTIX_SYM_CAPACITY];     /* fFactorInit */
} TFFactorSet;

/* Schmid factor record. */
typedef struct TSchmidSet {
    TCrySet CrySet;
    uint8_t InSpecimenFrame;                    /* caller, not read by the Schmid operations */
    TVec3D FrameEuler;                          /* caller */
    double LoadAngle1;                          /* caller */
    double LoadAngle2;                          /* caller */
    char SlipPlaneText[LATTIX_INDEX_TEXT_SIZE]; /* caller */
    char SlipDirText[LATTIX_INDEX_TEXT_SIZE];   /* caller */
    int32_t SlipSystemCount;                    /* SchmidFactorInit */
    TMat3D SlipSystems[LATTIX_SYM_CAPACITY];    /* SchmidFactorInit: col[0] slip direction, col[2]
                                                   plane normal */
    TVec3D LoadDir;                             /* SchmidFactorInit */
    TMat3D FrameT;                              /* SchmidFactorInit */
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
