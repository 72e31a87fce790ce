// HKLUVW2Matrix and ValidateTrulyHKLUVW over grids of planes and directions, against the set's
// operators.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "lattixLib.h"

namespace {

TCrySet makeSet(int laue, float a, float c, float gamma) {
    TCrySet cs{};
    InitCrySet2(&cs, "test", "ref", a, a, c, 90, 90, gamma, laue, 240 + laue);
    EXPECT_EQ(GetInitIoStatus(), 0) << "setup data missing for group " << laue;
    return cs;
}

void toText(const int* v, TIndexText out) {
    std::memset(out, 0, sizeof(TIndexText));
    std::snprintf(out, sizeof(TIndexText), "%d %d %d", v[0], v[1], v[2]);
}

TVec3D column(const TMat3D& m, int j) {
    return m.col[j];
}

TVec3D unit(TVec3D v) {
    const double l = std::sqrt(v.x * v.x + v.y * v.y + v.z * v.z);
    return TVec3D{v.x / l, v.y / l, v.z / l};
}

// Plane normal Recip.(h,k,l) and direction Direct.(u,v,w), made unit.
TVec3D throughMatrix(const TMat3D& m, const int* idx) {
    TVec3D v{0, 0, 0};
    for (int j = 0; j < 3; ++j) {
        v.x += m.col[j].x * idx[j];
        v.y += m.col[j].y * idx[j];
        v.z += m.col[j].z * idx[j];
    }
    return unit(v);
}

std::vector<std::vector<int>> smallIndexGrid() {
    std::vector<std::vector<int>> grid;
    for (int a = -1; a <= 2; ++a)
        for (int b = -1; b <= 2; ++b)
            for (int c = -1; c <= 2; ++c)
                if (a != 0 || b != 0 || c != 0) grid.push_back({a, b, c});
    return grid;
}

void checkGrid(const TCrySet& cs) {
    const auto grid = smallIndexGrid();
    int found = 0, refused = 0;
    for (const auto& hkl : grid) {
        for (const auto& uvw : grid) {
            TIndexText planeText, dirText;
            toText(hkl.data(), planeText);
            toText(uvw.data(), dirText);
            const TVec3D normal = throughMatrix(cs.Recip, hkl.data());
            const TVec3D d = throughMatrix(cs.Direct, uvw.data());
            // Oracle: does any operator image of d lie in the plane?
            bool exists = false;
            for (int s = 0; s < cs.SymOpCount && !exists; ++s) {
                TVec3D image;
                MatMul3x1(&cs.SymOps[s], &d, &image);
                exists = std::fabs(Dot(&image, &normal)) < 0.001;
            }
            TMat3D m;
            const TVec3D sentinel{7, 8, 9};
            m.col[0] = sentinel;
            m.col[1] = sentinel;
            const bool ok = HKLUVW2Matrix(&cs, planeText, dirText, &m) != 0;
            ASSERT_EQ(ok, exists) << planeText << " / " << dirText;
            EXPECT_EQ(ValidateTrulyHKLUVW(&cs, planeText, dirText) != 0, exists);
            TVec3D c3 = column(m, 2);
            EXPECT_NEAR(Dot(&c3, &normal), 1.0, 1e-12);
            if (!ok) {
                ++refused;
                EXPECT_EQ(m.col[0].x, 7.0);
                EXPECT_EQ(m.col[1].z, 9.0);
                continue;
            }
            ++found;
            TVec3D c1 = column(m, 0), c2 = column(m, 1);
            EXPECT_NEAR(Dot(&c1, &c1), 1.0, 1e-12);
            EXPECT_NEAR(Dot(&c2, &c2), 1.0, 1e-12);
            EXPECT_NEAR(Dot(&c1, &c3), 0.0, 1e-12);
            EXPECT_NEAR(Dot(&c1, &c2), 0.0, 1e-12);
            EXPECT_NEAR(Dot(&c2, &c3), 0.0, 1e-12);
            EXPECT_NEAR(Det3x3(&m), 1.0, 1e-12);
            // Column 1 lies in the plane (up to the 0.001 tolerance, then made
            // exactly perpendicular) and is an operator image of d.
            double bestImage = -2;
            for (int s = 0; s < cs.SymOpCount; ++s) {
                TVec3D image;
                MatMul3x1(&cs.SymOps[s], &d, &image);
                bestImage = std::fmax(bestImage, Dot(&image, &c1));
            }
            EXPECT_GT(bestImage, 1 - 1e-6) << planeText << " / " << dirText;
        }
    }
    EXPECT_GT(found, 100);
    EXPECT_GT(refused, 100);
}

TEST(HKLUVW2Matrix, CubicGridOrthonormalRightHandedOrRefused) {
    checkGrid(makeSet(11, 4, 4, 90));
}

TEST(HKLUVW2Matrix, HexagonalGridOrthonormalRightHandedOrRefused) {
    checkGrid(makeSet(9, 3, 5, 120));
}

TEST(HKLUVW2Matrix, CubeComponentIsTheIdentity) {
    const TCrySet cs = makeSet(11, 4, 4, 90);
    TIndexText plane = "001", dir = "100";
    TMat3D m;
    ASSERT_EQ(HKLUVW2Matrix(&cs, plane, dir, &m), 1);
    const double* e = &m.col[0].x;
    for (int i = 0; i < 9; ++i)
        EXPECT_NEAR(e[i], (i % 4 == 0) ? 1.0 : 0.0, 1e-15) << i;
}

TEST(HKLUVW2Matrix, DirectionNormalToThePlaneIsRefused) {
    const TCrySet cs = makeSet(11, 4, 4, 90);
    TIndexText plane = "111", dir = "111";
    EXPECT_EQ(ValidateTrulyHKLUVW(&cs, plane, dir), 0);
    TIndexText plane2 = "111", dir2 = "1-10";
    EXPECT_EQ(ValidateTrulyHKLUVW(&cs, plane2, dir2), 1);
}

TEST(HKLUVW2Matrix, HexagonalFourIndexTexts) {
    const TCrySet cs = makeSet(9, 3, 5, 120);
    TMat3D m;
    TIndexText basal = "0001", a1 = "2-1-10";
    ASSERT_EQ(HKLUVW2Matrix(&cs, basal, a1, &m), 1);
    EXPECT_NEAR(m.col[2].z, 1.0, 1e-12);
    EXPECT_NEAR(m.col[0].z, 0.0, 1e-12);
    TIndexText prism = "10-10", c = "0001";
    ASSERT_EQ(HKLUVW2Matrix(&cs, prism, c, &m), 1);
    EXPECT_NEAR(std::fabs(m.col[0].z), 1.0, 1e-12);
    EXPECT_NEAR(m.col[2].z, 0.0, 1e-12);
}

TEST(HKLUVW2Matrix, IndexTextsAreReadAsSixteenCharacterFields) {
    // No NUL within the 16 characters: the text ends with the field.
    const TCrySet cs = makeSet(11, 4, 4, 90);
    char plane[17], dir[17];
    std::memset(plane, ' ', 16);
    std::memset(dir, ' ', 16);
    std::memcpy(plane + 13, "001", 3);
    std::memcpy(dir + 13, "100", 3);
    plane[16] = '9';  // beyond the field: must not be read
    dir[16] = '9';
    TMat3D m;
    ASSERT_EQ(HKLUVW2Matrix(&cs, plane, dir, &m), 1);
    EXPECT_NEAR(m.col[0].x, 1.0, 1e-15);
    EXPECT_NEAR(m.col[2].z, 1.0, 1e-15);
}

}  // namespace
