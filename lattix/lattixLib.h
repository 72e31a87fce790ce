/* lattix: the exported C interface of the crystallographic library: the 64
 * crystallographic exports and two platform extras.  Further exports sit in
 * headers of their own: lattixCell.h (checking a cell before InitCrySet2) and
 * lattixSetup.h (the setup data: folder searched, what failed and why).
 *
 * Conventions for every export:
 *  - plain C names, the platform's standard calling convention for system
 *    libraries (LATTIX_CALL: __stdcall on 32-bit Windows, nothing elsewhere);
 *  - records, vectors, matrices, index arrays and text buffers by pointer;
 *  - booleans are one byte (TLtxBool): 1 true, 0 false; any non-zero argument
 *    byte counts as true;
 *  - angles in radians unless a name says otherwise, lengths in the unit of
 *    the cell (the program uses angstrom);
 *  - the library keeps no pointer to a caller record after a call returns and
 *    no C++ exception ever leaves an export;
 *  - pointers: every pointer argument must point to caller storage of the
 *    size its line states (records, TVec3D, TMat3D, arrays of
 *    LATTIX_SYM_CAPACITY entries, text buffers of the named sizes); NULL is
 *    accepted only where a line says so.  Input texts (name, reference,
 *    fileName, index texts) may be NULL and then read as empty; output text
 *    buffers of the Laue and space-group texts may be NULL and are then left
 *    alone.  Any other NULL is a caller error whose result is undefined;
 *  - output arrays are filled without a capacity check: the lengths stated
 *    below are the caller's to provide;
 *  - one thread at a time: the little process-wide state (LastStatus, the
 *    Axis2Indices limit cache, the sort seed, the I/O status) has no locks.
 */
#pragma once

#include "lattixtype.h"

#if defined(_WIN32)
#if defined(LATTIX_BUILDING)
#define LATTIX_API __declspec(dllexport)
#else
#define LATTIX_API __declspec(dllimport)
#endif
#if defined(_M_IX86) || defined(__i386__)
#define LATTIX_CALL __stdcall
#else
#define LATTIX_CALL
#endif
#else
#define LATTIX_API __attribute__((visibility("default")))
#define LATTIX_CALL
#endif

#ifdef __cplusplus
extern "C" {
#endif

/* ---- Vectors, matrices and status texts --------------------------------- */

/* out = M.v.  out must not be v. */
LATTIX_API void LATTIX_CALL MatMul3x1(const TMat3D* M, const TVec3D* v, TVec3D* out);
/* out = A.B, column by column.  out may be B, not A. */
LATTIX_API void LATTIX_CALL MatMul3x3(const TMat3D* A, const TMat3D* B, TMat3D* out);
LATTIX_API double LATTIX_CALL Dot(const TVec3D* a, const TVec3D* b);
LATTIX_API double LATTIX_CALL Det3x3(const TMat3D* M);
/* Normalises v in place.  A length that is not a finite number above 1e-8
 * (zero, tiny, NaN or infinite components, or a length beyond the double
 * range): v becomes (1,0,0) and 0 is returned.  Huge finite vectors are
 * scaled first, so they normalise without overflow. */
LATTIX_API TLtxBool LATTIX_CALL UnityVector(TVec3D* v);
LATTIX_API void LATTIX_CALL OppositVector(TVec3D* v);
LATTIX_API void LATTIX_CALL MulVector(double s, const TVec3D* v, TVec3D* out);
LATTIX_API void LATTIX_CALL AddVector(const TVec3D* a, const TVec3D* b, TVec3D* out);
LATTIX_API void LATTIX_CALL SubVector(const TVec3D* a, const TVec3D* b, TVec3D* out);
/* out = a x b; with normalise non-zero the result of UnityVector(out) is
 * returned, else 1. */
LATTIX_API TLtxBool LATTIX_CALL Cross(const TVec3D* a, const TVec3D* b, TVec3D* out,
                                      uint8_t normalise);
/* dst = transpose of src; src and dst distinct. */
LATTIX_API void LATTIX_CALL Transpose(const TMat3D* src, TMat3D* dst);
/* dst = inverse of src.  |det| < 1e-5 (absolute): 0 and dst untouched. */
LATTIX_API TLtxBool LATTIX_CALL InverseMatrix(const TMat3D* src, TMat3D* dst);
/* out = v turned right-handedly by w about the unit vector axis; out may be v. */
LATTIX_API void LATTIX_CALL ConeVector(const TVec3D* axis, const TVec3D* v, TVec3D* out, double w);
/* Passive rotation matrix about axis k (0 x, 1 y, 2 z); other k leave out untouched. */
LATTIX_API void LATTIX_CALL RotateUnityMatrix(uint8_t k, double w, TMat3D* out);
/* out = v reflected in the plane with unit normal n. */
LATTIX_API void LATTIX_CALL Mirror(const TVec3D* n, const TVec3D* v, TVec3D* out);
/* Right-handed orthonormal columns keeping the direction of column 3; 0 when
 * column 3 or a cross product has no length. */
LATTIX_API TLtxBool LATTIX_CALL OrthogonalMatrix(TMat3D* M);
/* a reduced into one period b: [0, b) for a >= 0, (0, b] for a < 0. */
LATTIX_API double LATTIX_CALL Modulus(double a, double b);
/* Writes the text of LastStatus into buffer (LATTIX_ERRMSG_SIZE bytes);
 * returns buffer.  After a failed InitCrySet or InitCrySet2 the text says
 * which file failed ("SYMGEN: File not found"); lattixSetup.h has the details. */
LATTIX_API char* LATTIX_CALL ErrMsg(char* buffer);

/* ---- Orientations (Bunge ZXZ; g takes specimen to crystal coordinates) --- */

LATTIX_API void LATTIX_CALL Euler2Matrix(const TVec3D* e, TMat3D* g);
/* On an arithmetic failure shows the message box "Error Matrix2Euler" and
 * leaves e as far as written.  |g(3,3)| up to 1 + 1e-12 is rounding and
 * counts as +-1; beyond that (or NaN) the box is shown and e is unchanged. */
LATTIX_API void LATTIX_CALL Matrix2Euler(const TMat3D* g, TVec3D* e);
/* The angle goes by pointer; n is used as given (unit is the caller's duty). */
LATTIX_API void LATTIX_CALL AxisAngle2Matrix(const TVec3D* n, const double* w, TMat3D* M);
/* Azimuth phi from +x towards +y, elevation theta from the x-y plane. */
LATTIX_API void LATTIX_CALL Ang2Dir(double phi, double theta, TVec3D* out);
LATTIX_API void LATTIX_CALL Dir2Ang(const TVec3D* v, double* phi, double* theta);

/* ---- Crystal sets ---------------------------------------------------------- */

/* Fills the whole record from memory; reads SYMGEN and APU from the system
 * folder.  No result: on success LastStatus is left alone; when the setup
 * data cannot be read LastStatus receives the failure's status too (as does
 * GetInitIoStatus), so ErrMsg describes it.  Values that give no usable set
 * (CheckLattice in lattixCell.h tells them before the call): a length that
 * is not a finite number above 0, an angle not strictly between 0 and 180
 * degrees, angles that close no cell (alpha + beta + gamma >= 360 or one
 * angle >= the sum of the other two), a volume below 1e-5, and a Laue
 * group outside 1..LATTIX_LAUE_GROUP_COUNT (GetInitIoStatus 201). */
LATTIX_API void LATTIX_CALL InitCrySet2(TCrySet* cs, const char* name, const char* reference,
                                        float a, float b, float c, float alpha, float beta,
                                        float gamma, int32_t laue, int32_t spaceGroup);
/* Appends one pseudo-symmetry entry; a fifth is ignored. */
LATTIX_API void LATTIX_CALL SetPseudoSymmetry(TCrySet* cs, uint8_t kind, float u, float v, float w,
                                              float value);
/* d(hkl) = 1/|Recip.(h,k,l)|, in the unit of A. */
LATTIX_API double LATTIX_CALL LatticeSpacing(const TCrySet* cs, int32_t h, int32_t k, int32_t l);
/* Unit Cartesian vector of a direction (dir non-zero, through Direct) or plane
 * normal (through Recip); 0 for zero indices (out becomes (1,0,0)). */
LATTIX_API TLtxBool LATTIX_CALL Miller2Vec(const TCrySet* cs, uint8_t dir, const TIndices* idx,
                                           TVec3D* out);
/* Parses text as indices and converts them like Miller2Vec. */
LATTIX_API void LATTIX_CALL Str2Vec(const TCrySet* cs, uint8_t dir, const char* text, TVec3D* out);
/* Fills the record from a crystal file (path, or a pattern found in the
 * COMMON folder).  Returns 0 on success, else the status, which is also left
 * in LastStatus: 2/3/5 a file that is missing, in a missing folder, or not a
 * readable regular file (a FIFO or device is refused unopened); 110 a file
 * over LATTIX_MAX_FILE_BYTES; 106 a cell line with a missing number or one
 * that does not read; 207 cell values that read but close no cell (the rules
 * of CheckLattice); 300 a refused version tag; 201 a path longer than
 * FileName or a Laue group outside 1..11.  A failure to read the setup data
 * (SYMGEN, APU) returns its status too (GetInitIoStatus also has it). */
LATTIX_API uint16_t LATTIX_CALL InitCrySet(TCrySet* cs, const char* fileName);

/* ---- Index texts --------------------------------------------------------- */

LATTIX_API TLtxBool LATTIX_CALL ValidateIndices(uint8_t dir, const char* text, TIndices* out);
LATTIX_API void LATTIX_CALL Miller2Bravais(uint8_t dir, const TIndices* in, TIndices* out);
LATTIX_API void LATTIX_CALL Bravais2Miller(uint8_t dir, const TIndices* in, TIndices* out);
/* h.u + k.v + l.w == 0 with hkl read as a plane and uvw as a direction;
 * 0 when either text does not parse. */
LATTIX_API TLtxBool LATTIX_CALL ValidateHKLUVW(const TIndexText hkl, const TIndexText uvw);

/* ---- Laue groups and space groups -------------------------------------------- */

LATTIX_API void LATTIX_CALL GetEulerLimits(int32_t laue, TVec3D* out);
/* buffer: LATTIX_LAUE_SHORT_TEXT_SIZE bytes; untouched for an index outside 1..11 */
LATTIX_API char* LATTIX_CALL LaueGroupShortText(int32_t laue, char* buffer);
/* buffer: LATTIX_LAUE_LONG_TEXT_SIZE bytes; untouched for an index outside 1..11 */
LATTIX_API char* LATTIX_CALL LaueGroupLongText(int32_t laue, char* buffer);
LATTIX_API double LATTIX_CALL GetAxisAngleLimit(int32_t laue);
/* buffer: LATTIX_HM_SYMBOL_SIZE bytes; "[Error]" outside 1..230 */
LATTIX_API char* LATTIX_CALL GetHermannMauguinSymbol(int32_t spaceGroup, char* buffer);
/* Space-group number 1..230 or 240 + Laue index -> Laue index, else -1. */
LATTIX_API int32_t LATTIX_CALL GetLaueGroupIndex(int32_t phaseCode);

/* ---- Misorientation and twins --------------------------------------------- */

LATTIX_API TLtxBool LATTIX_CALL AxisAngleMat(const TCrySet* cs, const TMat3D* A, const TMat3D* B,
                                             TVec3D* axis, double* angle);
LATTIX_API TLtxBool LATTIX_CALL AxisAngleEul(const TCrySet* cs, const TVec3D* A, const TVec3D* B,
                                             TVec3D* axis, double* angle);
/* axes and angles: caller arrays of LATTIX_SYM_CAPACITY (96) entries each,
 * sorted by ascending angle. */
LATTIX_API TLtxBool LATTIX_CALL AxisAngleMatAll(const TCrySet* cs, const TMat3D* A, const TMat3D* B,
                                                int32_t* count, TVec3D* axes, double* angles);
LATTIX_API TLtxBool LATTIX_CALL AxisAngleEulAll(const TCrySet* cs, const TVec3D* A, const TVec3D* B,
                                                int32_t* count, TVec3D* axes, double* angles);
/* out = E(euler)^T . axis; the first two arguments are not used. */
LATTIX_API void LATTIX_CALL ConvertCommonAxisToCS1(const void* unused1, const void* unused2,
                                                   const TVec3D* euler, const TVec3D* axis,
                                                   TVec3D* out);
LATTIX_API void LATTIX_CALL SGBTwinInit(TTwinSet* twin);
LATTIX_API TLtxBool LATTIX_CALL SGBTwin(const TTwinSet* twin, double* deviation, const TVec3D* axis,
                                        const double* angle);

/* ---- Texture components, f and Schmid factors ------------------------------ */

LATTIX_API void LATTIX_CALL TexCompEulerInit(TTexCompSet* tc);
LATTIX_API TLtxBool LATTIX_CALL TexCompHKLUVWInit(TTexCompSet* tc);
LATTIX_API TLtxBool LATTIX_CALL TexCompComplete(const TTexCompSet* tc, const TVec3D* orientation,
                                                double* deviation);
LATTIX_API void LATTIX_CALL TexCompFiberInit(TTexCompSet* tc);
LATTIX_API TLtxBool LATTIX_CALL TexCompFiber(const TTexCompSet* tc, const TVec3D* orientation,
                                             double* deviation);
LATTIX_API void LATTIX_CALL fFactorInit(TFFactorSet* ff);
LATTIX_API void LATTIX_CALL fFactor(const TFFactorSet* ff, const TVec3D* orientation,
                                    TVec3D* factors);
LATTIX_API void LATTIX_CALL SchmidFactorInit(TSchmidSet* ss);
LATTIX_API double LATTIX_CALL SchmidFactor(const TSchmidSet* ss, const TVec3D* orientation,
                                           TSchmidTrace* trace);

/* ---- Symmetry sets and fundamental zones ------------------------------------ */

/* out: caller array of LATTIX_SYM_CAPACITY (96) matrices, whatever the group. */
LATTIX_API int32_t LATTIX_CALL SymSetMat(const TCrySet* cs, int32_t specimenCode, const TMat3D* M,
                                         TMat3D* out);
/* out: caller array of LATTIX_SYM_CAPACITY (96) TVec3D.  A triple that gives
 * no rotation (NaN, infinite) shows "Error Matrix2Euler" once per call. */
LATTIX_API int32_t LATTIX_CALL SymSetEul(const TCrySet* cs, int32_t specimenCode, const TVec3D* e,
                                         TVec3D* out);
/* out: caller array of LATTIX_SYM_CAPACITY (96) TVec3D. */
LATTIX_API int32_t LATTIX_CALL SymSetDir(const TCrySet* cs, uint8_t dropAntiparallel,
                                         const TVec3D* d, uint8_t* hasAntiparallel, TVec3D* out);
/* A triple with a NaN or infinite angle is left unchanged. */
LATTIX_API void LATTIX_CALL NormalizeEuler(const TCrySet* cs, TVec3D* e);
/* out: caller array of LATTIX_SYM_CAPACITY (96) TVec3D, not one TVec3D (group
 * 10 writes up to 24, group 11 three).  count is in/out: callers set it to 0
 * first. */
LATTIX_API void LATTIX_CALL SpecialNormalizeEuler(const TCrySet* cs, const TVec3D* e, TVec3D* out,
                                                  int32_t* count);

/* ---- Plane-direction pairs and small indices ------------------------------- */

LATTIX_API TLtxBool LATTIX_CALL HKLUVW2Matrix(const TCrySet* cs, const TIndexText hkl,
                                              const TIndexText uvw, TMat3D* out);
LATTIX_API TLtxBool LATTIX_CALL ValidateTrulyHKLUVW(const TCrySet* cs, const TIndexText hkl,
                                                    const TIndexText uvw);
/* text: caller buffer of LATTIX_AXIS_TEXT_SIZE (32) bytes. */
LATTIX_API void LATTIX_CALL Axis2Indices(const TCrySet* cs, const TVec3D* v, uint8_t four,
                                         const char* limits, char* text, double* angle);

/* ---- Electron wavelength ----------------------------------------------------- */

/* Relativistic electron wavelength in angstrom for a voltage in kilovolts. */
LATTIX_API double LATTIX_CALL deBroglie(double kilovolts);

/* ---- Platform extras (not among the 64 crystallographic exports) ------------ */

/* The platform's message-box hook.  The library has no GUI of its own; when it
 * must show a message box ("Error Matrix2Euler", "Orvane setup error") it
 * calls the installed handler with caption and text.  With none installed
 * (or after passing NULL) it writes both to stderr.  The handler must not
 * throw. */
typedef void(LATTIX_CALL* TLtxMessageBoxHandler)(const char* caption, const char* text);
LATTIX_API void LATTIX_CALL SetMessageBoxHandler(TLtxMessageBoxHandler handler);

/* I/O status of the last InitCrySet2 or InitCrySet: 0 when the setup data
 * were read in full, otherwise the status number of the failed step (same
 * numbering as ErrMsg; LastStatus holds it too).  A non-zero value means the
 * record is partly built and must not be used.  GetSetupReport (lattixSetup.h)
 * tells which file failed, where and why. */
LATTIX_API uint16_t LATTIX_CALL GetInitIoStatus(void);

#ifdef __cplusplus
}
#endif
