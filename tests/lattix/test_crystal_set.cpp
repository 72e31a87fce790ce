// Crystal sets through the exports: lattice matrices, the SYMGEN operators of all eleven Laue
// groups, spacings, index vectors.
#include <gtest/gtest.h>
#include <unistd.h>

#include <array>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <memory>
#include <numbers>
#include <random>
#include <string>
#include <vector>

#include "lattixLib.h"

namespace {

constexpr double kPi = std::numbers::pi;

struct Cell {
    float a, b, c, alpha, beta, gamma;
};

// A cell of each Laue group's crystal system (hexagonal axes for trigonal).
Cell cellOf(int laue) {
    switch (laue) {
        case 1:
            return {7.124f, 7.856f, 5.577f, 89.99f, 101.15f, 105.95f};  // kyanite
        case 2:
            return {5.1461f, 5.2118f, 5.313f, 90, 99.22f, 90};  // monoclinic zirconia
        case 3:
            return {4.756f, 10.207f, 5.98f, 90, 90, 90};
        case 4:
        case 5:
            return {3.6055f, 3.6055f, 5.1797f, 90, 90, 90};
        case 6:
        case 7:
        case 8:
        case 9:
            return {4.913f, 4.913f, 5.504f, 90, 90, 120};
        default:
            return {4.05f, 4.05f, 4.05f, 90, 90, 90};
    }
}

std::unique_ptr<TCrySet> makeSet(int laue, const Cell& cell, const char* name = "name",
                                 const char* reference = "ref") {
    auto cs = std::make_unique<TCrySet>();
    std::memset(cs.get(), 0x5A, sizeof(TCrySet));
    InitCrySet2(cs.get(), name, reference, cell.a, cell.b, cell.c, cell.alpha, cell.beta,
                cell.gamma, laue, 240 + laue);
    return cs;
}

double element(const TMat3D& m, int row, int column) {
    return (&m.col[column].x)[row];
}

TMat3D product(const TMat3D& a, const TMat3D& b) {
    TMat3D out;
    MatMul3x3(&a, &b, &out);
    return out;
}

double distance(const TMat3D& a, const TMat3D& b) {
    double worst = 0;
    for (int i = 0; i < 3; ++i)
        for (int j = 0; j < 3; ++j)
            worst = std::max(worst, std::abs(element(a, i, j) - element(b, i, j)));
    return worst;
}

int find(const TCrySet& cs, const TMat3D& m) {
    for (int i = 0; i < cs.SymOpCount; ++i) {
        if (distance(cs.SymOps[i], m) < 1e-9) return i;
    }
    return -1;
}

TMat3D transposed(const TMat3D& m) {
    TMat3D t;
    Transpose(&m, &t);
    return t;
}

TMat3D identity() {
    TMat3D m{};
    m.col[0].x = m.col[1].y = m.col[2].z = 1.0;
    return m;
}

const int kExpectedCounts[12] = {0, 1, 2, 4, 4, 8, 3, 6, 6, 12, 12, 24};

class LaueGroupOperators : public ::testing::TestWithParam<int> {};

TEST_P(LaueGroupOperators, AreTheGroupsProperRotationsOnceEach) {
    const int laue = GetParam();
    const auto cs = makeSet(laue, cellOf(laue));
    ASSERT_EQ(GetInitIoStatus(), 0);
    ASSERT_EQ(cs->SymOpCount, kExpectedCounts[laue]);
    EXPECT_LT(distance(cs->SymOps[0], identity()), 1e-15);

    for (int i = 0; i < cs->SymOpCount; ++i) {
        const TMat3D& s = cs->SymOps[i];
        EXPECT_LT(distance(product(transposed(s), s), identity()), 1e-12) << "operator " << i + 1;
        EXPECT_NEAR(Det3x3(&s), 1.0, 1e-12) << "operator " << i + 1;
        for (int j = 0; j < i; ++j)
            EXPECT_GT(distance(s, cs->SymOps[j]), 1e-6) << i + 1 << " = " << j + 1;
        for (int j = 0; j < cs->SymOpCount; ++j) {
            EXPECT_GE(find(*cs, product(s, cs->SymOps[j])), 0)
                << "not closed: " << i + 1 << "*" << j + 1;
        }
        // The operator maps the lattice onto itself: in lattice coordinates it
        // is an integer matrix.
        const TMat3D lattice = product(cs->DirectInv, product(s, cs->Direct));
        for (int r = 0; r < 3; ++r)
            for (int c = 0; c < 3; ++c) {
                const double v = element(lattice, r, c);
                EXPECT_NEAR(v, std::round(v), 1e-5)
                    << "operator " << i + 1 << " (" << r << "," << c << ")";
            }
    }
}

// Every step of the Euler-box reduction must be a symmetry of the group: the
// reduced and the original triple describe orientations that differ by an
// operator, S = g' g^T.
TEST_P(LaueGroupOperators, MakeTheEulerBoxReductionsTrueSymmetries) {
    const int laue = GetParam();
    const auto cs = makeSet(laue, cellOf(laue));
    const TVec3D limits = cs->EulerLimits;
    std::mt19937 random(17 + laue);
    std::uniform_real_distribution<double> angle(0.0, 1.0);
    auto isSymmetry = [&](const TVec3D& e, const TVec3D& reduced) {
        TMat3D g, h;
        Euler2Matrix(&e, &g);
        Euler2Matrix(&reduced, &h);
        return find(*cs, product(h, transposed(g))) >= 0;
    };
    for (int trial = 0; trial < 50; ++trial) {
        const TVec3D e{angle(random) * 2 * kPi, angle(random) * kPi, angle(random) * 2 * kPi};
        EXPECT_TRUE(isSymmetry(e, TVec3D{e.x, e.y, e.z + limits.z})) << "phi2 period";
        if (laue >= 10) {
            EXPECT_TRUE(isSymmetry(e, TVec3D{e.x + kPi, 2 * limits.y - e.y, limits.z - e.z}))
                << "Phi fold";
        } else if (limits.x < 2 * kPi - 1e-9) {
            EXPECT_TRUE(isSymmetry(e, TVec3D{e.x - limits.x, limits.y - e.y, limits.z - e.z}))
                << "phi1 fold";
        }
    }
    if (laue >= 10) {  // the three-fold about [111] of the cubic choice
        TMat3D turn;
        const TVec3D axis{1 / std::sqrt(3.0), 1 / std::sqrt(3.0), 1 / std::sqrt(3.0)};
        for (int c = 0; c < 3; ++c) {
            const TVec3D column = identity().col[c];
            ConeVector(&axis, &column, &turn.col[c], 2 * kPi / 3);
        }
        EXPECT_GE(find(*cs, turn), 0);
    }
}

INSTANTIATE_TEST_SUITE_P(AllGroups, LaueGroupOperators, ::testing::Range(1, 12));

TEST(CrySet, CubicCellMatricesAndSpacings) {
    const auto cs = makeSet(11, {4, 4, 4, 90, 90, 90});
    for (int i = 0; i < 3; ++i)
        for (int j = 0; j < 3; ++j) {
            EXPECT_NEAR(element(cs->Direct, i, j), i == j ? 4.0 : 0.0, 1e-12);
            EXPECT_NEAR(element(cs->Recip, i, j), i == j ? 0.25 : 0.0, 1e-12);
            EXPECT_NEAR(element(cs->RecipInv, i, j), i == j ? 4.0 : 0.0, 1e-12);
        }
    EXPECT_NEAR(LatticeSpacing(cs.get(), 1, 1, 1), 4 / std::sqrt(3.0), 1e-12);
    EXPECT_NEAR(LatticeSpacing(cs.get(), 2, 0, 0), 2.0, 1e-12);
    EXPECT_EQ(cs->SpaceGroup, 251);
    EXPECT_EQ(cs->PseudoCount, 0);
    EXPECT_STREQ(cs->FileName, "");
}

TEST(CrySet, HexagonalCellPutsAOffTheYAxis) {
    const auto cs = makeSet(9, {3, 3, 5, 90, 90, 120});
    EXPECT_NEAR(cs->Direct.col[0].x, 3 * std::sin(2 * kPi / 3), 1e-6);
    EXPECT_NEAR(cs->Direct.col[0].y, -1.5, 1e-6);
    EXPECT_NEAR(cs->Direct.col[0].z, 0.0, 1e-6);
    EXPECT_NEAR(cs->Direct.col[1].y, 3.0, 1e-6);
    EXPECT_NEAR(cs->Direct.col[2].z, 5.0, 1e-12);
    // Closed form for hexagonal cells: 1/d^2 = 4/3 (h^2 + hk + k^2)/a^2 + l^2/c^2.
    const int hkl[][3] = {{1, 0, 0}, {1, 1, 0}, {1, 0, 1}, {2, -1, 3}, {0, 0, 2}};
    for (const auto& m : hkl) {
        const double inv =
            4.0 / 3.0 * (m[0] * m[0] + m[0] * m[1] + m[1] * m[1]) / 9.0 + m[2] * m[2] / 25.0;
        EXPECT_NEAR(LatticeSpacing(cs.get(), m[0], m[1], m[2]), 1 / std::sqrt(inv), 1e-6);
    }
}

// The general triclinic formula (Giacovazzo) against the reciprocal matrix.
TEST(CrySet, KyaniteSpacingsMatchTheTriclinicFormula) {
    const Cell k = cellOf(1);
    const auto cs = makeSet(1, k);
    const double a = k.a, b = k.b, c = k.c;
    const double ca = std::cos(k.alpha * kPi / 180), cb = std::cos(k.beta * kPi / 180),
                 cg = std::cos(k.gamma * kPi / 180);
    const double sa = std::sin(k.alpha * kPi / 180), sb = std::sin(k.beta * kPi / 180),
                 sg = std::sin(k.gamma * kPi / 180);
    const double v = a * b * c * std::sqrt(1 - ca * ca - cb * cb - cg * cg + 2 * ca * cb * cg);
    EXPECT_NEAR(Det3x3(&cs->Direct), v, 1e-3);
    const int hkl[][3] = {{1, 0, 0},  {0, 1, 0},  {0, 0, 1}, {1, 1, 1},
                          {1, 0, -4}, {3, 0, -2}, {-2, 3, 1}};
    for (const auto& m : hkl) {
        const double h = m[0], kk = m[1], l = m[2];
        const double s = h * h * b * b * c * c * sa * sa + kk * kk * a * a * c * c * sb * sb +
                         l * l * a * a * b * b * sg * sg +
                         2 * h * kk * a * b * c * c * (ca * cb - cg) +
                         2 * kk * l * a * a * b * c * (cb * cg - ca) +
                         2 * h * l * a * b * b * c * (cg * ca - cb);
        EXPECT_NEAR(LatticeSpacing(cs.get(), m[0], m[1], m[2]), v / std::sqrt(s), 1e-9)
            << h << kk << l;
    }
    // Direct and reciprocal bases are dual: a*.a = 1, a*.b = 0, ...
    for (int i = 0; i < 3; ++i)
        for (int j = 0; j < 3; ++j)
            EXPECT_NEAR(Dot(&cs->Recip.col[i], &cs->Direct.col[j]), i == j ? 1.0 : 0.0, 1e-12);
}

TEST(CrySet, TextsAreCutToTheirFields) {
    const auto cs = makeSet(11, {4, 4, 4, 90, 90, 90}, "ABCDEFGHIJKLMNOPQRSTUVWXY",
                            std::string(100, 'r').c_str());
    EXPECT_STREQ(cs->Name, "ABCDEFGHIJKLMNOPQRST");
    EXPECT_EQ(std::string(cs->Reference), std::string(80, 'r'));
    const auto plain = makeSet(11, {4, 4, 4, 90, 90, 90});
    EXPECT_STREQ(plain->Reference, "ref");
}

TEST(CrySet, IndexTextsAndIndicesGiveUnitVectors) {
    const auto cs = makeSet(11, {4, 4, 4, 90, 90, 90});
    TVec3D out;
    Str2Vec(cs.get(), 1, "110", &out);
    EXPECT_NEAR(out.x, std::sqrt(0.5), 1e-12);
    EXPECT_NEAR(out.y, std::sqrt(0.5), 1e-12);
    EXPECT_NEAR(out.z, 0.0, 1e-12);
    Str2Vec(cs.get(), 0, "001", &out);
    EXPECT_NEAR(out.z, 1.0, 1e-12);
    Str2Vec(cs.get(), 1, "abc", &out);  // unparsable: zero indices
    EXPECT_EQ(out.x, 1.0);
    EXPECT_EQ(out.y, 0.0);

    TIndices zero{};
    EXPECT_EQ(Miller2Vec(cs.get(), 1, &zero, &out), 0);
    EXPECT_EQ(out.x, 1.0);
    // In a hexagonal set a direction goes through Direct, a plane through Recip.
    const auto hex = makeSet(9, {3, 3, 5, 90, 90, 120});
    TIndices i100{{1, 0, 0, 0}};
    EXPECT_EQ(Miller2Vec(hex.get(), 1, &i100, &out), 1);
    EXPECT_NEAR(out.x, std::sin(2 * kPi / 3), 1e-6);
    EXPECT_NEAR(out.y, -0.5, 1e-6);
    EXPECT_EQ(Miller2Vec(hex.get(), 0, &i100, &out), 1);
    EXPECT_NEAR(out.x, 1.0, 1e-6);  // (100) is perpendicular to b and c
    EXPECT_NEAR(out.y, 0.0, 1e-6);
}

TEST(CrySet, PseudoSymmetryHoldsFourEntries) {
    const auto cs = makeSet(5, {3, 3, 5, 90, 90, 90});
    for (int i = 0; i < 4; ++i)
        SetPseudoSymmetry(cs.get(), static_cast<uint8_t>(i + 1), 0, 0, 2, 0.5f * i);
    const TPseudoSym before = cs->Pseudo[3];
    SetPseudoSymmetry(cs.get(), 9, 1, 0, 0, 9);
    EXPECT_EQ(cs->PseudoCount, 4);
    EXPECT_EQ(cs->Pseudo[3].Kind, before.Kind);
    EXPECT_EQ(cs->Pseudo[3].Value, before.Value);
    EXPECT_EQ(cs->Pseudo[2].Kind, 3);
    EXPECT_EQ(cs->Pseudo[2].Value, 1.0);
    EXPECT_NEAR(cs->Pseudo[0].Axis.z, 1.0, 1e-12);

    InitCrySet2(cs.get(), "n", "r", 3, 3, 5, 90, 90, 90, 5, 245);
    EXPECT_EQ(cs->PseudoCount, 0);
    SetPseudoSymmetry(cs.get(), 1, 0, 0, 0, 1);
    EXPECT_EQ(cs->Pseudo[0].Axis.x, 1.0);  // a zero axis falls back to x
}

// A Laue index outside 1..11 must neither hang nor pass as a usable set.
TEST(CrySet, UnknownLaueGroupIsReported) {
    for (int laue : {0, 12, -3, 1000}) {
        const auto cs = makeSet(laue, {4, 4, 4, 90, 90, 90});
        EXPECT_EQ(GetInitIoStatus(), 201) << laue;
        EXPECT_EQ(cs->SymOpCount, 1);
        EXPECT_EQ(cs->Apu0.DirCount, 0);
    }
    makeSet(11, {4, 4, 4, 90, 90, 90});
    EXPECT_EQ(GetInitIoStatus(), 0);
}

// Missing setup data end the initialisation with the file status, not with a
// crash; ErrMsg then says which file failed, until a run succeeds.
TEST(CrySet, MissingSetupDataIsReportedNotThrown) {
    const std::filesystem::path dir =
        std::filesystem::temp_directory_path() / ("lattix_cs_" + std::to_string(::getpid()));
    std::filesystem::create_directories(dir / "empty");
    std::ofstream(dir / "Orvane.conf")
        << "[General]\nSystemDir=" << (dir / "empty").string() << "\n";
    const char* old = std::getenv("XDG_CONFIG_DIRS");
    const std::string saved = old ? old : "";
    setenv("XDG_CONFIG_DIRS", dir.c_str(), 1);

    const auto cs = makeSet(11, {4, 4, 4, 90, 90, 90});
    EXPECT_EQ(GetInitIoStatus(), 2);
    EXPECT_EQ(cs->SymOpCount, 1);                  // never a stale count
    EXPECT_NEAR(cs->Direct.col[0].x, 4.0, 1e-12);  // the matrices were built
    char text[64];
    EXPECT_STREQ(ErrMsg(text), "SYMGEN: File not found");

    setenv("XDG_CONFIG_DIRS", saved.c_str(), 1);
    std::filesystem::remove_all(dir);
    makeSet(11, {4, 4, 4, 90, 90, 90});
    EXPECT_EQ(GetInitIoStatus(), 0);
    EXPECT_STREQ(ErrMsg(text), "Ok");
}

}  // namespace
