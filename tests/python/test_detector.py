"""The detector layer against the worked numbers of the detector reference (published kikuchipy
and EMsoft values, recomputed ones): the pattern-centre conversions in both directions, the
sample matrix, projections, the inverse and band lines, round trips, and the errors."""
import math
import unittest

import numpy as np

import lattix

rng = np.random.default_rng(11)
NAMES = ("bruker", "edax", "width", "emsoft4", "emsoft5")

# (rows Ny, columns Nx), binning, pixel size (1 where the source gives L in units of it),
# input convention, then the PC in bruker, edax, width, emsoft4, emsoft5.
CONVERSIONS = {
    "C1": ((60, 60), 8, 59.2, "emsoft4", (0.50726, 0.26208, 0.554888), (0.50726, 0.73792, 0.554888),
           (0.50726, 0.73792, 0.554888), (3.4848, 114.2016, 15767.7), (-3.4848, 114.2016, 15767.7)),
    "C2": ((60, 60), 8, 59.2, "emsoft5", (0.50726, 0.26208, 0.554888), (0.50726, 0.73792, 0.554888),
           (0.50726, 0.73792, 0.554888), (3.4848, 114.2016, 15767.7), (-3.4848, 114.2016, 15767.7)),
    "C3": ((61, 61), 8, 59.2, "emsoft5", (0.521787, 0.201806, 0.689483), (0.521787, 0.798194, 0.689483),
           (0.521787, 0.798194, 0.689483), (10.632, 145.5187, 19918.9), (-10.632, 145.5187, 19918.9)),
    "C4": ((61, 61), 8, 59.2, "emsoft5", (0.478213, 0.201806, 0.689483), (0.478213, 0.798194, 0.689483),
           (0.478213, 0.798194, 0.689483), (-10.632, 145.5187, 19918.9), (10.632, 145.5187, 19918.9)),
    "C5": ((80, 60), 6, 50, "emsoft5", (0.501528, 0.527083, 0.669800), (0.501528, 0.472917, 0.893067),
           (0.501528, 0.630556, 0.893067), (0.55, -13, 16075.2), (-0.55, -13, 16075.2)),
    "C6": ((80, 60), 6, 50, "emsoft4", (0.501528, 0.527083, 0.669800), (0.501528, 0.472917, 0.893067),
           (0.501528, 0.630556, 0.893067), (0.55, -13, 16075.2), (-0.55, -13, 16075.2)),
    "C7": ((480, 640), 1, 50, "emsoft5", (0.5, 0.5, 0.625), (0.5, 0.5, 0.625), (0.5, 0.375, 0.46875),
           (0, 0, 15000), (0, 0, 15000)),
    "C8": ((60, 60), 8, 59.2, "emsoft5", (0.49274, 0.26208, 0.554888), (0.49274, 0.73792, 0.554888),
           (0.49274, 0.73792, 0.554888), (-3.4848, 114.2016, 15767.7), (3.4848, 114.2016, 15767.7)),
    "C9": ((60, 80), 1, 1, "edax", (0.35, 0, 0.65), (0.35, 1, 0.65), (0.35, 0.75, 0.4875),
           (-12, 30, 39), (12, 30, 39)),
    "C10": ((60, 80), 1, 1, "edax", (0.1, 0.8, 0.3), (0.1, 0.2, 0.3), (0.1, 0.15, 0.225),
            (-32, -18, 18), (32, -18, 18)),
    "C11": ((60, 80), 1, 1, "edax", (0.6, 0.4, 0.6), (0.6, 0.6, 0.6), (0.6, 0.45, 0.45),
            (8, 6, 36), (-8, 6, 36)),
    "C12": ((60, 60), 1, 1, "width", (0.25, 1, 0.75), (0.25, 0, 0.75), (0.25, 0, 0.75),
            (-15, -30, 45), (15, -30, 45)),
    "C13": ((60, 80), 1, 1, "width", (0.25, 1, 1), (0.25, 0, 1), (0.25, 0, 0.75),
            (-20, -30, 60), (20, -30, 60)),
    "C14": ((60, 80), 8, 59.2, "bruker", (0.4, 0.2, 0.6), (0.4, 0.8, 0.6), (0.4, 0.6, 0.45),
            (-64, 144, 17049.6), (64, 144, 17049.6)),
    "C15": ((60, 60), 8, 70, "bruker", (0.4221, 0.2179, 0.4954), (0.4221, 0.7821, 0.4954),
            (0.4221, 0.7821, 0.4954), (-37.392, 135.408, 16645.44), (37.392, 135.408, 16645.44)),
    "C16": ((120, 160), 4, 59.2, "width", (0.489356, 0.175241, 0.658630),
            (0.489356, 0.824759, 0.658630),
            (0.48935617839432832, 0.61856923343313686, 0.49397253582464035),
            (-6.812046, 155.884309, 18715.631437), (6.812046, 155.884309, 18715.631437)),
    "C17": ((120, 160), 1, 236.8, "width", (0.489356, 0.175241, 0.658630),
            (0.489356, 0.824759, 0.658630),
            (0.48935617839432832, 0.61856923343313686, 0.49397253582464035),
            (-1.703011, 38.971077, 18715.631437), (1.703011, 38.971077, 18715.631437)),
    "C18": ((360, 480), 1, 50, "bruker", (0.51, 0.61856923343313686, 0.49397253582464035),
            (0.51, 0.381431, 0.493973), (0.51, 0.286073, 0.370479),
            (4.8, -42.684924, 8891.505645), (-4.8, -42.684924, 8891.505645)),
    "C19": ((256, 311), 1, 75.88, "width", (0.52, 0.330621, 0.800582), (0.52, 0.669379, 0.800582),
            (0.520, 0.551, 0.659), (6.22, 43.361, 15551.53012), (-6.22, 43.361, 15551.53012)),
    "C20": ((640, 480), 1, 25, "bruker", (0.45, 0.55, 0.7), (0.45, 0.45, 0.933333),
            (0.45, 0.6, 0.933333), (-24, -32, 11200), (24, -32, 11200)),
    "C21": ((480, 640), 2, 30, "bruker", (0.51, 0.31, 0.62), (0.51, 0.69, 0.62),
            (0.51, 0.5175, 0.465), (12.8, 182.4, 17856), (-12.8, 182.4, 17856)),
}


def tolerances(values):
    # The reference prints six decimals; the EMsoft numbers are large, so relative there.
    return dict(rtol=1e-6, atol=1.5e-6 if max(abs(v) for v in values) <= 2 else 2e-5)


def ni_p1(tilt=0.0):
    return lattix.Detector(640, 480, pc=(0.5, 0.3, 0.6), tilt=tilt)


class PatternCentre(unittest.TestCase):
    def test_every_conversion_both_ways(self):
        for name, ((rows, cols), b, delta, given, *expected) in CONVERSIONS.items():
            table = dict(zip(NAMES, expected))
            d = lattix.Detector.from_pattern_centre(given, table[given], cols, rows, b, delta)
            for convention, want in table.items():
                with self.subTest(row=name, to=convention):
                    np.testing.assert_allclose(d.pattern_centre(convention), want,
                                               **tolerances(want))
                with self.subTest(row=name, back_from=convention):
                    back = lattix.Detector.from_pattern_centre(convention, want, cols, rows, b,
                                                               delta)
                    np.testing.assert_allclose(back.pc, table["bruker"], rtol=1e-5, atol=2e-6)

    def test_round_trips_on_random_detectors(self):
        for _ in range(40):
            cols, rows = rng.integers(20, 800, size=2)
            d = lattix.Detector(int(cols), int(rows), binning=int(rng.integers(1, 9)),
                                pixel_size=float(rng.uniform(10, 300)),
                                pc=tuple(rng.uniform([0.1, 0.1, 0.3], [0.9, 0.9, 1.2])))
            for convention in NAMES:
                pc = d.pattern_centre(convention)
                again = lattix.Detector.from_pattern_centre(convention, pc, d.width, d.height,
                                                            d.binning, d.pixel_size)
                np.testing.assert_allclose(again.pc, d.pc, rtol=1e-12, atol=1e-13)


class Geometry(unittest.TestCase):
    def test_sample_matrix_rows_and_orientation_as_written(self):
        cases = [((70, 0, 0, 0), [[0, 1, 0], [-0.939693, 0, 0.342020], [0.342020, 0, 0.939693]]),
                 ((90, 0, 0, 0), [[0, 1, 0], [-1, 0, 0], [0, 0, 1]]),
                 ((70, 8.3, 4.7, -1.02), [[0.023166, 0.996479, 0.080573],
                                          [-0.881029, -0.017742, 0.472729],
                                          [0.472494, -0.081939, 0.877517]]),
                 ((70, 0, 5, 0), [[0.029809, 0.996195, 0.081900], [-0.939693, 0, 0.342020],
                                  [0.340719, -0.087156, 0.936117]]),
                 ((70, 0, 0, 5), [[0.081900, 0.996195, -0.029809],
                                  [-0.936117, 0.087156, 0.340719], [0.342020, 0, 0.939693]])]
        for (sigma, theta, omega, gamma), rows in cases:
            with self.subTest(angles=(sigma, theta, omega, gamma)):
                d = lattix.Detector(640, 480, sample_tilt=sigma, tilt=theta, azimuthal=omega,
                                    twist=gamma)
                np.testing.assert_allclose(d.sample_matrix(), rows, atol=1.5e-6)
        # The orientation (90, 90 - sigma + theta, 0) is M_SG itself, through the Euler layer.
        d = lattix.Detector(60, 60, pc=(0.4221, 0.2179, 0.4954))
        g = lattix.euler_to_matrix(np.radians([90, 20, 0]))
        np.testing.assert_allclose(d.sample_matrix(), g, atol=1e-15)

    def test_projections_of_the_worked_examples(self):
        identity = np.eye(3)
        cases = [  # detector, g, [uvw], x, y, status
            (ni_p1(), identity, (0, 0, 1), 320.0, 39.176573, 0),
            (ni_p1(), identity, (1, 0, 1), 320.0, 278.296606, 0),
            (ni_p1(), identity, (0, 1, 1), 626.483198, 39.176573, 0),
            (ni_p1(), identity, (1, 1, 1), 544.699331, 278.296606, 0),
            (ni_p1(), identity, (-1, 0, 1), 320.0, -473.617993, 1),
            (ni_p1(), identity, (1, 0, 0), 320.0, 935.273497, 1),
            (ni_p1(), identity, (0, 1, 0), math.nan, math.nan, 2),
            (ni_p1(10), identity, (0, 0, 1), 320.0, -22.276878, 1),
            (ni_p1(10), identity, (1, 0, 1), 320.0, 221.169367, 0),
            (ni_p1(10), identity, (1, 1, 1), 530.830633, 221.169367, 0),
        ]
        p2 = lattix.Detector(60, 60, pc=(0.4221, 0.2179, 0.4954))
        g2 = lattix.euler_to_matrix(np.radians([90, 20, 0]))
        for uvw, x, y, status in [((0, 0, 1), 25.326, 13.074, 0), ((1, 0, 1), 55.05, 13.074, 0),
                                  ((0, -1, 1), 25.326, 42.798, 0), ((1, -1, 1), 55.05, 42.798, 0),
                                  ((1, 0, 2), 40.188, 13.074, 0), ((-1, -1, 3), 15.418, 22.982, 0),
                                  ((0, 1, 1), 25.326, -16.65, 1), ((-1, 0, 1), -4.398, 13.074, 1)]:
            cases.append((p2, g2, uvw, x, y, status))
        for d, g, uvw, x, y, status in cases:
            with self.subTest(detector=(d.width, d.tilt), uvw=uvw):
                px, py, s = d.project(g, np.array(uvw, float))
                self.assertEqual(int(s), status)
                np.testing.assert_allclose([px, py], [x, y], atol=2e-6)
        # The same in one call with an array of directions.
        uvws = np.array([c[2] for c in cases[:7]], float)
        px, py, s = ni_p1().project(identity, uvws)
        np.testing.assert_array_equal(s, [c[5] for c in cases[:7]])
        np.testing.assert_allclose(py[:6], [c[4] for c in cases[:6]], atol=2e-6)

    def test_direction_under_a_pixel(self):
        r = ni_p1().direction(np.eye(3), 200.5, 100.5)
        np.testing.assert_allclose(r, [0.183037, -0.379573, 0.906875], atol=1.5e-6)
        self.assertAlmostEqual(math.degrees(math.acos(r[2])), 24.923010, places=5)  # to [001]
        g2 = lattix.euler_to_matrix(np.radians([90, 20, 0]))
        np.testing.assert_allclose(ni_p1().direction(g2, 200.5, 100.5),
                                   [-0.379573, 0.138171, 0.914786], atol=1.5e-6)

    def test_band_lines(self):
        d = ni_p1()
        pc_direction = d.sample_matrix()[2]  # Z_G in the sample (= crystal) frame
        normals = np.array([(0, 2, 0), (2, 0, 0), (-1, 1, 1), (1, 1, 1),
                            (d.sample_matrix().T @ [0, 0.1, 1]), pc_direction], float)
        lines, status = d.band_line(np.eye(3), normals)
        np.testing.assert_array_equal(status, [0, 0, 0, 0, 1, 2])
        np.testing.assert_allclose(lines[:4], [(1, 0, -320), (0, 1, -39.176573),
                                               (0.615133, -0.788424, 22.573104),
                                               (0.858373, 0.513026, -31.701058)], atol=2e-6)
        self.assertTrue(np.all(np.isnan(lines[5])))
        # The (-111) line passes through the [101] zone axis, the (200) line through [001].
        self.assertAlmostEqual(lines[2] @ [320, 278.296606, 1], 0, delta=2e-6)
        self.assertAlmostEqual(lines[1] @ [320, 39.176573, 1], 0, delta=2e-6)

    def test_inverse_and_zone_on_band_round_trips(self):
        d = lattix.Detector(320, 240, pc=(0.47, 0.31, 0.66), tilt=6, azimuthal=2, twist=-1.5)
        g = lattix.euler_to_matrix(rng.uniform(0, np.pi, size=(200, 3)))
        v = rng.normal(size=(200, 3))
        x, y, status = d.project(g, v)
        seen = status != 2
        self.assertGreater(seen.sum(), 50)
        back = d.direction(g[seen], x[seen], y[seen])
        unit = v[seen] / np.linalg.norm(v[seen], axis=1, keepdims=True)
        np.testing.assert_allclose(back, unit, atol=1e-9)
        # Every direction in a plane lands on that plane's band line.
        n = np.cross(v, rng.normal(size=(200, 3)))
        lines, line_status = d.band_line(g, n)
        ok = seen & (line_status != 2)
        residual = np.einsum("ij,ij->i", lines[ok], np.stack([x[ok], y[ok], np.ones(ok.sum())], 1))
        scale = 1 + np.abs(x[ok]) + np.abs(y[ok])
        self.assertLess(np.max(np.abs(residual) / scale), 1e-9)


class Errors(unittest.TestCase):
    def test_refusals_carry_the_meaning(self):
        cases = [
            (lambda: lattix.Detector(0, 480).sample_matrix(), "out of range"),
            (lambda: lattix.Detector(640, 480, binning=0).pattern_centre("edax"), "out of range"),
            (lambda: lattix.Detector(640, 480, pc=(0.5, 0.5, 0)).project(np.eye(3), [0, 0, 1]),
             "out of range"),
            (lambda: lattix.Detector(640, 480).pattern_centre("emsoft5"), "pixel_size"),
            (lambda: lattix.Detector.from_pattern_centre("bruker", (0.5, 0.5, -1), 640, 480),
             "PCz <= 0"),
            (lambda: lattix.Detector(640, 480).project(np.eye(3), [0, 0, 0]), "zero vector"),
            (lambda: lattix.Detector(640, 480).direction(np.eye(3), math.nan, 3), "non-finite"),
            (lambda: lattix.Detector(640, 480).pattern_centre("tsl"), "unknown pattern-centre"),
            (lambda: lattix.Detector(640, 480).project(np.eye(2), [0, 0, 1]), "(..., 3, 3)"),
            (lambda: lattix.Detector(640, 480).band_line(np.eye(3), [0, 1]), "(..., 3)"),
            (lambda: lattix.Detector(640, 480).project(np.zeros((2, 3, 3)), np.ones((3, 3))),
             "do not broadcast"),
        ]
        for call, text in cases:
            with self.subTest(text=text):
                with self.assertRaises(ValueError) as caught:
                    call()
                self.assertIn(text, str(caught.exception))


if __name__ == "__main__":
    unittest.main()
