"""The package's export table, lattix/lattix.map and the public headers name the same exports
with the same argument and result types (the headers parsed here, independently of the table)."""
import ctypes as C
import os
import re
import unittest

import lattix

SOURCE = os.environ["LATTIX_SOURCE_DIR"]
P = C.POINTER

_SCALARS = {"void": None, "double": C.c_double, "float": C.c_float, "int32_t": C.c_int32,
            "int64_t": C.c_int64, "uint8_t": C.c_uint8, "TLtxBool": C.c_uint8,
            "uint16_t": C.c_uint16}


def expected_ctype(text):
    """The ctypes type a C parameter or result type must be declared with."""
    text = text.replace("const", " ").strip()
    pointer = text.endswith("*")
    base = text.rstrip("*").strip()
    if base == "TIndexText":
        return C.c_char_p
    if base == "TLtxMessageBoxHandler":
        return "handler"
    if not pointer:
        return _SCALARS[base]
    if base == "char":
        return C.c_char_p
    if base == "void":
        return C.c_void_p
    return P(_SCALARS[base]) if base in _SCALARS else P(getattr(lattix, base))


def header_declarations(path):
    """{name: (result C type, [parameter C types])} of every export in a header."""
    with open(path, encoding="utf-8") as f:
        text = f.read()
    text = re.sub(r"/\*.*?\*/", " ", text, flags=re.S)
    found = {}
    for result, name, params in re.findall(
            r"LATTIX_API\s+([\w\s\*]+?)\s*LATTIX_CALL\s+(\w+)\s*\(([^)]*)\)\s*;", text):
        params = params.strip()
        types = []
        if params and params != "void":
            for param in params.split(","):
                param = param.strip()
                # An array parameter ("double pc[3]") is a pointer, as in C.
                param = re.sub(r"\s*(\w+)\s*\[\d*\]$", r"* \1", param)
                # Drop the parameter name: the last identifier after the type.
                types.append(re.sub(r"\s*\b\w+\s*$", "", param) if re.search(r"[\w*]\s+\w+$", param)
                             else param)
        found[name] = (result, types)
    return found


def map_names():
    with open(os.path.join(SOURCE, "lattix", "lattix.map"), encoding="utf-8") as f:
        text = f.read()
    text = re.sub(r"/\*.*?\*/", " ", text, flags=re.S)
    global_part = text.split("global:")[1].split("local:")[0]
    return set(re.findall(r"\b(\w+)\s*;", global_part))


class ExportTable(unittest.TestCase):
    def test_table_map_and_headers_name_the_same_exports(self):
        table = {name for exports in lattix.EXPORTS.values() for name, _, _ in exports}
        declared = set()
        for header in lattix.HEADERS:
            declared |= set(header_declarations(os.path.join(SOURCE, "lattix", header)))
        self.assertEqual(set(lattix.EXPORTS), set(lattix.HEADERS))
        self.assertEqual(sorted(map_names() - table), [], "in lattix.map, not in the table")
        self.assertEqual(sorted(table - map_names()), [], "in the table, not in lattix.map")
        self.assertEqual(sorted(declared ^ table), [], "headers and table differ")
        self.assertEqual(sum(len(e) for e in lattix.EXPORTS.values()), len(table), "duplicates")

    def test_every_export_is_declared_with_the_header_types(self):
        for header in lattix.HEADERS:
            declarations = header_declarations(os.path.join(SOURCE, "lattix", header))
            for name, restype, argtypes in lattix.EXPORTS[header]:
                with self.subTest(export=name):
                    result, params = declarations[name]
                    self.assertEqual(restype, expected_ctype(result), "result type")
                    self.assertEqual(len(argtypes), len(params), "argument count")
                    for position, (got, want) in enumerate(zip(argtypes, params)):
                        want = expected_ctype(want)
                        if want == "handler":
                            self.assertIs(got, lattix.MESSAGE_BOX_HANDLER)
                        else:
                            self.assertEqual(got, want, f"argument {position + 1}")

    def test_loaded_library_answers_through_the_declared_types(self):
        # Undeclared, Dot returned garbage (an int read from a double register).
        lib = lattix.library()
        a, b = lattix.TVec3D(1, 2, 3), lattix.TVec3D(4, 5, 6)
        self.assertEqual(lib.Dot(C.byref(a), C.byref(b)), 32.0)
        self.assertEqual(lib.Modulus(-90.0, 360.0), 270.0)
        self.assertEqual(lib.GetLaueGroupIndex(225), 11)
        self.assertEqual(C.sizeof(lattix.TQuat), 32)


if __name__ == "__main__":
    unittest.main()
