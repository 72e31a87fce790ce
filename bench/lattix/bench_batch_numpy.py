"""Cubic (m-3m) misorientation of 10^6 random pairs, side by side in one run: a vectorised
numpy computation and the lattix Python package (quaternions and matrices, one thread and all).

Run with Debian's python3, the package on PYTHONPATH (or installed) and the setup data found:
  XDG_CONFIG_DIRS=$PWD/build/etc/xdg LATTIX_LIBRARY=build/lattix/liblattix.so \
  PYTHONPATH=bindings/python /usr/bin/python3 bench/lattix/bench_batch_numpy.py
Pairs per second, best of five runs.
"""
import sys
import time

import numpy as np

import lattix

N = 1_000_000


def numpy_cubic_angle(qa, qb):
    """Misorientation quaternion a * conj(b); its best scalar over the 24 cubic rotations is the
    largest of |q_i|, (|q_i| + |q_j|)/sqrt 2 and (|q0| + |q1| + |q2| + |q3|)/2."""
    w1, x1, y1, z1 = qa.T
    w2, x2, y2, z2 = (qb * [1, -1, -1, -1]).T
    q = np.stack([w1 * w2 - x1 * x2 - y1 * y2 - z1 * z2,
                  w1 * x2 + x1 * w2 + y1 * z2 - z1 * y2,
                  w1 * y2 - x1 * z2 + y1 * w2 + z1 * x2,
                  w1 * z2 + x1 * y2 - y1 * x2 + z1 * w2], -1)
    q = -np.sort(-np.abs(q), axis=-1)
    best = np.maximum(np.maximum(q[:, 0], (q[:, 0] + q[:, 1]) / np.sqrt(2)), q.sum(-1) / 2)
    return 2 * np.arccos(np.minimum(best, 1.0))


def rate(function):
    best = min(timed(function) for _ in range(5))
    return N / best


def timed(function):
    start = time.perf_counter()
    function()
    return time.perf_counter() - start


def main():
    cs = lattix.CrystalSet.from_lattice(4, 4, 4, 90, 90, 90, 11)
    rng = np.random.default_rng(2024)
    u = rng.uniform(size=(2, N, 3))
    e = np.stack([2 * np.pi * u[..., 0], np.arccos(2 * u[..., 1] - 1), 2 * np.pi * u[..., 2]], -1)
    qa, qb = lattix.euler_to_quat(e[0]), lattix.euler_to_quat(e[1])
    ga, gb = lattix.euler_to_matrix(e[0]), lattix.euler_to_matrix(e[1])
    reference = lattix.misorientation(cs, qa, qb, threads=1)
    difference = np.max(np.abs(numpy_cubic_angle(qa, qb) - reference))
    rows = [
        ("numpy, vectorised quaternions", rate(lambda: numpy_cubic_angle(qa, qb))),
        ("lattix.misorientation, quaternions, threads=1",
         rate(lambda: lattix.misorientation(cs, qa, qb, threads=1))),
        ("lattix.misorientation, quaternions, threads=0",
         rate(lambda: lattix.misorientation(cs, qa, qb, threads=0))),
        ("lattix.misorientation, matrices, threads=0",
         rate(lambda: lattix.misorientation(cs, ga, gb, threads=0))),
        ("lattix.misorientation, quaternions, axes, threads=0",
         rate(lambda: lattix.misorientation(cs, qa, qb, axes=True, threads=0))),
    ]
    print(f"m-3m, {N} random pairs (numpy and lattix angles differ by at most {difference:.1e} rad)")
    for name, value in rows:
        print(f"  {name:55s} {value / 1e6:7.1f} M pairs/s")
    return 0


if __name__ == "__main__":
    sys.exit(main())
