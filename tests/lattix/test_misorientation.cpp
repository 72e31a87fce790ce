// Misorientation: smallest angles against an independent quaternion computation, axes, all
// solutions, edge cases.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <random>
#include <vector>

#include "../support/lattix_test_support.h"
#include "lattixLib.h"

namespace {

using namespace lattix_test;

// Unit quaternions of the linear maps v -> M.v, composed like the matrices.
struct Quat {
    double w, x, y, z;
};

Quat mul(const Quat& a, const Quat& b) {
    return Quat{a.w * b.w - a.x * b.x - a.y * b.y - a.z * b.z,
                a.w * b.x + a.x * b.w + a.y * b.z - a.z * b.y,
                a.w * b.y - a.x * b.z + a.y * b.w + a.z * b.x,
                a.w * b.z + a.x * b.y - a.y * b.x + a.z * b.w};
}

Quat conj(const Quat& q) {
    return Quat{q.w, -q.x, -q.y, -q.z};
}

double m(const TMat3D& a, int i, int j) {
    return (&a.col[j].x)[i];
}

// Shepperd's method, picking the largest of w, x, y, z to divide by.
Quat fromMatrix(const TMat3D& a) {
    const double t = m(a, 0, 0) + m(a, 1, 1) + m(a, 2, 2);
    if (t >= m(a, 0, 0) && t >= m(a, 1, 1) && t >= m(a, 2, 2)) {
        const double s = 2 * std::sqrt(1 + t);
        return Quat{s / 4, (m(a, 2, 1) - m(a, 1, 2)) / s, (m(a, 0, 2) - m(a, 2, 0)) / s,
                    (m(a, 1, 0) - m(a, 0, 1)) / s};
    }
    if (m(a, 0, 0) >= m(a, 1, 1) && m(a, 0, 0) >= m(a, 2, 2)) {
        const double s = 2 * std::sqrt(1 + m(a, 0, 0) - m(a, 1, 1) - m(a, 2, 2));
        return Quat{(m(a, 2, 1) - m(a, 1, 2)) / s, s / 4, (m(a, 0, 1) + m(a, 1, 0)) / s,
                    (m(a, 0, 2) + m(a, 2, 0)) / s};
    }
    if (m(a, 1, 1) >= m(a, 2, 2)) {
        const double s = 2 * std::sqrt(1 + m(a, 1, 1) - m(a, 0, 0) - m(a, 2, 2));
        return Quat{(m(a, 0, 2) - m(a, 2, 0)) / s, (m(a, 0, 1) + m(a, 1, 0)) / s, s / 4,
                    (m(a, 1, 2) + m(a, 2, 1)) / s};
    }
    const double s = 2 * std::sqrt(1 + m(a, 2, 2) - m(a, 0, 0) - m(a, 1, 1));
    return Quat{(m(a, 1, 0) - m(a, 0, 1)) / s, (m(a, 0, 2) + m(a, 2, 0)) / s,
                (m(a, 1, 2) + m(a, 2, 1)) / s, s / 4};
}

// Bunge g = Z(phi2).X(Phi).Z(phi1), each a passive turn (an active turn by
// minus the angle), built without Euler2Matrix.
Quat fromEuler(const TVec3D& e) {
    const Quat z1{std::cos(e.x / 2), 0, 0, -std::sin(e.x / 2)};
    const Quat x{std::cos(e.y / 2), -std::sin(e.y / 2), 0, 0};
    const Quat z2{std::cos(e.z / 2), 0, 0, -std::sin(e.z / 2)};
    return mul(mul(z2, x), z1);
}

double rotationAngle(const Quat& q) {
    return 2 * std::acos(std::fmin(1.0, std::fabs(q.w)));
}

// The angle of S_i.A.B^T for every operator.
std::vector<double> operatorAngles(const TCrySet& cs, const TVec3D& a, const TVec3D& b) {
    const Quat d = mul(fromEuler(a), conj(fromEuler(b)));
    std::vector<double> angles;
    for (int i = 0; i < cs.SymOpCount; ++i)
        angles.push_back(rotationAngle(mul(fromMatrix(cs.SymOps[i]), d)));
    return angles;
}

// The passive matrix of axis n and angle w (element (i,j) = c.d_ij + (1-c) n_i n_j + s.e_ijk n_k).
TMat3D passive(const TVec3D& n, double w) {
    const double c = std::cos(w), s = std::sin(w), t = 1 - c;
    const double v[3] = {n.x, n.y, n.z};
    TMat3D r{};
    for (int i = 0; i < 3; ++i)
        for (int j = 0; j < 3; ++j) {
            double e = t * v[i] * v[j] + (i == j ? c : 0);
            for (int k = 0; k < 3; ++k) {
                const int eps = ((i - j) * (j - k) * (k - i)) / 2;
                e += s * eps * v[k];
            }
            (&r.col[j].x)[i] = e;
        }
    return r;
}

// Smallest distance between R and S_i.A.B^T over the operators.
double distanceToSolutions(const TCrySet& cs, const TVec3D& a, const TVec3D& b, const TMat3D& r) {
    TMat3D ga, gb, bt, d;
    Euler2Matrix(&a, &ga);
    Euler2Matrix(&b, &gb);
    Transpose(&gb, &bt);
    MatMul3x3(&ga, &bt, &d);
    double best = 1e9;
    for (int i = 0; i < cs.SymOpCount; ++i) {
        TMat3D s;
        MatMul3x3(&cs.SymOps[i], &d, &s);
        double diff = 0;
        for (int k = 0; k < 9; ++k)
            diff = std::fmax(diff, std::fabs((&s.col[0].x)[k] - (&r.col[0].x)[k]));
        best = std::fmin(best, diff);
    }
    return best;
}

TEST(AxisAngleMat, SmallestAngleOverTheOperatorsInEveryGroup) {
    std::mt19937_64 rng(21);
    for (int laue = 1; laue <= 11; ++laue) {
        const TCrySet cs = makeSet(laue);
        for (int trial = 0; trial < 200; ++trial) {
            const TVec3D a = randomEuler(rng), b = randomEuler(rng);
            const auto angles = operatorAngles(cs, a, b);
            const double expected = *std::min_element(angles.begin(), angles.end());
            TVec3D axis;
            double angle = -1;
            TMat3D ga, gb;
            Euler2Matrix(&a, &ga);
            Euler2Matrix(&b, &gb);
            const uint8_t ok = AxisAngleMat(&cs, &ga, &gb, &axis, &angle);
            ASSERT_NEAR(angle, expected, 1e-7) << "group " << laue;
            ASSERT_EQ(ok, 1);
            EXPECT_NEAR(Dot(&axis, &axis), 1.0, 1e-12);
            // The axis and angle rebuild the winning rotation.
            EXPECT_LT(distanceToSolutions(cs, a, b, passive(axis, angle)), 1e-9)
                << "group " << laue;
            // The Euler form agrees.
            TVec3D axis2;
            double angle2 = -1;
            EXPECT_EQ(AxisAngleEul(&cs, &a, &b, &axis2, &angle2), 1);
            EXPECT_EQ(angle2, angle);
            EXPECT_LE(angle, GetAxisAngleLimit(laue) + 1e-9) << "group " << laue;
        }
    }
}

TEST(AxisAngleMat, EdgeCases) {
    TVec3D axis;
    double angle = -1;
    const TCrySet cubic = makeSet(11);
    const TVec3D same{0.3, 0.5, 1.2};
    EXPECT_EQ(AxisAngleEul(&cubic, &same, &same, &axis, &angle), 0);
    EXPECT_EQ(angle, 0.0);
    EXPECT_EQ(axis.x, 1.0);
    EXPECT_EQ(axis.y, 0.0);
    EXPECT_EQ(axis.z, 0.0);

    // A quarter turn about Z is a cubic operator.
    const TVec3D zero{0, 0, 0}, quarter{kPi / 2, 0, 0};
    axis = TVec3D{9, 9, 9};
    EXPECT_EQ(AxisAngleEul(&cubic, &zero, &quarter, &axis, &angle), 0);
    EXPECT_NEAR(angle, 0.0, 1e-7);
    EXPECT_EQ(axis.x, 1.0);

    const TCrySet triclinic = makeSet(1);
    const TVec3D tilt{0, kPi / 3, 0};
    EXPECT_EQ(AxisAngleEul(&triclinic, &zero, &tilt, &axis, &angle), 1);
    EXPECT_NEAR(angle, kPi / 3, 1e-12);
    EXPECT_NEAR(axis.x, -1.0, 1e-12);
    EXPECT_NEAR(axis.y, 0.0, 1e-12);
    EXPECT_NEAR(axis.z, 0.0, 1e-12);

    const TVec3D half{kPi, 0, 0};
    axis = TVec3D{9, 9, 9};
    EXPECT_EQ(AxisAngleEul(&triclinic, &zero, &half, &axis, &angle), 0);
    EXPECT_NEAR(angle, kPi, 1e-12);
    EXPECT_EQ(axis.x, 1.0);
    EXPECT_EQ(axis.y, 0.0);
}

TEST(AxisAngleMatAll, SortedCompleteAndHeadedBySmallest) {
    std::mt19937_64 rng(23);
    for (int laue : {1, 3, 5, 7, 9, 10, 11}) {
        const TCrySet cs = makeSet(laue);
        for (int trial = 0; trial < 40; ++trial) {
            const TVec3D a = randomEuler(rng), b = randomEuler(rng);
            TMat3D ga, gb;
            Euler2Matrix(&a, &ga);
            Euler2Matrix(&b, &gb);
            int32_t count = -1;
            TVec3D axes[96];
            double angles[96];
            EXPECT_EQ(AxisAngleMatAll(&cs, &ga, &gb, &count, axes, angles), 1);
            ASSERT_EQ(count, cs.SymOpCount);
            auto expected = operatorAngles(cs, a, b);
            std::sort(expected.begin(), expected.end());
            for (int i = 0; i < count; ++i) {
                if (i > 0) {
                    EXPECT_LE(angles[i - 1], angles[i]);
                }
                EXPECT_NEAR(angles[i], expected[i], 1e-7) << "group " << laue << " entry " << i;
                // Each pair stayed together through the sort.
                EXPECT_LT(distanceToSolutions(cs, a, b, passive(axes[i], angles[i])), 1e-9);
            }
            TVec3D axis;
            double angle;
            AxisAngleMat(&cs, &ga, &gb, &axis, &angle);
            EXPECT_NEAR(angles[0], angle, 1e-12);
            int32_t countEul = -1;
            AxisAngleEulAll(&cs, &a, &b, &countEul, axes, angles);
            EXPECT_EQ(countEul, count);
        }
    }
}

TEST(AxisAngleMatAll, ManyEqualAnglesSortIntoTheOperatorAngles) {
    // A equal to B as matrices: the solutions are the cubic operators
    // themselves, 0 once, 90 six times, 120 eight times, 180 nine times.
    const TCrySet cs = makeSet(11);
    const TVec3D e{0.4, 0.9, 2.0};
    TMat3D g;
    Euler2Matrix(&e, &g);
    for (int repeat = 0; repeat < 20; ++repeat) {
        int32_t count = 0;
        TVec3D axes[96];
        double angles[96];
        AxisAngleMatAll(&cs, &g, &g, &count, axes, angles);
        ASSERT_EQ(count, 24);
        const double expected[4] = {0, kPi / 2, 2 * kPi / 3, kPi};
        const int multiplicity[4] = {1, 6, 8, 9};
        int k = 0;
        for (int group = 0; group < 4; ++group)
            for (int i = 0; i < multiplicity[group]; ++i, ++k)
                EXPECT_NEAR(angles[k], expected[group], 1e-7) << k;
    }
}

TEST(AxisAngleEulAll, IdenticalTriplesFillEveryEntry) {
    const TCrySet cs = makeSet(9);
    const TVec3D e{0.4, 0.9, 2.0};
    int32_t count = -5;
    TVec3D axes[96];
    double angles[96];
    for (int i = 0; i < 96; ++i) {
        axes[i] = TVec3D{7, 7, 7};
        angles[i] = 7;
    }
    EXPECT_EQ(AxisAngleEulAll(&cs, &e, &e, &count, axes, angles), 0);
    EXPECT_EQ(count, cs.SymOpCount);
    for (int i = 0; i < 96; ++i) {
        EXPECT_EQ(angles[i], 0.0);
        EXPECT_EQ(axes[i].x, 1.0);
        EXPECT_EQ(axes[i].y, 0.0);
        EXPECT_EQ(axes[i].z, 0.0);
    }
}

TEST(ConvertCommonAxisToCS1, CrystalAxisToSpecimenFrame) {
    std::mt19937_64 rng(29);
    for (int trial = 0; trial < 50; ++trial) {
        const TVec3D e = randomEuler(rng);
        const TVec3D axis{0.6, 0.0, 0.8};
        TVec3D out;
        ConvertCommonAxisToCS1(nullptr, nullptr, &e, &axis, &out);
        // Rotating the specimen-frame vector with g gives the crystal axis back.
        const Quat q = fromEuler(e);
        const Quat v{0, out.x, out.y, out.z};
        const Quat r = mul(mul(q, v), conj(q));
        EXPECT_NEAR(r.x, axis.x, 1e-12);
        EXPECT_NEAR(r.y, axis.y, 1e-12);
        EXPECT_NEAR(r.z, axis.z, 1e-12);
    }
}

}  // namespace
