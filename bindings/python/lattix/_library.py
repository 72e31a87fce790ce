"""Finding and loading the lattix shared library."""
import ctypes
import ctypes.util
import os
import sys

from ._exports import declare

_NAMES = {"linux": ("liblattix.so", "liblattix.so.0"), "darwin": ("liblattix.dylib",),
          "win32": ("lattix.dll",)}


class LattixLibraryNotFound(OSError):
    """No lattix shared library could be loaded; the message lists every place tried."""


def _candidates():
    """(description, path) in the order tried: LATTIX_LIBRARY, next to the package, the system."""
    names = _NAMES.get(sys.platform, _NAMES["linux"])
    explicit = os.environ.get("LATTIX_LIBRARY")
    if explicit:
        yield "LATTIX_LIBRARY", explicit
        return
    here = os.path.dirname(os.path.abspath(__file__))
    for name in names:
        yield "next to the package", os.path.join(here, name)
    found = ctypes.util.find_library("lattix")
    if found:
        yield "ctypes.util.find_library", found
    for name in names:
        yield "the system's library path", name


def load(path=None):
    """Loads the library (from path, else searched for) and declares every export's types."""
    if path is not None:
        return declare(ctypes.CDLL(os.fspath(path)))
    tried = []
    for where, candidate in _candidates():
        if os.path.isabs(candidate) and not os.path.exists(candidate):
            tried.append(f"  {candidate} ({where}): no such file")
            continue
        try:
            return declare(ctypes.CDLL(candidate))
        except OSError as error:
            tried.append(f"  {candidate} ({where}): {error}")
    raise LattixLibraryNotFound(
        "the lattix shared library could not be loaded; tried:\n" + "\n".join(tried)
        + "\nSet LATTIX_LIBRARY to the full path of liblattix.so, or copy it next to the package.")


_loaded = None


def library():
    """The process's lattix library, loaded on first use."""
    global _loaded
    if _loaded is None:
        _loaded = load()
    return _loaded
