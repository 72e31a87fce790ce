// Shared helpers of the library tests: crystal sets suited to each Laue group, random orientations.
#pragma once

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <initializer_list>
#include <memory>
#include <random>

#include "lattixLib.h"

namespace lattix_test {

constexpr double kPi = 3.14159265358979323846;
constexpr double kDeg = kPi / 180.0;

// A general cell for each Laue group: triclinic, monoclinic with unique axis b,
// orthorhombic, tetragonal, trigonal and hexagonal in hexagonal axes, cubic.
inline void initSuitedCrySet(TCrySet& cs, int laue) {
    float a = 4, b = 4, c = 4, alpha = 90, beta = 90, gamma = 90;
    switch (laue) {
        case 1:
            a = 5;
            b = 6;
            c = 7;
            alpha = 80;
            beta = 85;
            gamma = 95;
            break;
        case 2:
            a = 5;
            b = 6;
            c = 7;
            beta = 100;
            break;
        case 3:
            a = 5;
            b = 6;
            c = 7;
            break;
        case 4:
        case 5:
            c = 6;
            break;
        case 6:
        case 7:
        case 8:
        case 9:
            a = 3;
            b = 3;
            c = 5;
            gamma = 120;
            break;
        default:
            break;
    }
    InitCrySet2(&cs, "test", "ref", a, b, c, alpha, beta, gamma, laue, 240 + laue);
    EXPECT_EQ(GetInitIoStatus(), 0) << "setup data missing for group " << laue;
}

// A cubic metric (edge 4, c = tetragonalC in groups 4 and 5), or the hexagonal
// cell a = 3, c = 5 in groups 6 to 9: orthonormal axes where the test wants them.
inline void initMetricCrySet(TCrySet& cs, int laue, float tetragonalC = 4) {
    const bool hex = laue >= 6 && laue <= 9;
    const bool tetra = laue == 4 || laue == 5;
    InitCrySet2(&cs, "test", "ref", hex ? 3 : 4, hex ? 3 : 4, hex ? 5 : (tetra ? tetragonalC : 4),
                90, 90, hex ? 120 : 90, laue, 240 + laue);
    EXPECT_EQ(GetInitIoStatus(), 0) << "setup data missing for group " << laue;
}

inline TCrySet makeSet(int laue) {
    TCrySet cs{};
    initSuitedCrySet(cs, laue);
    return cs;
}

// An analysis record (crystal set first) on the heap, zeroed, with a metric cell.
template <typename Record>
std::unique_ptr<Record> makeRecord(int laue, float tetragonalC = 4) {
    auto record = std::make_unique<Record>();
    std::memset(record.get(), 0, sizeof(Record));
    initMetricCrySet(record->CrySet, laue, tetragonalC);
    return record;
}

// Uniformly distributed orientation (phi1 over phi1Span).
inline TVec3D randomEuler(std::mt19937_64& rng, double phi1Span = 2 * kPi) {
    std::uniform_real_distribution<double> u(0.0, 1.0);
    return TVec3D{phi1Span * u(rng), std::acos(2 * u(rng) - 1), 2 * kPi * u(rng)};
}

// Element (row i, column j), 0-based, read straight from the storage order.
inline double el(const TMat3D& m, int i, int j) {
    return (&m.col[0].x)[3 * j + i];
}
inline double& el(TMat3D& m, int i, int j) {
    return (&m.col[0].x)[3 * j + i];
}

inline TMat3D fromRows(std::initializer_list<double> rowMajor) {
    TMat3D m{};
    int k = 0;
    for (double v : rowMajor) {
        el(m, k / 3, k % 3) = v;
        ++k;
    }
    return m;
}

inline void expectMat(const TMat3D& a, const TMat3D& b, double tol = 1e-12) {
    for (int i = 0; i < 3; ++i)
        for (int j = 0; j < 3; ++j)
            EXPECT_NEAR(el(a, i, j), el(b, i, j), tol) << "element " << i << "," << j;
}

inline TMat3D euler(const TVec3D& e) {
    TMat3D g;
    Euler2Matrix(&e, &g);
    return g;
}

}  // namespace lattix_test
