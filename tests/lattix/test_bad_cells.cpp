// Cells that make no cell: InitCrySet reports them with a status and an ErrMsg text instead of
// success, and CheckLattice gives the same status for the same six values.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <random>
#include <string>

#include "lattixCell.h"
#include "lattixLib.h"
#include "system_folder_fixture.h"

namespace {

using lattix_test::CrystalFiles;
using lattix_test::errMsg;

TEST_F(CrystalFiles, BadCellsAreReportedNotBuilt) {
    const struct {
        const char* cell;  // line 5 onwards; nullptr: the file ends after line 4
        uint16_t status;
        const char* text;
    } cases[] = {
        {nullptr, 106, "Invalid numeric format"},
        {"4 4 4 90", 106, "Invalid numeric format"},  // cut in the middle
        {"4 4 4 90 90 ", 106, "Invalid numeric format"},
        {"4 nan 4 90 90 90", 106, "Invalid numeric format"},
        {"4 4 inf 90 90 90", 106, "Invalid numeric format"},
        {"4 4 4 90 90 1e39", 106, "Invalid numeric format"},  // beyond a Single
        {"0 4 4 90 90 90", 207, "Cell parameters make no cell"},
        {"4 -4 4 90 90 90", 207, "Cell parameters make no cell"},
        {"4 4 4 0 90 90", 207, "Cell parameters make no cell"},
        {"4 4 4 90 180 90", 207, "Cell parameters make no cell"},
        {"4 4 4 90 90 200", 207, "Cell parameters make no cell"},
        {"4 4 4 -60 90 90", 207, "Cell parameters make no cell"},
        {"4 4 4 10 10 170", 207, "Cell parameters make no cell"},
        {"4 4 4 60 60 120", 207, "Cell parameters make no cell"},          // flat: 60 + 60 = 120
        {"4 4 4 120 120 120", 207, "Cell parameters make no cell"},        // flat: sum 360
        {"0.01 0.01 0.01 90 90 90", 207, "Cell parameters make no cell"},  // volume 1e-6
        {"4 4 4 60 60 60", 0, "Ok"},
        {"4.913 4.913 5.504 90 90 120", 0, "Ok"},
        {"5 6 7 80 85 95", 0, "Ok"},
    };
    for (const auto& c : cases) {
        std::string text = "VER3.1\nBad\nref\n11\n";
        if (c.cell != nullptr) text += std::string(c.cell) + "\n";
        const std::string path = crystalFile("bad.cry", text);
        m_cs->SymOpCount = 77;  // not reached when refused
        EXPECT_EQ(init(path), c.status) << (c.cell ? c.cell : "(no line 5)");
        EXPECT_EQ(errMsg(), c.text) << (c.cell ? c.cell : "(no line 5)");
        if (c.status != 0) {
            EXPECT_EQ(m_cs->SymOpCount, 77) << c.cell;
        } else {
            EXPECT_EQ(m_cs->SymOpCount, 24);
            EXPECT_TRUE(std::isfinite(m_cs->Recip.col[0].x) &&
                        std::isfinite(m_cs->Direct.col[0].x));
        }
        if (c.cell != nullptr && c.status != 106) {
            // CheckLattice gives the status InitCrySet gives.
            double v[6] = {};
            std::sscanf(c.cell, "%lf %lf %lf %lf %lf %lf", &v[0], &v[1], &v[2], &v[3], &v[4],
                        &v[5]);
            EXPECT_EQ(CheckLattice(v[0], v[1], v[2], v[3], v[4], v[5]), c.status) << c.cell;
        }
    }
}

TEST(CheckLattice, NonFiniteValuesDoNotRead) {
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double inf = std::numeric_limits<double>::infinity();
    EXPECT_EQ(CheckLattice(nan, 4, 4, 90, 90, 90), 106);
    EXPECT_EQ(CheckLattice(4, 4, 4, 90, -inf, 90), 106);
    EXPECT_EQ(CheckLattice(4, 4, 4, 90, 90, 1e300), 106);
    EXPECT_EQ(CheckLattice(4, 4, 4, 90, 90, 90), 0);
}

TEST(CheckLattice, AnglesCloseACellExactlyWhenTheyFormASphericalTriangle) {
    // Oracle: three angles between 0 and 180 are the angles of three unit
    // vectors exactly when each is below the sum of the other two and all
    // three sum to less than 360 (the spherical triangle inequalities).
    std::mt19937_64 rng(11);
    std::uniform_real_distribution<double> angle(1.0, 179.0);
    int usable = 0, refused = 0;
    for (int trial = 0; trial < 5000; ++trial) {
        const double al = angle(rng), be = angle(rng), ga = angle(rng);
        const double margin =
            std::min({be + ga - al, al + ga - be, al + be - ga, 360 - al - be - ga});
        if (std::fabs(margin) < 0.5) continue;  // too near flat for a clear answer
        const bool closes = margin > 0;
        EXPECT_EQ(CheckLattice(5, 6, 7, al, be, ga), closes ? 0 : 207)
            << al << " " << be << " " << ga;
        (closes ? usable : refused)++;
    }
    EXPECT_GT(usable, 500);
    EXPECT_GT(refused, 500);
}

}  // namespace
