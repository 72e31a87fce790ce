"""The numpy layer: conventions, round trips, agreement with the per-call exports in every Laue
group, thread-count independence, maps with unindexed pixels, and clear errors."""
import ctypes as C
import math
import unittest

import numpy as np

import lattix
from lattix import _arrays

lib = lattix.library()
rng = np.random.default_rng(7)


def random_euler(n):
    u = rng.uniform(size=(n, 3))
    return np.stack([2 * np.pi * u[:, 0], np.arccos(2 * u[:, 1] - 1), 2 * np.pi * u[:, 2]], -1)


def rotation(axis, angle):
    """Passive rotation matrix about axis (g convention, as AxisAngle2Matrix)."""
    n = np.asarray(axis, float) / np.linalg.norm(axis)
    c, s = math.cos(angle), math.sin(angle)
    k = np.array([[0, n[2], -n[1]], [-n[2], 0, n[0]], [n[1], -n[0], 0]])
    return c * np.eye(3) + (1 - c) * np.outer(n, n) + s * k


def per_call(cs, a, b):
    """AxisAngleMat on each pair, through the ctypes records (column storage)."""
    angles, axes = [], []
    for ga, gb in zip(a, b):
        ra, rb = lattix.TMat3D(), lattix.TMat3D()
        C.memmove(C.byref(ra), np.ascontiguousarray(ga.T).ctypes.data, 72)
        C.memmove(C.byref(rb), np.ascontiguousarray(gb.T).ctypes.data, 72)
        axis, angle = lattix.TVec3D(), C.c_double()
        lib.AxisAngleMat(C.byref(cs.record), C.byref(ra), C.byref(rb), C.byref(axis), C.byref(angle))
        angles.append(angle.value)
        axes.append((axis.x, axis.y, axis.z))
    return np.array(angles), np.array(axes)


def suited_set(laue):
    cells = {1: (5, 6, 7, 80, 85, 95), 2: (5, 6, 7, 90, 100, 90), 3: (5, 6, 7, 90, 90, 90)}
    if laue in (4, 5):
        cell = (4, 4, 6, 90, 90, 90)
    elif 6 <= laue <= 9:
        cell = (3, 3, 5, 90, 90, 120)
    else:
        cell = cells.get(laue, (4, 4, 4, 90, 90, 90))
    return lattix.CrystalSet.from_lattice(*cell, laue)


def special_pairs(cs):
    """Identity pairs, half turns, and for every operator the rotation half-way to it."""
    base = lattix.euler_to_matrix(random_euler(1))[0]
    misorientations = [np.eye(3), rotation((1, 0, 0), np.pi), rotation((1, 1, 1), np.pi),
                       rotation((0.3, -0.2, 0.9), 1e-7)]
    for s in cs.operators[1:]:
        angle = math.acos(max(-1.0, min(1.0, (np.trace(s) - 1) / 2)))
        axis = np.array([s[1, 2] - s[2, 1], s[2, 0] - s[0, 2], s[0, 1] - s[1, 0]])
        if np.linalg.norm(axis) > 1e-6:
            misorientations.append(rotation(axis, -angle / 2))
        misorientations.append(s.T)
    a = np.array([m @ base for m in misorientations])
    return a, np.broadcast_to(base, a.shape).copy()


class Conventions(unittest.TestCase):
    def test_quaternion_example_and_matrix_orientation(self):
        np.testing.assert_allclose(lattix.euler_to_quat([np.pi / 2, 0, 0]),
                                   [math.sqrt(0.5), 0, 0, -math.sqrt(0.5)], atol=1e-15)
        # g of (90, 0, 0) has rows (0, 1, 0), (-1, 0, 0), (0, 0, 1): a[k] @ s is crystal.
        g = lattix.euler_to_matrix([[np.pi / 2, 0, 0]])
        np.testing.assert_allclose(g[0], [[0, 1, 0], [-1, 0, 0], [0, 0, 1]], atol=1e-15)
        e = lattix.TVec3D(0.3, 0.5, 1.2)
        record, s, c = lattix.TMat3D(), lattix.TVec3D(0.2, -0.7, 0.4), lattix.TVec3D()
        lib.Euler2Matrix(C.byref(e), C.byref(record))
        lib.MatMul3x1(C.byref(record), C.byref(s), C.byref(c))
        np.testing.assert_allclose(lattix.euler_to_matrix([0.3, 0.5, 1.2]) @ [0.2, -0.7, 0.4],
                                   [c.x, c.y, c.z], atol=1e-15)

    def test_round_trips(self):
        e = random_euler(1000)
        g = lattix.euler_to_matrix(e)
        q = lattix.euler_to_quat(e)
        np.testing.assert_allclose(lattix.quat_to_matrix(q), g, atol=1e-14)
        np.testing.assert_array_equal(lattix.quat_to_euler(q),
                                      lattix.matrix_to_euler(lattix.quat_to_matrix(q)))
        np.testing.assert_allclose(lattix.matrix_to_euler(g), e, atol=1e-9)
        q2 = lattix.matrix_to_quat(g)
        np.testing.assert_allclose(q2 * np.sign(np.sum(q2 * q, -1))[:, None], q, atol=1e-14)
        self.assertTrue(np.all(q[:, 0] >= 0))
        # Leading shapes are kept; contiguous float64 Euler input is not copied.
        self.assertEqual(lattix.euler_to_matrix(e.reshape(10, 100, 3)).shape, (10, 100, 3, 3))
        self.assertTrue(np.shares_memory(_arrays._float_array(e, (3,), "e"), e))

    def test_broken_matrix_gives_nan_euler(self):
        g = np.eye(3)[None].repeat(2, 0)
        g[0, 2, 2] = 1.5
        out = lattix.matrix_to_euler(g)
        self.assertTrue(np.all(np.isnan(out[0])))
        np.testing.assert_array_equal(out[1], [0, 0, 0])


class Agreement(unittest.TestCase):
    def test_every_group_matches_axis_angle_mat(self):
        for laue in range(1, 12):
            with self.subTest(laue=laue):
                cs = suited_set(laue)
                a = lattix.euler_to_matrix(random_euler(200))
                b = lattix.euler_to_matrix(random_euler(200))
                sa, sb = special_pairs(cs)
                a, b = np.concatenate([a, sa]), np.concatenate([b, sb])
                want_angle, want_axis = per_call(cs, a, b)
                angle, axis = lattix.misorientation(cs, a, b, axes=True, threads=1)
                np.testing.assert_allclose(angle, want_angle, rtol=0, atol=1e-12)
                np.testing.assert_allclose(axis, want_axis, rtol=0, atol=1e-12)
                np.testing.assert_allclose(lattix.misorientation(cs, a, b), want_angle, rtol=0,
                                           atol=1e-12)
                # Quaternions give the angles of their own matrices.
                qa, qb = lattix.matrix_to_quat(a), lattix.matrix_to_quat(b)
                want_quat, _ = per_call(cs, lattix.quat_to_matrix(qa), lattix.quat_to_matrix(qb))
                np.testing.assert_allclose(lattix.misorientation(cs, qa, qb), want_quat, rtol=0,
                                           atol=1e-12)

    def test_thread_count_does_not_change_a_bit(self):
        cs = suited_set(11)
        a = lattix.euler_to_quat(random_euler(50000))
        b = lattix.euler_to_quat(random_euler(50000))
        one = lattix.misorientation(cs, a, b, threads=1)
        for threads in (0, 2, 5):
            np.testing.assert_array_equal(lattix.misorientation(cs, a, b, threads=threads), one)

    def test_broadcasting_one_against_many(self):
        cs = suited_set(9)
        a = lattix.euler_to_quat(random_euler(10))
        np.testing.assert_array_equal(lattix.misorientation(cs, a[0], a),
                                      lattix.misorientation(cs, np.repeat(a[:1], 10, 0), a))


class Maps(unittest.TestCase):
    def test_neighbours_edges_and_unindexed_pixels(self):
        cs = suited_set(11)
        e = random_euler(4 * 6).reshape(4, 6, 3)
        e[1, 2] = np.nan
        g = lattix.euler_to_matrix(e)
        right, down = lattix.grid_misorientation(cs, g)
        self.assertTrue(np.all(np.isnan(right[:, -1])) and np.all(np.isnan(down[-1])))
        self.assertTrue(np.isnan(right[1, 1]) and not np.isnan(right[1, 3]))
        self.assertTrue(np.isnan(down[0, 2]) and np.isnan(down[1, 2]) and np.isnan(right[1, 2]))
        want_right = lattix.misorientation(cs, g[:, :-1], g[:, 1:])
        want_down = lattix.misorientation(cs, g[:-1], g[1:])
        np.testing.assert_array_equal(right[:, :-1], want_right)
        np.testing.assert_array_equal(down[:-1], want_down)
        # The same map as Euler angles and as quaternions.
        np.testing.assert_array_equal(lattix.grid_misorientation(cs, e)[0], right)
        np.testing.assert_allclose(lattix.grid_misorientation(cs, lattix.euler_to_quat(e))[1],
                                   down, atol=1e-12)

    def test_normalize_euler_as_the_per_call_export(self):
        cs = suited_set(10)
        e = random_euler(50) * 1.7 - 1
        out = lattix.normalize_euler(cs, e)
        for before, after in zip(e, out):
            t = lattix.TVec3D(*before)
            lib.NormalizeEuler(C.byref(cs.record), C.byref(t))
            self.assertEqual((t.x, t.y, t.z), tuple(after))


class Errors(unittest.TestCase):
    def test_shapes_dtypes_and_arguments(self):
        cs = suited_set(11)
        q = lattix.euler_to_quat(random_euler(3))
        g = lattix.quat_to_matrix(q)
        cases = [
            (lambda: lattix.euler_to_matrix(np.zeros((4, 2))), "shape (..., 3)"),
            (lambda: lattix.euler_to_quat(np.array(["a", "b", "c"])), "real numbers"),
            (lambda: lattix.quat_to_matrix(np.zeros((2, 4), complex)), "real numbers"),
            (lambda: lattix.misorientation(cs, np.zeros((5, 3)), np.zeros((5, 3))), "Euler"),
            (lambda: lattix.misorientation(cs, q, g), "one form"),
            (lambda: lattix.misorientation(cs, q[:2], q), "broadcast"),
            (lambda: lattix.misorientation(cs, q, q, threads=-1), "threads"),
            (lambda: lattix.grid_misorientation(cs, np.zeros((3, 3, 5))), "map"),
            (lambda: lattix.CrystalSet.from_lattice(4, 4, 4, 90, 90, 90, 12), "1..11"),
        ]
        for call, text in cases:
            with self.subTest(text=text):
                with self.assertRaises(ValueError) as caught:
                    call()
                self.assertIn(text, str(caught.exception))

    def test_library_failures_carry_the_status_text(self):
        # A crystal file of the COMMON folder reads; a missing one gives ErrMsg's text.
        titanium = lattix.CrystalSet.from_file("TITANIUM.CRY")
        self.assertEqual((titanium.laue_group, titanium.operators.shape), (9, (12, 3, 3)))
        with self.assertRaises(lattix.LattixError) as caught:
            lattix.CrystalSet.from_file("/nonexistent/folder/none.cry")
        self.assertIn("InitCrySet failed", str(caught.exception))
        self.assertIn("Path not found", str(caught.exception))
        self.assertEqual(caught.exception.status, 3)
        broken = suited_set(11)
        broken.record.SymOpCount = 0
        q = lattix.euler_to_quat(random_euler(2))
        with self.assertRaises(lattix.LattixError) as caught:
            lattix.misorientation(broken, q, q)
        self.assertIn("SymOpCount", str(caught.exception))
        self.assertEqual(caught.exception.status, 3)


if __name__ == "__main__":
    unittest.main()
