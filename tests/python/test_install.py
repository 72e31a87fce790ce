"""pip installs bindings/python into a fresh virtual environment (offline, Debian's setuptools and
numpy through --system-site-packages), and the installed package finds and uses the library."""
import ast
import os
import shutil
import subprocess
import sys
import tempfile
import unittest

SOURCE = os.environ["LATTIX_SOURCE_DIR"]
LIBRARY = os.environ["LATTIX_LIBRARY"]

USE = """
import lattix, numpy as np
cs = lattix.CrystalSet.from_lattice(4, 4, 4, 90, 90, 90, 11)
q = lattix.euler_to_quat(np.array([[0.0, 0.0, 0.0], [np.pi / 2, 0.0, 0.0], [0.0, 0.3, 0.0]]))
print(lattix.__file__)
print(repr(lattix.misorientation(cs, q[:1], q).tolist()))
"""


class InstalledPackage(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.work = tempfile.mkdtemp(prefix="lattix-venv-")
        # A copy: pip builds in the source tree and would leave build/ and egg-info there.
        source = os.path.join(cls.work, "src")
        shutil.copytree(os.path.join(SOURCE, "bindings", "python"), source,
                        ignore=shutil.ignore_patterns("__pycache__", "build", "*.egg-info", "*.so*"))
        cls.venv = os.path.join(cls.work, "venv")
        subprocess.run([sys.executable, "-m", "venv", "--system-site-packages", cls.venv], check=True)
        cls.python = os.path.join(cls.venv, "bin", "python")
        env = dict(os.environ, PIP_DISABLE_PIP_VERSION_CHECK="1", PIP_NO_INPUT="1")
        env.pop("PYTHONPATH", None)
        subprocess.run([cls.python, "-m", "pip", "install", "--quiet", "--no-index",
                        "--no-build-isolation", source], check=True, env=env, cwd=cls.work)

    @classmethod
    def tearDownClass(cls):
        shutil.rmtree(cls.work, ignore_errors=True)

    def run_in_venv(self, library, code=USE):
        env = {k: v for k, v in os.environ.items() if k not in ("PYTHONPATH", "LATTIX_LIBRARY")}
        if library is not None:
            env["LATTIX_LIBRARY"] = library
        return subprocess.run([self.python, "-c", code], capture_output=True, text=True, env=env,
                              cwd=self.work)

    def check_use(self, result):
        self.assertEqual(result.returncode, 0, result.stderr)
        path, angles = result.stdout.strip().split("\n")
        self.assertTrue(path.startswith(self.venv), f"imported from {path}")
        angles = ast.literal_eval(angles)
        self.assertEqual(len(angles), 3)
        self.assertLess(abs(angles[0]), 1e-7)  # identical
        self.assertLess(abs(angles[1]), 1e-7)  # a cubic four-fold apart
        self.assertAlmostEqual(angles[2], 0.3, places=12)

    def test_with_lattix_library(self):
        self.check_use(self.run_in_venv(LIBRARY))

    def test_next_to_the_package_and_the_error_that_names_what_was_tried(self):
        package = self.run_in_venv(
            None, "import lattix, os; print(os.path.dirname(lattix.__file__))").stdout.strip()
        self.assertTrue(package.startswith(self.venv), package)
        missing = self.run_in_venv("/nonexistent/liblattix.so")
        self.assertNotEqual(missing.returncode, 0)
        self.assertIn("/nonexistent/liblattix.so (LATTIX_LIBRARY)", missing.stderr)
        self.assertIn("LattixLibraryNotFound", missing.stderr)
        nothing = self.run_in_venv(None)
        if nothing.returncode != 0:  # (unless a lattix is installed system-wide)
            self.assertIn("next to the package", nothing.stderr)
            self.assertIn("the system's library path", nothing.stderr)
        target = os.path.join(package, "liblattix.so")
        shutil.copyfile(LIBRARY, target)
        try:
            self.check_use(self.run_in_venv(None))
        finally:
            os.remove(target)


if __name__ == "__main__":
    unittest.main()
