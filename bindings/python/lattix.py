"""ctypes mirror of the lattix records and a few exports.

Load with lattix.load("/path/to/liblattix.so"); the record classes mirror
lattix/lattixtype.h field by field (tests/abi checks every offset against the
C compiler's).
"""
import ctypes as C


class TVec3D(C.Structure):
    _fields_ = [("x", C.c_double), ("y", C.c_double), ("z", C.c_double)]


class TMat3D(C.Structure):
    _fields_ = [("col", TVec3D * 3)]


class TIndices(C.Structure):
    _fields_ = [("v", C.c_int32 * 4)]


class TApuBlock(C.Structure):
    _fields_ = [("Code", C.c_int32), ("Values", C.c_double * 4), ("DirCount", C.c_int32),
                ("NormalCount", C.c_int32), ("Normals", TVec3D * 5), ("Dirs", TVec3D * 5),
                ("NormalCodes", C.c_int32 * 5), ("NormalTexts", (C.c_char * 16) * 5),
                ("DirTexts", (C.c_char * 16) * 5)]


class TPseudoSym(C.Structure):
    _fields_ = [("Kind", C.c_uint8), ("Axis", TVec3D), ("Value", C.c_double)]


class TCrySet(C.Structure):
    _fields_ = [("FileName", C.c_char * 81), ("Name", C.c_char * 21), ("Reference", C.c_char * 81),
                ("A", C.c_float), ("B", C.c_float), ("C", C.c_float),
                ("Alpha", C.c_float), ("Beta", C.c_float), ("Gamma", C.c_float),
                ("LaueGroup", C.c_int32), ("SpaceGroup", C.c_int32),
                ("Apu1", TApuBlock), ("Apu0", TApuBlock), ("EulerLimits", TVec3D),
                ("Direct", TMat3D), ("DirectInv", TMat3D), ("Recip", TMat3D), ("RecipInv", TMat3D),
                ("SymOpCount", C.c_int32), ("SymOps", TMat3D * 96),
                ("PseudoCount", C.c_int32), ("Pseudo", TPseudoSym * 4)]


class TTwinSet(C.Structure):
    _fields_ = [("CrySet", TCrySet), ("TwinAxisText", C.c_char * 16), ("TwinAngle", C.c_double),
                ("AxisTolerance", C.c_double), ("AngleTolerance", C.c_double),
                ("TwinAxes", TVec3D * 96), ("TwinAxisCount", C.c_int32), ("CosAxisTolerance", C.c_double)]


class TTexCompSet(C.Structure):
    _fields_ = [("CrySet", TCrySet), ("InSpecimenFrame", C.c_uint8), ("FrameEuler", TVec3D),
                ("Tolerance", C.c_double), ("CompEuler", TVec3D), ("CompPlaneText", C.c_char * 16),
                ("CompDirText", C.c_char * 16), ("FibreAngle1", C.c_double), ("FibreAngle2", C.c_double),
                ("FibreDirText", C.c_char * 16), ("CompMatrix", TMat3D), ("FibreSpecimenDir", TVec3D),
                ("FibreCrystalDir", TVec3D)]


class TFFactorSet(C.Structure):
    _fields_ = [("CrySet", TCrySet), ("InSpecimenFrame", C.c_uint8), ("FrameEuler", TVec3D),
                ("FDirText", C.c_char * 16), ("FDirCount", C.c_int32), ("FDirHasAntiparallel", C.c_uint8),
                ("FrameT", TMat3D), ("FDirs", TVec3D * 96)]


class TSchmidSet(C.Structure):
    _fields_ = [("CrySet", TCrySet), ("InSpecimenFrame", C.c_uint8), ("FrameEuler", TVec3D),
                ("LoadAngle1", C.c_double), ("LoadAngle2", C.c_double), ("SlipPlaneText", C.c_char * 16),
                ("SlipDirText", C.c_char * 16), ("SlipSystemCount", C.c_int32), ("SlipSystems", TMat3D * 96),
                ("LoadDir", TVec3D), ("FrameT", TMat3D)]


class TSchmidTrace(C.Structure):
    _fields_ = [("WantTrace", C.c_uint8), ("TraceValid", C.c_uint8), ("Trace", TVec3D)]


RECORDS = [TVec3D, TMat3D, TIndices, TApuBlock, TPseudoSym, TCrySet, TTwinSet, TTexCompSet,
           TFFactorSet, TSchmidSet, TSchmidTrace]


def load(path):
    """Loads the library and declares the signatures used here."""
    lib = C.CDLL(path)
    P = C.POINTER
    lib.Euler2Matrix.argtypes = [P(TVec3D), P(TMat3D)]
    lib.Euler2Matrix.restype = None
    lib.Matrix2Euler.argtypes = [P(TMat3D), P(TVec3D)]
    lib.Matrix2Euler.restype = None
    lib.InitCrySet2.argtypes = [P(TCrySet), C.c_char_p, C.c_char_p] + [C.c_float] * 6 + [C.c_int32, C.c_int32]
    lib.InitCrySet2.restype = None
    lib.GetInitIoStatus.argtypes = []
    lib.GetInitIoStatus.restype = C.c_uint16
    lib.LatticeSpacing.argtypes = [P(TCrySet), C.c_int32, C.c_int32, C.c_int32]
    lib.LatticeSpacing.restype = C.c_double
    lib.UnityVector.argtypes = [P(TVec3D)]
    lib.UnityVector.restype = C.c_uint8
    lib.ValidateIndices.argtypes = [C.c_uint8, C.c_char_p, P(TIndices)]
    lib.ValidateIndices.restype = C.c_uint8
    lib.deBroglie.argtypes = [C.c_double]
    lib.deBroglie.restype = C.c_double
    lib.ErrMsg.argtypes = [C.c_char_p]
    lib.ErrMsg.restype = C.c_char_p
    return lib
