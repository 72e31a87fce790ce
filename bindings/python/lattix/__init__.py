"""lattix: crystallographic orientations, misorientation and symmetry over ctypes and numpy.

The shared library is found through LATTIX_LIBRARY, next to this package, or on the
system's library path (see lattix.library()).  Records mirror lattix/lattixtype.h;
lattix.load(path) returns the library with every export's types declared.
"""
from ._arrays import (CrystalSet, LattixError, euler_to_matrix, euler_to_quat,
                      grid_misorientation, matrix_to_euler, matrix_to_quat, misorientation,
                      normalize_euler, quat_to_euler, quat_to_matrix)
from ._detector import CONVENTIONS, Detector
from ._exports import EXPORTS, HEADERS, MESSAGE_BOX_HANDLER, declare
from ._library import LattixLibraryNotFound, library, load
from ._records import (RECORDS, TDetector, TLtxSetupReport, TApuBlock, TCrySet, TFFactorSet, TIndices, TMat3D, TPseudoSym,
                       TQuat, TSchmidSet, TSchmidTrace, TTexCompSet, TTwinSet, TVec3D)

__version__ = "0.1.0"
