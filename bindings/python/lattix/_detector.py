"""numpy layer over the detector exports: the gnomonic projection of crystal directions and
lattice planes onto a flat EBSD screen, and the five pattern-centre conventions.

Frames (all right-handed):
  * sample S: X = RD, Y = TD, Z = ND; an orientation matrix g takes sample to crystal
    coordinates (``g @ s``), Bunge Euler angles in radians as in euler_to_matrix;
  * projection G: origin at the source point, Z_G towards the pattern centre (PC) and
    normal to the screen, X_G right and Y_G up in the displayed pattern (seen from behind
    the screen, looking towards the sample; row 0 at the top);
  * pixels: continuous (x, y) in binned pixels, origin at the outer top-left corner of the
    image, x right, y down; the centre of pixel (row i, column j) is (j + 1/2, i + 1/2).

Matrices are given and returned as people write them (``g @ s``, ``M_SG @ v_S``); the
library's records store columns, so matrices cross the boundary transposed and this layer
converts them.  Angles of the detector are in degrees.
"""
import ctypes as C
import dataclasses

import numpy as np

from ._library import library
from ._records import TDetector, TMat3D, TVec3D

CONVENTIONS = {"bruker": 0, "edax": 1, "width": 2, "emsoft4": 3, "emsoft5": 4}
"""Pattern-centre conventions by name (lattixDetector.h's lxPc* values):
  bruker  (PCx, PCy, PCz) = (X_pc/Nx, Y_pc/Ny, DD/Ny), y down from the top-left corner;
  edax    (x*, y*, z*)    = (X_pc/Nx, (Ny - Y_pc)/Ny, DD/min(Nx, Ny)), EDAX/TSL;
  width   (x*, y*, z*)    = (X_pc/Nx, (Ny - Y_pc)/Nx, DD/Nx), y* and z* fractions of the width;
  emsoft4 (xpc, ypc, L)   = (b (X_pc - Nx/2), b (Ny/2 - Y_pc), DD b pixel_size);
  emsoft5 (xpc, ypc, L)   = (b (Nx/2 - X_pc), b (Ny/2 - Y_pc), DD b pixel_size).
EMsoft xpc, ypc are unbinned pixels and L micrometres (these two need pixel_size > 0)."""

_STATUS_TEXTS = {
    -1: "a required pointer is null",
    -2: "the convention is none of the five",
    -3: "a detector field is non-finite or out of range (width, height, binning >= 1, "
        "PCz > 0, pixel_size > 0 for the EMsoft conventions)",
    -4: "an argument is non-finite, a zero vector, or a pattern centre with no valid "
        "detector distance (PCz <= 0)",
}

_MAT_SIZE = C.sizeof(TMat3D)
_VEC_SIZE = C.sizeof(TVec3D)


def _check(status, export):
    if status < 0:
        text = _STATUS_TEXTS.get(status, "unknown status")
        raise ValueError(f"{export} refused: {text} (status {status})")
    return status


def _convention(convention):
    if isinstance(convention, str) and convention.lower() in CONVENTIONS:
        return CONVENTIONS[convention.lower()]
    raise ValueError(f"unknown pattern-centre convention {convention!r}; use one of "
                     + ", ".join(CONVENTIONS))


def _real(x, what):
    array = np.asarray(x)
    if array.dtype.kind not in "fiu":
        raise ValueError(f"{what} must hold real numbers, got dtype {array.dtype}")
    return np.asarray(array, dtype=np.float64)


def _matrices(g, lead):
    """g (..., 3, 3) broadcast to lead, as the library's column records (transposed)."""
    g = _real(g, "g")
    if g.ndim < 2 or g.shape[-2:] != (3, 3):
        raise ValueError(f"g must have shape (..., 3, 3), got {g.shape}")
    return np.ascontiguousarray(np.swapaxes(np.broadcast_to(g, lead + (3, 3)), -1, -2))


def _lead(g, other, what):
    g_lead = np.shape(g)[:-2]
    try:
        return np.broadcast_shapes(g_lead, other)
    except ValueError:
        raise ValueError(f"the shapes of g {g_lead} and {what} {other} do not broadcast") from None


def _vectors(v, what):
    v = _real(v, what)
    if v.ndim < 1 or v.shape[-1] != 3:
        raise ValueError(f"{what} must have shape (..., 3), got {v.shape}")
    return v


def _at(array, k, size, record):
    return C.cast(C.c_void_p(array.ctypes.data + k * size), C.POINTER(record))


@dataclasses.dataclass
class Detector:
    """An EBSD detector (a TDetector record).

    width, height: columns Nx and rows Ny of the pattern as used (after binning);
    binning: b >= 1; pixel_size: unbinned pixel size in micrometres (only the EMsoft
    conventions need it; 0 = unknown); sample_tilt (sigma, usually 70), tilt (theta,
    positive turns the screen normal below the horizontal and moves features up), azimuthal
    (omega, positive moves features right), twist (gamma, positive turns features
    counter-clockwise about the PC): degrees; pc: the pattern centre in the Bruker
    convention (PCx, PCy, PCz).  The library checks the fields when a method is called and
    a refused detector raises ValueError.
    """
    width: int
    height: int
    binning: int = 1
    pixel_size: float = 0.0
    sample_tilt: float = 70.0
    tilt: float = 0.0
    azimuthal: float = 0.0
    twist: float = 0.0
    pc: tuple = (0.5, 0.5, 0.5)

    def record(self):
        """The TDetector record of these fields."""
        pcx, pcy, pcz = (float(v) for v in self.pc)
        return TDetector(int(self.width), int(self.height), int(self.binning),
                         float(self.pixel_size), float(self.sample_tilt), float(self.tilt),
                         float(self.azimuthal), float(self.twist), pcx, pcy, pcz)

    @classmethod
    def from_pattern_centre(cls, convention, pc, width, height, binning=1, pixel_size=0.0,
                            sample_tilt=70.0, tilt=0.0, azimuthal=0.0, twist=0.0):
        """A detector whose PC is given in a convention (see CONVENTIONS).  Example: 60 x 60,
        binning 8, 59.2 um, emsoft4 (3.4848, 114.2016, 15767.7) gives Bruker (0.50726,
        0.26208, 0.554888).  Raises ValueError when the library refuses it."""
        detector = cls(width, height, binning, pixel_size, sample_tilt, tilt, azimuthal, twist)
        code = _convention(convention)
        values = _real(pc, "pc")
        if values.shape != (3,):
            raise ValueError(f"pc must hold three numbers, got shape {values.shape}")
        record = detector.record()
        _check(library().DetectorSetPatternCentre(C.byref(record), code,
                                                  (C.c_double * 3)(*values)),
               "DetectorSetPatternCentre")
        detector.pc = (record.PCx, record.PCy, record.PCz)
        return detector

    def pattern_centre(self, convention):
        """The PC in a convention (see CONVENTIONS) as a (3,) array.  Example: 80 x 60,
        Bruker (0.25, 1, 1) reads as width (0.25, 0, 0.75)."""
        code = _convention(convention)
        out = (C.c_double * 3)()
        record = self.record()
        _check(library().DetectorGetPatternCentre(C.byref(record), code, out),
               "DetectorGetPatternCentre")
        return np.array(out[:], dtype=np.float64)

    def sample_matrix(self):
        """M_SG = Rz(twist) Ry(azimuthal) Rx(sample_tilt - tilt) P as a (3, 3) array with
        ``M_SG @ v_S = v_G``; its rows are X_G, Y_G, Z_G in sample coordinates.  Example:
        sigma = 70, others 0: rows (0, 1, 0), (-0.939693, 0, 0.342020),
        (0.342020, 0, 0.939693)."""
        record, m = self.record(), TMat3D()
        _check(library().DetectorSampleMatrix(C.byref(record), C.byref(m)),
               "DetectorSampleMatrix")
        stored = np.ctypeslib.as_array(m.col).view(np.float64).reshape(3, 3)
        return np.ascontiguousarray(stored.T)

    def project(self, g, directions):
        """Projects crystal-frame Cartesian directions (..., 3) (as Miller2Vec makes them from
        [uvw]; any length > 0) seen in orientation(s) g (..., 3, 3), broadcast together, onto
        the screen.  Returns (x, y, status): continuous pixel positions and per element
        0 on the screen rectangle [0, Nx] x [0, Ny], 1 on the screen plane outside it,
        2 pointing away from the screen (x, y NaN there).  Example: Ni, identity g,
        640 x 480, sigma 70, PC (0.5, 0.3, 0.6): [001] -> (320, 39.176573), status 0."""
        directions = _vectors(directions, "directions")
        lead = _lead(g, directions.shape[:-1], "directions")
        stored = _matrices(g, lead)
        vectors = np.ascontiguousarray(np.broadcast_to(directions, lead + (3,)))
        n = int(np.prod(lead, dtype=np.int64))
        x = np.full(n, np.nan)
        y = np.full(n, np.nan)
        status = np.empty(n, dtype=np.int32)
        record, lib = self.record(), library()
        xv, yv = C.c_double(), C.c_double()
        for k in range(n):
            s = _check(lib.DetectorProject(C.byref(record), _at(stored, k, _MAT_SIZE, TMat3D),
                                           _at(vectors, k, _VEC_SIZE, TVec3D), C.byref(xv),
                                           C.byref(yv)), "DetectorProject")
            status[k] = s
            if s != 2:
                x[k], y[k] = xv.value, yv.value
        return x.reshape(lead), y.reshape(lead), status.reshape(lead)

    def direction(self, g, x, y):
        """The unit crystal-frame direction (..., 3) seen at continuous pixel positions (x, y)
        in orientation(s) g (..., 3, 3), all broadcast together; the inverse of project.
        Example (set-up of project): (200.5, 100.5) gives (0.183037, -0.379573, 0.906875)."""
        x, y = _real(x, "x"), _real(y, "y")
        try:
            lead = _lead(g, np.broadcast_shapes(x.shape, y.shape), "x, y")
        except ValueError:
            raise ValueError(f"the shapes of x {x.shape} and y {y.shape} do not broadcast") \
                from None
        stored = _matrices(g, lead)
        xs = np.broadcast_to(x, lead).ravel()
        ys = np.broadcast_to(y, lead).ravel()
        out = np.empty(lead + (3,), dtype=np.float64)
        record, lib = self.record(), library()
        for k in range(xs.size):
            _check(lib.DetectorDirection(C.byref(record), _at(stored, k, _MAT_SIZE, TMat3D),
                                         float(xs[k]), float(ys[k]),
                                         _at(out, k, _VEC_SIZE, TVec3D)), "DetectorDirection")
        return out

    def band_line(self, g, normals):
        """Centre lines a x + b y + c = 0 (pixels, a^2 + b^2 = 1) of the bands of crystal-frame
        plane normals (..., 3) (as Miller2Vec makes them from (hkl)) in orientation(s) g
        (..., 3, 3), signed so the normal has n_Gz >= 0 (a x + b y + c >= 0 at the PC).
        Returns (lines (..., 3), status): 0 the line crosses the screen rectangle, 1 it
        misses it, 2 the band is at infinity (line NaN).  Example (set-up of project):
        (-1 1 1) gives (0.615133, -0.788424, 22.573104)."""
        normals = _vectors(normals, "normals")
        lead = _lead(g, normals.shape[:-1], "normals")
        stored = _matrices(g, lead)
        vectors = np.ascontiguousarray(np.broadcast_to(normals, lead + (3,)))
        n = int(np.prod(lead, dtype=np.int64))
        lines = np.full((n, 3), np.nan)
        status = np.empty(n, dtype=np.int32)
        record, lib, line = self.record(), library(), (C.c_double * 3)()
        for k in range(n):
            s = _check(lib.DetectorBandLine(C.byref(record), _at(stored, k, _MAT_SIZE, TMat3D),
                                            _at(vectors, k, _VEC_SIZE, TVec3D), line),
                       "DetectorBandLine")
            status[k] = s
            if s != 2:
                lines[k] = line[:]
        return lines.reshape(lead + (3,)), status.reshape(lead)
