// Vector and matrix exports, checked against brute-force element formulas,
// closed forms and round trips.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <numbers>
#include <random>

#include "../support/lattix_test_support.h"
#include "lattixLib.h"

namespace {

using namespace lattix_test;

TMat3D randomMatrix(std::mt19937& rng) {
    std::uniform_real_distribution<double> u(-3.0, 3.0);
    TMat3D m;
    for (int i = 0; i < 3; ++i)
        for (int j = 0; j < 3; ++j)
            el(m, i, j) = u(rng);
    return m;
}

TVec3D randomVector(std::mt19937& rng) {
    std::uniform_real_distribution<double> u(-3.0, 3.0);
    return TVec3D{u(rng), u(rng), u(rng)};
}

void expectVec(const TVec3D& a, double x, double y, double z, double tol = 1e-12) {
    EXPECT_NEAR(a.x, x, tol);
    EXPECT_NEAR(a.y, y, tol);
    EXPECT_NEAR(a.z, z, tol);
}

// Determinant by Laplace expansion along the first row: independent of Sarrus.
double laplaceDet(const TMat3D& m) {
    auto minor = [&](int c0, int c1) {
        return el(m, 1, c0) * el(m, 2, c1) - el(m, 1, c1) * el(m, 2, c0);
    };
    return el(m, 0, 0) * minor(1, 2) - el(m, 0, 1) * minor(0, 2) + el(m, 0, 2) * minor(0, 1);
}

}  // namespace

// ---- Products and determinants ---------------------------------------------

TEST(VecMathProducts, MatMulFollowsRowColumnStorage) {
    std::mt19937 rng(7);
    for (int n = 0; n < 50; ++n) {
        const TMat3D a = randomMatrix(rng), b = randomMatrix(rng);
        const TVec3D v = randomVector(rng);
        TVec3D mv;
        MatMul3x1(&a, &v, &mv);
        const double vv[3] = {v.x, v.y, v.z};
        const double got[3] = {mv.x, mv.y, mv.z};
        for (int i = 0; i < 3; ++i) {
            double s = 0;
            for (int k = 0; k < 3; ++k)
                s += el(a, i, k) * vv[k];
            EXPECT_NEAR(got[i], s, 1e-12);
        }
        TMat3D ab;
        MatMul3x3(&a, &b, &ab);
        for (int i = 0; i < 3; ++i)
            for (int j = 0; j < 3; ++j) {
                double s = 0;
                for (int k = 0; k < 3; ++k)
                    s += el(a, i, k) * el(b, k, j);
                EXPECT_NEAR(el(ab, i, j), s, 1e-12);
            }
        // Writing the product over B gives the same matrix.
        TMat3D b2 = b;
        MatMul3x3(&a, &b2, &b2);
        EXPECT_EQ(0, std::memcmp(&b2, &ab, sizeof ab));
    }
}

TEST(VecMathProducts, DeterminantMatchesLaplaceAndIsMultiplicative) {
    std::mt19937 rng(11);
    for (int n = 0; n < 50; ++n) {
        const TMat3D a = randomMatrix(rng), b = randomMatrix(rng);
        EXPECT_NEAR(Det3x3(&a), laplaceDet(a), 1e-10);
        TMat3D ab;
        MatMul3x3(&a, &b, &ab);
        EXPECT_NEAR(Det3x3(&ab), Det3x3(&a) * Det3x3(&b), 1e-9 * (1 + std::fabs(Det3x3(&ab))));
        TMat3D t;
        Transpose(&a, &t);
        EXPECT_NEAR(Det3x3(&t), Det3x3(&a), 1e-10);
        for (int i = 0; i < 3; ++i)
            for (int j = 0; j < 3; ++j)
                EXPECT_EQ(el(t, i, j), el(a, j, i));
    }
    const TMat3D upper = fromRows({2, 7, -3, 0, 4, 9, 0, 0, 8});
    EXPECT_DOUBLE_EQ(Det3x3(&upper), 64.0);
}

// ---- Normalising and cross products ------------------------------------------

TEST(VecMathUnity, ShortVectorsFallBackToXAxis) {
    TVec3D v{0, 0, 0};
    EXPECT_EQ(UnityVector(&v), 0);
    expectVec(v, 1, 0, 0, 0);

    // Length exactly 1e-8 is on the failing side of the bound.
    ASSERT_EQ(std::sqrt(1e-8 * 1e-8), 1e-8);
    v = TVec3D{0, 1e-8, 0};
    EXPECT_EQ(UnityVector(&v), 0);
    expectVec(v, 1, 0, 0, 0);

    v = TVec3D{0, 0, -1.0000001e-8};
    EXPECT_EQ(UnityVector(&v), 1);
    expectVec(v, 0, 0, -1);

    v = TVec3D{3, 0, 4};
    EXPECT_EQ(UnityVector(&v), 1);
    expectVec(v, 0.6, 0, 0.8, 1e-15);
}

TEST(VecMathUnity, NonFiniteAndHugeVectors) {
    // Oracle: the length in long double, whose range holds these squares.
    const double inf = std::numeric_limits<double>::infinity();
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double big = std::numeric_limits<double>::max();
    const TVec3D cases[] = {{inf, 0, 0},
                            {-inf, 1, 1},
                            {nan, 0, 0},
                            {0, nan, 1},
                            {1e308, 1e308, 1e308},
                            {1e200, -1e200, 0},
                            {1e154, 1e154, 1e154},
                            {big, big, 0},
                            {-big, 0, 0},
                            {1e-200, 0, 0},
                            {3, 0, 4}};
    for (const TVec3D& c : cases) {
        const long double x = c.x, y = c.y, z = c.z;
        const long double length = std::sqrt(x * x + y * y + z * z);
        const bool usable = std::isfinite(length) && length <= big && length > 1e-8L;
        TVec3D v = c;
        EXPECT_EQ(UnityVector(&v), usable ? 1 : 0) << c.x << " " << c.y << " " << c.z;
        if (usable) {
            expectVec(v, double(x / length), double(y / length), double(z / length), 1e-15);
        } else {
            expectVec(v, 1, 0, 0, 0);
        }
    }
}

TEST(VecMathUnity, CrossProduct) {
    const TVec3D x{1, 0, 0}, y{0, 1, 0};
    TVec3D out;
    EXPECT_EQ(Cross(&x, &y, &out, 0), 1);
    expectVec(out, 0, 0, 1, 0);

    const TVec3D a{1, 2, 3};
    EXPECT_EQ(Cross(&a, &a, &out, 0), 1);
    expectVec(out, 0, 0, 0, 0);
    EXPECT_EQ(Cross(&a, &a, &out, 1), 0);
    expectVec(out, 1, 0, 0, 0);
    // Any non-zero byte asks for normalising.
    EXPECT_EQ(Cross(&a, &a, &out, 0x80), 0);
    expectVec(out, 1, 0, 0, 0);

    std::mt19937 rng(3);
    for (int n = 0; n < 50; ++n) {
        const TVec3D p = randomVector(rng), q = randomVector(rng);
        EXPECT_EQ(Cross(&p, &q, &out, 0), 1);
        EXPECT_NEAR(Dot(&out, &p), 0, 1e-11);
        EXPECT_NEAR(Dot(&out, &q), 0, 1e-11);
        // |p x q|^2 = |p|^2 |q|^2 - (p.q)^2 (Lagrange's identity)
        const double pq = Dot(&p, &q);
        EXPECT_NEAR(Dot(&out, &out), Dot(&p, &p) * Dot(&q, &q) - pq * pq, 1e-9);
        EXPECT_EQ(Cross(&p, &q, &out, 1), 1);
        EXPECT_NEAR(Dot(&out, &out), 1, 1e-14);
    }
}

// ---- Inverse -----------------------------------------------------------------

TEST(VecMathInverse, DiagonalAndSingular) {
    const TMat3D d = fromRows({2, 0, 0, 0, 4, 0, 0, 0, 8});
    TMat3D inv;
    EXPECT_EQ(InverseMatrix(&d, &inv), 1);
    expectMat(inv, fromRows({0.5, 0, 0, 0, 0.25, 0, 0, 0, 0.125}), 0);

    const TMat3D tiny = fromRows({1e-2, 0, 0, 0, 1e-2, 0, 0, 0, 1e-2});
    TMat3D untouched = fromRows({9, 9, 9, 9, 9, 9, 9, 9, 9});
    const TMat3D before = untouched;
    EXPECT_EQ(InverseMatrix(&tiny, &untouched), 0);
    EXPECT_EQ(0, std::memcmp(&untouched, &before, sizeof before));
}

TEST(VecMathInverse, BoundIsStrictAndAbsolute) {
    // Determinant exactly 1e-5 is still inverted, the next double below is not.
    const TMat3D atBound = fromRows({1e-5, 0, 0, 0, 1, 0, 0, 0, 1});
    ASSERT_EQ(Det3x3(&atBound), 1e-5);
    TMat3D inv{};
    EXPECT_EQ(InverseMatrix(&atBound, &inv), 1);
    EXPECT_DOUBLE_EQ(el(inv, 0, 0), 1e5);

    const double below = std::nextafter(1e-5, 0.0);
    const TMat3D underBound = fromRows({below, 0, 0, 0, 1, 0, 0, 0, 1});
    EXPECT_EQ(InverseMatrix(&underBound, &inv), 0);
    const TMat3D negative = fromRows({-1e-5, 0, 0, 0, 1, 0, 0, 0, 1});
    EXPECT_EQ(InverseMatrix(&negative, &inv), 1);

    // A well-conditioned matrix of tiny elements is refused: the bound is not relative.
    const TMat3D smallCell = fromRows({0.02, 0, 0, 0, 0.02, 0, 0, 0, 0.02});
    EXPECT_EQ(InverseMatrix(&smallCell, &inv), 0);
}

TEST(VecMathInverse, ProductWithInverseIsIdentity) {
    std::mt19937 rng(5);
    int inverted = 0;
    for (int n = 0; n < 100; ++n) {
        const TMat3D a = randomMatrix(rng);
        TMat3D inv, p;
        if (!InverseMatrix(&a, &inv)) {
            EXPECT_LT(std::fabs(Det3x3(&a)), 1e-5);
            continue;
        }
        ++inverted;
        MatMul3x3(&a, &inv, &p);
        expectMat(p, fromRows({1, 0, 0, 0, 1, 0, 0, 0, 1}), 1e-8);
        MatMul3x3(&inv, &a, &p);
        expectMat(p, fromRows({1, 0, 0, 0, 1, 0, 0, 0, 1}), 1e-8);
    }
    EXPECT_GT(inverted, 90);
}

// ---- Rotations -----------------------------------------------------------------

TEST(VecMathRotation, ElementaryMatricesAndConeVector) {
    TMat3D m;
    RotateUnityMatrix(2, kPi / 2, &m);
    const TVec3D x{1, 0, 0}, z{0, 0, 1};
    TVec3D out;
    MatMul3x1(&m, &x, &out);
    expectVec(out, 0, -1, 0, 1e-15);
    ConeVector(&z, &x, &out, kPi / 2);
    expectVec(out, 0, 1, 0, 1e-15);

    const TVec3D axes[3] = {{1, 0, 0}, {0, 1, 0}, {0, 0, 1}};
    std::mt19937 rng(13);
    std::uniform_real_distribution<double> angle(-7.0, 7.0);
    for (int n = 0; n < 30; ++n) {
        const double w = angle(rng);
        const TVec3D v = randomVector(rng);
        for (uint8_t k = 0; k < 3; ++k) {
            // The passive matrix for +w turns vectors by -w: the active turn of ConeVector.
            RotateUnityMatrix(k, -w, &m);
            TVec3D viaMatrix, viaCone;
            MatMul3x1(&m, &v, &viaMatrix);
            ConeVector(&axes[k], &v, &viaCone, w);
            expectVec(viaCone, viaMatrix.x, viaMatrix.y, viaMatrix.z, 1e-12);
            EXPECT_NEAR(Det3x3(&m), 1.0, 1e-14);
        }
    }
}

TEST(VecMathRotation, ConeVectorKeepsAxisPartAndLength) {
    std::mt19937 rng(17);
    for (int n = 0; n < 50; ++n) {
        TVec3D axis = randomVector(rng);
        UnityVector(&axis);
        const TVec3D v = randomVector(rng);
        TVec3D out = v;
        ConeVector(&axis, &out, &out, 1.234);  // out may be v
        EXPECT_NEAR(Dot(&out, &out), Dot(&v, &v), 1e-11);
        EXPECT_NEAR(Dot(&out, &axis), Dot(&v, &axis), 1e-12);
        TVec3D back;
        ConeVector(&axis, &out, &back, -1.234);
        expectVec(back, v.x, v.y, v.z, 1e-12);
    }
}

TEST(VecMathRotation, InvalidAxisLeavesMatrixUntouched) {
    TMat3D m = fromRows({1, 2, 3, 4, 5, 6, 7, 8, 9});
    const TMat3D before = m;
    RotateUnityMatrix(3, 0.5, &m);
    RotateUnityMatrix(255, 0.5, &m);
    EXPECT_EQ(0, std::memcmp(&m, &before, sizeof m));
}

TEST(VecMathRotation, Mirror) {
    const TVec3D n{0, 0, 1}, v{1, 2, 3};
    TVec3D out;
    Mirror(&n, &v, &out);
    expectVec(out, 1, 2, -3, 0);

    std::mt19937 rng(19);
    for (int k = 0; k < 30; ++k) {
        TVec3D u = randomVector(rng);
        UnityVector(&u);
        const TVec3D p = randomVector(rng);
        TVec3D once, twice;
        Mirror(&u, &p, &once);
        Mirror(&u, &once, &twice);
        expectVec(twice, p.x, p.y, p.z, 1e-12);
        EXPECT_NEAR(Dot(&once, &u), -Dot(&p, &u), 1e-12);
    }
}

// ---- Orthogonalising ---------------------------------------------------------------

TEST(VecMathOrthogonal, ProducesRightHandedFrameKeepingColumn3) {
    std::mt19937 rng(23);
    for (int n = 0; n < 50; ++n) {
        const TMat3D original = randomMatrix(rng);
        TMat3D m = original;
        ASSERT_EQ(OrthogonalMatrix(&m), 1);
        TMat3D mt, p;
        Transpose(&m, &mt);
        MatMul3x3(&mt, &m, &p);
        expectMat(p, fromRows({1, 0, 0, 0, 1, 0, 0, 0, 1}), 1e-12);
        EXPECT_NEAR(Det3x3(&m), 1.0, 1e-12);
        TVec3D c3 = original.col[2];
        UnityVector(&c3);
        expectVec(m.col[2], c3.x, c3.y, c3.z, 1e-14);
        // New column 1 is the part of the old one perpendicular to column 3.
        TVec3D perp;
        MulVector(Dot(&original.col[0], &c3), &c3, &perp);
        SubVector(&original.col[0], &perp, &perp);
        UnityVector(&perp);
        expectVec(m.col[0], perp.x, perp.y, perp.z, 1e-10);
    }
}

TEST(VecMathOrthogonal, Failures) {
    TMat3D m = fromRows({1, 4, 0, 2, 5, 0, 3, 6, 0});  // column 3 is zero
    EXPECT_EQ(OrthogonalMatrix(&m), 0);
    expectVec(m.col[2], 1, 0, 0, 0);
    expectVec(m.col[0], 1, 2, 3, 0);
    expectVec(m.col[1], 4, 5, 6, 0);

    TMat3D parallel = fromRows({2, 0, 1, 0, 0, 0, 0, 0, 0});  // column 1 along column 3
    EXPECT_EQ(OrthogonalMatrix(&parallel), 0);
}

// ---- Periodic reduction ----------------------------------------------------------------

TEST(VecMathModulus, ExamplesAndNegativeMultiples) {
    EXPECT_EQ(Modulus(450, 360), 90);
    EXPECT_EQ(Modulus(-90, 360), 270);
    EXPECT_EQ(Modulus(-360, 360), 360);
    EXPECT_EQ(Modulus(-720, 360), 360);
    EXPECT_EQ(Modulus(-1080, 360), 360);
    EXPECT_EQ(Modulus(360, 360), 0);
    EXPECT_EQ(Modulus(0, 360), 0);
    EXPECT_EQ(Modulus(720, 360), 0);
    EXPECT_EQ(Modulus(-450, 360), 270);
}

TEST(VecMathModulus, RangesOverAGrid) {
    for (int i = -4000; i <= 4000; ++i) {
        const double a = i * 0.37;
        const double r = Modulus(a, 2 * kPi);
        if (a >= 0) {
            EXPECT_GE(r, 0.0) << a;
            EXPECT_LT(r, 2 * kPi) << a;
        } else {
            EXPECT_GT(r, 0.0) << a;
            EXPECT_LE(r, 2 * kPi) << a;
        }
        // Same angle: differs from a by a whole number of periods.
        const double periods = (a - r) / (2 * kPi);
        EXPECT_NEAR(periods, std::round(periods), 1e-9) << a;
    }
}

// ---- Status text at load -----------------------------------------------------------------

TEST(VecMathStatus, ErrMsgAtLoadIsOk) {
    char buffer[64];
    std::memset(buffer, 'x', sizeof buffer);
    EXPECT_EQ(ErrMsg(buffer), buffer);
    EXPECT_STREQ(buffer, "Ok");
    EXPECT_EQ(buffer[3], 'x');  // nothing written past the NUL
}
