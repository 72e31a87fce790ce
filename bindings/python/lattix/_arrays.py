"""numpy layer over the array exports.

Conventions:
  * angles in radians; Euler angles (phi1, Phi, phi2) in Bunge's ZXZ convention;
  * an orientation matrix g takes specimen to crystal coordinates: with a
    matrix array a, ``a[k] @ s`` is the crystal-frame vector of specimen
    vector s.  The library's records store matrices by columns, so matrix
    arrays cross the boundary transposed; this layer converts them (a copy);
  * quaternions (w, x, y, z) are those of the passive orientation with P = +1
    (Rowenhorst et al. 2015), w >= 0: Euler (90 deg, 0, 0) gives
    (0.70711, 0, 0, -0.70711);
  * Euler and quaternion arrays that are C-contiguous float64 go to the
    library without a copy; anything else is converted first;
  * NaN marks a missing orientation (an unindexed pixel) and gives NaN results.
"""
import ctypes as C

import numpy as np

from ._library import library
from ._records import TCrySet, TMat3D, TQuat, TVec3D

_STATUS_TEXTS = {
    1: "a required pointer is null",
    2: "a count, size or thread number is negative (or the map is too large)",
    3: "the crystal set has no usable operator count (SymOpCount outside 1..96)",
    4: "internal error in the library",
}


class LattixError(RuntimeError):
    """A lattix call failed; the message carries the library's status text."""

    def __init__(self, message, status=None):
        super().__init__(message)
        self.status = status


def _check(status, export):
    if status != 0:
        text = _STATUS_TEXTS.get(status, "unknown status")
        raise LattixError(f"{export} failed: {text} (status {status})", status)


def _error_text(lib):
    buffer = C.create_string_buffer(64)
    return lib.ErrMsg(buffer).decode("latin-1")


class CrystalSet:
    """One crystalline phase (a TCrySet record): cell, Laue group and its rotations."""

    def __init__(self, record):
        self.record = record

    @classmethod
    def from_lattice(cls, a, b, c, alpha, beta, gamma, laue, name="phase", reference="",
                     space_group=None):
        """Builds the set from cell edges (any length unit), angles in degrees and a Laue
        group index 1..11.  Raises LattixError when the setup data cannot be read."""
        laue = int(laue)
        if not 1 <= laue <= 11:
            raise ValueError(f"laue must be a Laue group index 1..11, got {laue}")
        lib = library()
        record = TCrySet()
        group = 240 + laue if space_group is None else int(space_group)
        lib.InitCrySet2(C.byref(record), name.encode(), reference.encode(), a, b, c, alpha, beta,
                        gamma, laue, group)
        status = lib.GetInitIoStatus()
        if status != 0:
            raise LattixError(f"InitCrySet2 could not read the setup data (SYMGEN, APU): "
                              f"I/O status {status}", status)
        return cls(record)

    @classmethod
    def from_file(cls, path):
        """Reads a crystal file (a path, or a pattern found in the COMMON folder).
        Raises LattixError with the library's status text on failure."""
        lib = library()
        record = TCrySet()
        status = lib.InitCrySet(C.byref(record), str(path).encode())
        if status != 0:
            io = lib.GetInitIoStatus()
            if io != 0 and io == status:
                text = f"the setup data (SYMGEN, APU) could not be read: I/O status {io}"
            else:
                text = _error_text(lib)
            raise LattixError(f"InitCrySet failed for {path!s}: {text} (status {status})", status)
        return cls(record)

    @property
    def laue_group(self):
        return self.record.LaueGroup

    @property
    def operators(self):
        """The proper rotations of the Laue group as an (n, 3, 3) array, g convention."""
        n = self.record.SymOpCount
        columns = np.ctypeslib.as_array(self.record.SymOps).view(np.float64).reshape(96, 3, 3)
        return np.ascontiguousarray(np.swapaxes(columns[:n], -1, -2))

    def __repr__(self):
        return (f"CrystalSet({self.record.Name.decode(errors='replace')!r}, "
                f"laue={self.record.LaueGroup}, operators={self.record.SymOpCount})")


def _float_array(x, tail, what):
    """x as a C-contiguous float64 array whose shape ends in tail (copied only if needed)."""
    array = np.asarray(x)
    if array.dtype.kind not in "fiu":
        raise ValueError(f"{what} must hold real numbers, got dtype {array.dtype}")
    if array.ndim < len(tail) or tuple(array.shape[array.ndim - len(tail):]) != tail:
        shape = "(..., " + ", ".join(map(str, tail)) + ")"
        raise ValueError(f"{what} must have shape {shape}, got {array.shape}")
    return np.ascontiguousarray(array, dtype=np.float64)


def _to_records(g):
    """Matrices as people write them -> the library's column storage (a transposed copy)."""
    return np.ascontiguousarray(np.swapaxes(g, -1, -2))


def _from_records(stored):
    return np.ascontiguousarray(np.swapaxes(stored, -1, -2))


def _pointer(array, record):
    return array.ctypes.data_as(C.POINTER(record))


def _threads(threads):
    threads = int(threads)
    if threads < 0:
        raise ValueError(f"threads must be 0 (all) or a positive count, got {threads}")
    return threads


def _convert(export, x, tail_in, record_in, tail_out, record_out, what):
    array = _float_array(x, tail_in, what)
    lead = array.shape[:array.ndim - len(tail_in)]
    out = np.empty(lead + tail_out, dtype=np.float64)
    n = int(np.prod(lead, dtype=np.int64))
    if n:
        _check(getattr(library(), export)(_pointer(array, record_in), _pointer(out, record_out), n),
               export)
    return array, out


def euler_to_matrix(e):
    """(..., 3) Euler angles (radians) -> (..., 3, 3) orientation matrices g."""
    _, stored = _convert("BatchEuler2Matrix", e, (3,), TVec3D, (3, 3), TMat3D, "e")
    return _from_records(stored)


def matrix_to_euler(g):
    """(..., 3, 3) orientation matrices -> (..., 3) Euler angles as Matrix2Euler gives them
    (phi1, phi2 in [0, 2 pi], Phi in [0, pi]); NaN where g(3,3) is out of range."""
    g = _float_array(g, (3, 3), "g")
    return _convert("BatchMatrix2Euler", _to_records(g), (3, 3), TMat3D, (3,), TVec3D, "g")[1]


def euler_to_quat(e):
    """(..., 3) Euler angles -> (..., 4) quaternions (w, x, y, z), w >= 0."""
    return _convert("BatchEuler2Quat", e, (3,), TVec3D, (4,), TQuat, "e")[1]


def quat_to_euler(q):
    """(..., 4) quaternions (normalised first) -> (..., 3) Euler angles."""
    return _convert("BatchQuat2Euler", q, (4,), TQuat, (3,), TVec3D, "q")[1]


def matrix_to_quat(g):
    """(..., 3, 3) orientation matrices -> (..., 4) quaternions, w >= 0."""
    g = _float_array(g, (3, 3), "g")
    return _convert("BatchMatrix2Quat", _to_records(g), (3, 3), TMat3D, (4,), TQuat, "g")[1]


def quat_to_matrix(q):
    """(..., 4) quaternions (normalised first) -> (..., 3, 3) orientation matrices."""
    _, stored = _convert("BatchQuat2Matrix", q, (4,), TQuat, (3, 3), TMat3D, "q")
    return _from_records(stored)


def _orientations(x, what):
    """('quat' or 'matrix', library-ready array, leading shape)."""
    array = np.asarray(x)
    if array.ndim >= 1 and array.shape[-1] == 4:
        array = _float_array(array, (4,), what)
        return "quat", array, array.shape[:-1]
    if array.ndim >= 2 and array.shape[-2:] == (3, 3):
        array = _float_array(array, (3, 3), what)
        return "matrix", _to_records(array), array.shape[:-2]
    raise ValueError(f"{what} must be quaternions (..., 4) or matrices (..., 3, 3), got shape "
                     f"{array.shape}; convert Euler angles with euler_to_quat first")


def misorientation(cs, a, b, axes=False, threads=0):
    """Smallest misorientation angle (radians) between a[k] and b[k] over the crystal set's
    symmetry, as AxisAngleMat gives it (within 1e-12 rad).

    a, b: quaternions (..., 4) or matrices (..., 3, 3), both of one kind, shapes broadcast.
    axes: also return the (..., 3) unit axes in a's crystal frame ((1, 0, 0) for 0 and pi).
    threads: 0 = every hardware thread, 1 = the calling thread, k = at most k; the
    results do not depend on it.  Returns angles, or (angles, axes)."""
    kind_a, a, lead_a = _orientations(a, "a")
    kind_b, b, lead_b = _orientations(b, "b")
    if kind_a != kind_b:
        raise ValueError(f"a holds {kind_a}s and b {kind_b}s; give both in one form")
    try:
        lead = np.broadcast_shapes(lead_a, lead_b)
    except ValueError:
        raise ValueError(f"the shapes of a {lead_a} and b {lead_b} do not broadcast") from None
    tail = (4,) if kind_a == "quat" else (3, 3)
    a = np.ascontiguousarray(np.broadcast_to(a, lead + tail))
    b = np.ascontiguousarray(np.broadcast_to(b, lead + tail))
    n = int(np.prod(lead, dtype=np.int64))
    angle = np.empty(lead, dtype=np.float64)
    axis = np.empty(lead + (3,), dtype=np.float64) if axes else None
    if n:
        record = TQuat if kind_a == "quat" else TMat3D
        export = "BatchMisorientationQuat" if kind_a == "quat" else "BatchMisorientation"
        axis_pointer = _pointer(axis, TVec3D) if axes else None
        _check(getattr(library(), export)(C.byref(cs.record), _pointer(a, record),
                                          _pointer(b, record), n, _pointer(angle, C.c_double),
                                          axis_pointer, _threads(threads)), export)
    return (angle, axis) if axes else angle


def grid_misorientation(cs, g, threads=0):
    """Misorientation angle of every pixel of a row-major map with its right and its lower
    neighbour.  g: (h, w, 3, 3) matrices, (h, w, 4) quaternions or (h, w, 3) Euler angles.
    Returns (right, down), each (h, w), NaN where there is no neighbour or either
    orientation holds a NaN."""
    array = np.asarray(g)
    if array.ndim == 4 and array.shape[2:] == (3, 3):
        stored = _to_records(_float_array(array, (3, 3), "g"))
    elif array.ndim == 3 and array.shape[2] in (3, 4):
        stored = np.empty(array.shape[:2] + (3, 3), dtype=np.float64)
        if array.shape[2] == 4:
            _, stored = _convert("BatchQuat2Matrix", array, (4,), TQuat, (3, 3), TMat3D, "g")
        else:
            _, stored = _convert("BatchEuler2Matrix", array, (3,), TVec3D, (3, 3), TMat3D, "g")
    else:
        raise ValueError("g must be a map of matrices (h, w, 3, 3), quaternions (h, w, 4) or "
                         f"Euler angles (h, w, 3), got shape {array.shape}")
    height, width = stored.shape[:2]
    right = np.empty((height, width), dtype=np.float64)
    down = np.empty((height, width), dtype=np.float64)
    if height and width:
        _check(library().BatchGridMisorientation(
            C.byref(cs.record), _pointer(stored, TMat3D), width, height,
            _pointer(right, C.c_double), _pointer(down, C.c_double), _threads(threads)),
            "BatchGridMisorientation")
    return right, down


def normalize_euler(cs, e, threads=0):
    """NormalizeEuler of every (..., 3) triple into the group's reduced zone; a new array
    (NaN where a triple holds a NaN or an infinity)."""
    out = np.array(_float_array(e, (3,), "e"), dtype=np.float64, copy=True, order="C")
    n = out.size // 3
    if n:
        _check(library().BatchNormalizeEuler(C.byref(cs.record), _pointer(out, TVec3D), n,
                                             _threads(threads)), "BatchNormalizeEuler")
    return out
