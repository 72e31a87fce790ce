"""The ctypes mirror agrees with the C layout, and the library works through it."""
import math
import subprocess
import sys

sys.path.insert(0, sys.argv[3])
import lattix  # noqa: E402

layout_program, library = sys.argv[1], sys.argv[2]
failures = []

# Every size and offset the C compiler gives must be the mirror's.
records = {r.__name__: r for r in lattix.RECORDS}
for line in subprocess.run([layout_program], check=True, capture_output=True, text=True).stdout.split("\n"):
    if not line:
        continue
    name, value = line.split()
    value = int(value)
    if "." in name:
        record, field = name.split(".")
        got = getattr(records[record], field).offset
    else:
        got = __import__("ctypes").sizeof(records[name])
    if got != value:
        failures.append(f"{name}: C says {value}, ctypes {got}")

lib = lattix.load(library)
import ctypes as C  # noqa: E402

e = lattix.TVec3D(0.3, 0.5, 1.2)
g = lattix.TMat3D()
lib.Euler2Matrix(C.byref(e), C.byref(g))
back = lattix.TVec3D()
lib.Matrix2Euler(C.byref(g), C.byref(back))
if max(abs(back.x - 0.3), abs(back.y - 0.5), abs(back.z - 1.2)) > 1e-12:
    failures.append("Euler round trip through ctypes")

cs = lattix.TCrySet()
lib.InitCrySet2(C.byref(cs), b"cubic", b"ref", 4, 4, 4, 90, 90, 90, 11, 225)
if lib.GetInitIoStatus() != 0 or cs.SymOpCount != 24:
    failures.append(f"InitCrySet2: io status {lib.GetInitIoStatus()}, {cs.SymOpCount} operators")
if abs(lib.LatticeSpacing(C.byref(cs), 1, 1, 1) - 4 / math.sqrt(3)) > 1e-6:
    failures.append("LatticeSpacing(111)")
idx = lattix.TIndices()
if lib.ValidateIndices(1, b"2-1-10", C.byref(idx)) != 1 or list(idx.v)[:3] != [1, 0, 0]:
    failures.append("ValidateIndices 2-1-10")
if abs(lib.deBroglie(20.0) - 0.085855) > 5e-7:
    failures.append("deBroglie(20)")
buffer = C.create_string_buffer(39)
if lib.ErrMsg(buffer) != b"Ok":
    failures.append("ErrMsg")

for f in failures:
    print("FAIL:", f)
print(f"{0 if failures else 1} passed, {len(failures)} failed")
sys.exit(1 if failures else 0)
