"""ctypes mirror of the lattix records (lattix/lattixtype.h and lattixBatch.h), field by field.

tests/abi checks every size and offset against the C compiler's.
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


class TQuat(C.Structure):
    """Unit quaternion w, x, y, z of a passive orientation (Rowenhorst et al. 2015, P = +1)."""
    _fields_ = [("w", C.c_double), ("x", C.c_double), ("y", C.c_double), ("z", C.c_double)]


class TDetector(C.Structure):
    """EBSD detector geometry; pattern centre in the Bruker convention (lattixDetector.h)."""
    _fields_ = [("Width", C.c_int32), ("Height", C.c_int32), ("Binning", C.c_int32),
                ("PixelSize", C.c_double), ("SampleTilt", C.c_double), ("Tilt", C.c_double),
                ("Azimuthal", C.c_double), ("Twist", C.c_double), ("PCx", C.c_double),
                ("PCy", C.c_double), ("PCz", C.c_double)]


class TLtxSetupReport(C.Structure):
    """Which setup file failed and why (lattixSetup.h)."""
    _fields_ = [("Status", C.c_uint16), ("File", C.c_int32), ("LaueGroup", C.c_int32),
                ("KeyFound", C.c_uint8), ("Folder", C.c_char * 1024), ("KeySource", C.c_char * 1024),
                ("Path", C.c_char * 1024), ("Text", C.c_char * 2048)]


RECORDS = [TVec3D, TMat3D, TIndices, TApuBlock, TPseudoSym, TCrySet, TTwinSet, TTexCompSet,
           TFFactorSet, TSchmidSet, TSchmidTrace]
