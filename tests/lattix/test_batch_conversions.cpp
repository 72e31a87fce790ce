// Array conversions between Euler angles, matrices and quaternions: the header's example, the
// per-call exports element by element, round trips, and NaN instead of a message box.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <random>
#include <vector>

#include "../support/lattix_test_support.h"
#include "lattixBatch.h"

namespace {

using namespace lattix_test;

int g_boxes = 0;
void LATTIX_CALL countBox(const char*, const char*) {
    ++g_boxes;
}

std::vector<TVec3D> sampleEulers() {
    std::mt19937_64 rng(42);
    std::vector<TVec3D> e;
    for (int i = 0; i < 500; ++i)
        e.push_back(randomEuler(rng));
    // Phi at 0 and pi, half turns, the identity, angles beyond 2 pi.
    for (TVec3D t :
         {TVec3D{0, 0, 0}, TVec3D{0.4, 0, 0.5}, TVec3D{0.3, kPi, 1.1}, TVec3D{kPi, kPi / 2, 0},
          TVec3D{0, kPi, 0}, TVec3D{7.5, 0.3, -2.0}, TVec3D{kPi, 0, 0}, TVec3D{0, 1e-9, 0}})
        e.push_back(t);
    return e;
}

TEST(BatchConversions, HeaderExampleAndPublishedConvention) {
    // Euler (90, 0, 0) -> (0.70711, 0, 0, -0.70711); (0, 90, 0) is a quarter
    // turn about x: (cos 45, -sin 45, 0, 0) with P = +1.
    const TVec3D e[2] = {{kPi / 2, 0, 0}, {0, kPi / 2, 0}};
    TQuat q[2];
    ASSERT_EQ(BatchEuler2Quat(e, q, 2), 0);
    const double r = std::sqrt(0.5);
    EXPECT_NEAR(q[0].w, r, 1e-15);
    EXPECT_NEAR(q[0].x, 0, 1e-15);
    EXPECT_NEAR(q[0].y, 0, 1e-15);
    EXPECT_NEAR(q[0].z, -r, 1e-15);
    EXPECT_NEAR(q[1].w, r, 1e-15);
    EXPECT_NEAR(q[1].x, -r, 1e-15);
}

TEST(BatchConversions, ElementByElementAsThePerCallExports) {
    const auto e = sampleEulers();
    const auto n = static_cast<std::int64_t>(e.size());
    std::vector<TMat3D> g(n);
    std::vector<TVec3D> back(n);
    ASSERT_EQ(BatchEuler2Matrix(e.data(), g.data(), n), 0);
    ASSERT_EQ(BatchMatrix2Euler(g.data(), back.data(), n), 0);
    for (std::int64_t i = 0; i < n; ++i) {
        TMat3D one;
        Euler2Matrix(&e[i], &one);
        EXPECT_EQ(std::memcmp(&one, &g[i], sizeof(TMat3D)), 0) << i;
        TVec3D angles;
        Matrix2Euler(&one, &angles);
        EXPECT_EQ(std::memcmp(&angles, &back[i], sizeof(TVec3D)), 0) << i;
    }
}

// Euler -> quaternion -> matrix is Euler2Matrix; matrix -> quaternion ->
// matrix is the identity map; quaternion -> Euler is Matrix2Euler of the
// quaternion's matrix.  Every quaternion is of unit length with w >= 0.
TEST(BatchConversions, RoundTripsAgree) {
    const auto e = sampleEulers();
    const auto n = static_cast<std::int64_t>(e.size());
    std::vector<TQuat> q(n), q2(n);
    std::vector<TMat3D> fromQuat(n), g(n);
    std::vector<TVec3D> eq(n), eg(n);
    ASSERT_EQ(BatchEuler2Quat(e.data(), q.data(), n), 0);
    ASSERT_EQ(BatchQuat2Matrix(q.data(), fromQuat.data(), n), 0);
    ASSERT_EQ(BatchEuler2Matrix(e.data(), g.data(), n), 0);
    ASSERT_EQ(BatchMatrix2Quat(g.data(), q2.data(), n), 0);
    ASSERT_EQ(BatchQuat2Euler(q.data(), eq.data(), n), 0);
    ASSERT_EQ(BatchMatrix2Euler(fromQuat.data(), eg.data(), n), 0);
    for (std::int64_t i = 0; i < n; ++i) {
        expectMat(fromQuat[i], g[i], 1e-14);
        EXPECT_NEAR(q[i].w * q[i].w + q[i].x * q[i].x + q[i].y * q[i].y + q[i].z * q[i].z, 1,
                    1e-15);
        EXPECT_GE(q[i].w, 0.0);
        // The same rotation; only for w = 0 may the sign differ.
        const double sign =
            (q[i].x * q2[i].x + q[i].y * q2[i].y + q[i].z * q2[i].z + q[i].w * q2[i].w) < 0 ? -1
                                                                                            : 1;
        EXPECT_NEAR(q2[i].w, sign * q[i].w, 1e-14) << i;
        EXPECT_NEAR(q2[i].x, sign * q[i].x, 1e-14) << i;
        EXPECT_NEAR(q2[i].y, sign * q[i].y, 1e-14) << i;
        EXPECT_NEAR(q2[i].z, sign * q[i].z, 1e-14) << i;
        EXPECT_EQ(std::memcmp(&eq[i], &eg[i], sizeof(TVec3D)), 0) << i;
    }
    // A quaternion that is not of unit length is normalised first.
    const TQuat scaled{2 * q[3].w, 2 * q[3].x, 2 * q[3].y, 2 * q[3].z};
    TMat3D m;
    ASSERT_EQ(BatchQuat2Matrix(&scaled, &m, 1), 0);
    expectMat(m, g[3], 1e-14);
}

TEST(BatchConversions, BrokenInputGivesNaNAndNoMessageBox) {
    g_boxes = 0;
    SetMessageBoxHandler(countBox);
    const double nan = std::numeric_limits<double>::quiet_NaN();
    TMat3D g[3];
    g[0] = fromRows({1, 0, 0, 0, 1, 0, 0, 0, 1.5});  // g(3,3) out of range
    g[1] = fromRows({1, 0, 0, 0, 1, 0, 0, 0, nan});
    g[2] = fromRows({1, 0, 0, 0, 1, 0, 0, 0, 1});
    TVec3D e[3];
    ASSERT_EQ(BatchMatrix2Euler(g, e, 3), 0);
    const TQuat q[3] = {{0, 0, 0, 0}, {nan, 0, 0, 0}, {1, 0, 0, 0}};
    TVec3D eq[3];
    TMat3D gq[3];
    TQuat back[3];
    ASSERT_EQ(BatchQuat2Euler(q, eq, 3), 0);
    ASSERT_EQ(BatchQuat2Matrix(q, gq, 3), 0);
    ASSERT_EQ(BatchMatrix2Quat(g + 1, back, 1), 0);
    SetMessageBoxHandler(nullptr);
    EXPECT_EQ(g_boxes, 0);
    for (int i = 0; i < 2; ++i) {
        EXPECT_TRUE(std::isnan(e[i].x) && std::isnan(e[i].y) && std::isnan(e[i].z)) << i;
        EXPECT_TRUE(std::isnan(eq[i].x) && std::isnan(eq[i].y) && std::isnan(eq[i].z)) << i;
        EXPECT_TRUE(std::isnan(el(gq[i], 0, 0)) && std::isnan(el(gq[i], 2, 1))) << i;
    }
    EXPECT_TRUE(std::isnan(back[0].w) && std::isnan(back[0].z));
    EXPECT_EQ(e[2].x, 0.0);
    EXPECT_EQ(eq[2].y, 0.0);
}

}  // namespace
