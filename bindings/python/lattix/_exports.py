"""Every export of the public headers with its argument and result types, in one table.

HEADERS names the public headers; EXPORTS holds, per header, one line per export:
(name, result type, argument types).  tests/python checks this table against
lattix/lattix.map and against the declarations in every header listed here, so
an export is never called with guessed types.  A new header is one more entry
in HEADERS; a new export is one more line.
"""
import ctypes as C

from ._records import (TCrySet, TFFactorSet, TIndices, TMat3D, TQuat, TSchmidSet,
                       TSchmidTrace, TTexCompSet, TTwinSet, TVec3D, TDetector, TLtxSetupReport)

P = C.POINTER
_d, _f, _i32, _i64, _u8, _u16 = C.c_double, C.c_float, C.c_int32, C.c_int64, C.c_uint8, C.c_uint16
_text = C.c_char_p
_vec, _mat, _quat, _cs = P(TVec3D), P(TMat3D), P(TQuat), P(TCrySet)

# caption, text -> nothing
MESSAGE_BOX_HANDLER = C.CFUNCTYPE(None, C.c_char_p, C.c_char_p)

HEADERS = ("lattixLib.h", "lattixBatch.h", "lattixDetector.h", "lattixCell.h", "lattixSetup.h")

EXPORTS = {
    "lattixLib.h": [
        ("MatMul3x1", None, [_mat, _vec, _vec]),
        ("MatMul3x3", None, [_mat, _mat, _mat]),
        ("Dot", _d, [_vec, _vec]),
        ("Det3x3", _d, [_mat]),
        ("UnityVector", _u8, [_vec]),
        ("OppositVector", None, [_vec]),
        ("MulVector", None, [_d, _vec, _vec]),
        ("AddVector", None, [_vec, _vec, _vec]),
        ("SubVector", None, [_vec, _vec, _vec]),
        ("Cross", _u8, [_vec, _vec, _vec, _u8]),
        ("Transpose", None, [_mat, _mat]),
        ("InverseMatrix", _u8, [_mat, _mat]),
        ("ConeVector", None, [_vec, _vec, _vec, _d]),
        ("RotateUnityMatrix", None, [_u8, _d, _mat]),
        ("Mirror", None, [_vec, _vec, _vec]),
        ("OrthogonalMatrix", _u8, [_mat]),
        ("Modulus", _d, [_d, _d]),
        ("ErrMsg", _text, [_text]),
        ("Euler2Matrix", None, [_vec, _mat]),
        ("Matrix2Euler", None, [_mat, _vec]),
        ("AxisAngle2Matrix", None, [_vec, P(_d), _mat]),
        ("Ang2Dir", None, [_d, _d, _vec]),
        ("Dir2Ang", None, [_vec, P(_d), P(_d)]),
        ("InitCrySet2", None, [_cs, _text, _text, _f, _f, _f, _f, _f, _f, _i32, _i32]),
        ("SetPseudoSymmetry", None, [_cs, _u8, _f, _f, _f, _f]),
        ("LatticeSpacing", _d, [_cs, _i32, _i32, _i32]),
        ("Miller2Vec", _u8, [_cs, _u8, P(TIndices), _vec]),
        ("Str2Vec", None, [_cs, _u8, _text, _vec]),
        ("InitCrySet", _u16, [_cs, _text]),
        ("ValidateIndices", _u8, [_u8, _text, P(TIndices)]),
        ("Miller2Bravais", None, [_u8, P(TIndices), P(TIndices)]),
        ("Bravais2Miller", None, [_u8, P(TIndices), P(TIndices)]),
        ("ValidateHKLUVW", _u8, [_text, _text]),
        ("GetEulerLimits", None, [_i32, _vec]),
        ("LaueGroupShortText", _text, [_i32, _text]),
        ("LaueGroupLongText", _text, [_i32, _text]),
        ("GetAxisAngleLimit", _d, [_i32]),
        ("GetHermannMauguinSymbol", _text, [_i32, _text]),
        ("GetLaueGroupIndex", _i32, [_i32]),
        ("AxisAngleMat", _u8, [_cs, _mat, _mat, _vec, P(_d)]),
        ("AxisAngleEul", _u8, [_cs, _vec, _vec, _vec, P(_d)]),
        ("AxisAngleMatAll", _u8, [_cs, _mat, _mat, P(_i32), _vec, P(_d)]),
        ("AxisAngleEulAll", _u8, [_cs, _vec, _vec, P(_i32), _vec, P(_d)]),
        ("ConvertCommonAxisToCS1", None, [C.c_void_p, C.c_void_p, _vec, _vec, _vec]),
        ("SGBTwinInit", None, [P(TTwinSet)]),
        ("SGBTwin", _u8, [P(TTwinSet), P(_d), _vec, P(_d)]),
        ("TexCompEulerInit", None, [P(TTexCompSet)]),
        ("TexCompHKLUVWInit", _u8, [P(TTexCompSet)]),
        ("TexCompComplete", _u8, [P(TTexCompSet), _vec, P(_d)]),
        ("TexCompFiberInit", None, [P(TTexCompSet)]),
        ("TexCompFiber", _u8, [P(TTexCompSet), _vec, P(_d)]),
        ("fFactorInit", None, [P(TFFactorSet)]),
        ("fFactor", None, [P(TFFactorSet), _vec, _vec]),
        ("SchmidFactorInit", None, [P(TSchmidSet)]),
        ("SchmidFactor", _d, [P(TSchmidSet), _vec, P(TSchmidTrace)]),
        ("SymSetMat", _i32, [_cs, _i32, _mat, _mat]),
        ("SymSetEul", _i32, [_cs, _i32, _vec, _vec]),
        ("SymSetDir", _i32, [_cs, _u8, _vec, P(_u8), _vec]),
        ("NormalizeEuler", None, [_cs, _vec]),
        ("SpecialNormalizeEuler", None, [_cs, _vec, _vec, P(_i32)]),
        ("HKLUVW2Matrix", _u8, [_cs, _text, _text, _mat]),
        ("ValidateTrulyHKLUVW", _u8, [_cs, _text, _text]),
        ("Axis2Indices", None, [_cs, _vec, _u8, _text, _text, P(_d)]),
        ("deBroglie", _d, [_d]),
        ("SetMessageBoxHandler", None, [MESSAGE_BOX_HANDLER]),
        ("GetInitIoStatus", _u16, []),
    ],
    "lattixBatch.h": [
        ("BatchEuler2Matrix", _i32, [_vec, _mat, _i64]),
        ("BatchMatrix2Euler", _i32, [_mat, _vec, _i64]),
        ("BatchEuler2Quat", _i32, [_vec, _quat, _i64]),
        ("BatchQuat2Euler", _i32, [_quat, _vec, _i64]),
        ("BatchMatrix2Quat", _i32, [_mat, _quat, _i64]),
        ("BatchQuat2Matrix", _i32, [_quat, _mat, _i64]),
        ("BatchMisorientation", _i32, [_cs, _mat, _mat, _i64, P(_d), _vec, _i32]),
        ("BatchMisorientationQuat", _i32, [_cs, _quat, _quat, _i64, P(_d), _vec, _i32]),
        ("BatchGridMisorientation", _i32, [_cs, _mat, _i32, _i32, P(_d), P(_d), _i32]),
        ("BatchNormalizeEuler", _i32, [_cs, _vec, _i64, _i32]),
    ],
    "lattixDetector.h": [
        ("DetectorSetPatternCentre", _i32, [P(TDetector), _i32, P(_d)]),
        ("DetectorGetPatternCentre", _i32, [P(TDetector), _i32, P(_d)]),
        ("DetectorSampleMatrix", _i32, [P(TDetector), _mat]),
        ("DetectorProject", _i32, [P(TDetector), _mat, _vec, P(_d), P(_d)]),
        ("DetectorDirection", _i32, [P(TDetector), _mat, _d, _d, _vec]),
        ("DetectorBandLine", _i32, [P(TDetector), _mat, _vec, P(_d)]),
    ],
    "lattixCell.h": [
        ("CheckLattice", _i32, [_d, _d, _d, _d, _d, _d]),
    ],
    "lattixSetup.h": [
        ("GetSetupReport", _u16, [P(TLtxSetupReport)]),
        ("CheckSetupData", _u16, [P(TLtxSetupReport)]),
    ],
}


def declare(lib):
    """Sets argtypes and restype of every export in the table on a loaded CDLL."""
    for exports in EXPORTS.values():
        for name, restype, argtypes in exports:
            function = getattr(lib, name)
            function.restype = restype
            function.argtypes = argtypes
    return lib
