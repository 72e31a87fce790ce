// Array misorientation against the per-call AxisAngleMat in every Laue group: random pairs,
// identity pairs, half turns, fundamental-zone boundaries, NaN, thread counts, maps.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <array>
#include <chrono>
#include <cmath>
#include <cstring>
#include <limits>
#include <random>
#include <thread>
#include <vector>

#include "../support/lattix_test_support.h"
#include "lattixBatch.h"

namespace {

using namespace lattix_test;

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

TMat3D product(const TMat3D& a, const TMat3D& b) {
    TMat3D out;
    MatMul3x3(&a, &b, &out);
    return out;
}

TMat3D axisAngle(TVec3D n, double w) {
    UnityVector(&n);
    TMat3D m;
    AxisAngle2Matrix(&n, &w, &m);
    return m;
}

// The passive rotation of an operator as axis and angle in (0, pi].
void operatorAxisAngle(const TMat3D& s, TVec3D& n, double& w) {
    const double t = el(s, 0, 0) + el(s, 1, 1) + el(s, 2, 2);
    w = std::acos(std::clamp((t - 1) / 2, -1.0, 1.0));
    n = TVec3D{el(s, 1, 2) - el(s, 2, 1), el(s, 2, 0) - el(s, 0, 2), el(s, 0, 1) - el(s, 1, 0)};
    if (w > kPi - 1e-6) {  // half turn: the axis from S + I
        double best = -1;
        for (int j = 0; j < 3; ++j) {
            TVec3D c{el(s, 0, j) + (j == 0), el(s, 1, j) + (j == 1), el(s, 2, j) + (j == 2)};
            const double len = c.x * c.x + c.y * c.y + c.z * c.z;
            if (len > best) {
                best = len;
                n = c;
            }
        }
    }
    UnityVector(&n);
}

struct Pairs {
    std::vector<TMat3D> a, b;
    void add(const TMat3D& misorientation, const TMat3D& base) {
        a.push_back(product(misorientation, base));
        b.push_back(base);
    }
};

// Random pairs, identical pairs, pairs one operator apart, half turns about
// coordinate and random axes, and for every operator the rotation half-way to
// it: D.B and B with D equally far from the identity and from that operator.
Pairs testPairs(const TCrySet& cs, std::mt19937_64& rng) {
    Pairs p;
    for (int i = 0; i < 300; ++i)
        p.add(euler(randomEuler(rng)), euler(randomEuler(rng)));
    std::normal_distribution<double> normal;
    const TMat3D identity = euler(TVec3D{0, 0, 0});
    for (int k = 0; k < cs.SymOpCount; ++k) {
        const TMat3D base = euler(randomEuler(rng));
        p.add(identity, base);
        TMat3D st;
        Transpose(&cs.SymOps[k], &st);
        p.add(st, base);
        TVec3D n;
        double w = 0;
        operatorAxisAngle(cs.SymOps[k], n, w);
        if (k > 0) {
            p.add(axisAngle(n, -w / 2), base);
            p.add(axisAngle(n, -w / 2), identity);
            p.add(product(st, axisAngle(n, w / 2)), base);
        }
    }
    for (TVec3D n : {TVec3D{1, 0, 0}, TVec3D{0, 1, 0}, TVec3D{0, 0, 1}, TVec3D{1, 1, 1},
                     TVec3D{normal(rng), normal(rng), normal(rng)}})
        p.add(axisAngle(n, kPi), euler(randomEuler(rng)));
    // Cubic zone corners: 62.8 degrees about [1 1 sqrt2-1], 60 about [111], 45 about [001].
    p.add(axisAngle(TVec3D{1, 1, std::sqrt(2.0) - 1}, 62.7994 * kDeg), identity);
    p.add(axisAngle(TVec3D{1, 1, 1}, kPi / 3), identity);
    p.add(axisAngle(TVec3D{0, 0, 1}, kPi / 4), identity);
    // Small angles, where the arc cosine of a trace is worst conditioned.
    for (double w : {1e-9, 1e-6, 1e-3, 9.9e-3, 1.01e-2, 0.02})
        p.add(axisAngle(TVec3D{normal(rng), normal(rng), normal(rng)}, w), euler(randomEuler(rng)));
    return p;
}

class BatchAgreement : public ::testing::TestWithParam<int> {};

TEST_P(BatchAgreement, AnglesAndAxesAreThoseOfAxisAngleMat) {
    const TCrySet cs = makeSet(GetParam());
    std::mt19937_64 rng(1000 + GetParam());
    const Pairs p = testPairs(cs, rng);
    const auto n = static_cast<std::int64_t>(p.a.size());
    std::vector<double> fast(n), withAxes(n);
    std::vector<TVec3D> axes(n);
    ASSERT_EQ(BatchMisorientation(&cs, p.a.data(), p.b.data(), n, fast.data(), nullptr, 1), 0);
    ASSERT_EQ(BatchMisorientation(&cs, p.a.data(), p.b.data(), n, withAxes.data(), axes.data(), 1),
              0);
    for (std::int64_t i = 0; i < n; ++i) {
        TVec3D axis;
        double angle = 0;
        AxisAngleMat(&cs, &p.a[i], &p.b[i], &axis, &angle);
        EXPECT_NEAR(fast[i], angle, 1e-12) << "pair " << i;
        EXPECT_NEAR(withAxes[i], angle, 1e-12) << "pair " << i;
        EXPECT_EQ(axes[i].x, axis.x) << "pair " << i;
        EXPECT_EQ(axes[i].y, axis.y) << "pair " << i;
        EXPECT_EQ(axes[i].z, axis.z) << "pair " << i;
    }
}

TEST_P(BatchAgreement, QuaternionsGiveTheAnglesOfTheirMatrices) {
    const TCrySet cs = makeSet(GetParam());
    std::mt19937_64 rng(2000 + GetParam());
    const Pairs p = testPairs(cs, rng);
    const auto n = static_cast<std::int64_t>(p.a.size());
    std::vector<TQuat> qa(n), qb(n);
    std::vector<TMat3D> ma(n), mb(n);
    ASSERT_EQ(BatchMatrix2Quat(p.a.data(), qa.data(), n), 0);
    ASSERT_EQ(BatchMatrix2Quat(p.b.data(), qb.data(), n), 0);
    ASSERT_EQ(BatchQuat2Matrix(qa.data(), ma.data(), n), 0);
    ASSERT_EQ(BatchQuat2Matrix(qb.data(), mb.data(), n), 0);
    std::vector<double> angles(n), fast(n);
    std::vector<TVec3D> axes(n);
    ASSERT_EQ(BatchMisorientationQuat(&cs, qa.data(), qb.data(), n, angles.data(), axes.data(), 0),
              0);
    ASSERT_EQ(BatchMisorientationQuat(&cs, qa.data(), qb.data(), n, fast.data(), nullptr, 0), 0);
    for (std::int64_t i = 0; i < n; ++i) {
        TVec3D axis;
        double angle = 0;
        AxisAngleMat(&cs, &ma[i], &mb[i], &axis, &angle);
        EXPECT_NEAR(angles[i], angle, 1e-12) << "pair " << i;
        EXPECT_NEAR(fast[i], angle, 1e-12) << "pair " << i;
        EXPECT_NEAR(axes[i].x, axis.x, 1e-12) << "pair " << i;
    }
}

INSTANTIATE_TEST_SUITE_P(AllLaueGroups, BatchAgreement, ::testing::Range(1, 12));

TEST(BatchMisorientation, NaNMarksAMissingOrientationInsteadOfAHalfTurn) {
    const TCrySet cs = makeSet(11);
    TMat3D good = euler(TVec3D{0.1, 0.2, 0.3});
    TMat3D bad = good;
    el(bad, 2, 1) = kNaN;
    const TMat3D a[3] = {good, bad, good};
    const TMat3D b[3] = {bad, good, good};
    double angles[3];
    TVec3D axes[3];
    ASSERT_EQ(BatchMisorientation(&cs, a, b, 3, angles, axes, 1), 0);
    EXPECT_TRUE(std::isnan(angles[0]) && std::isnan(angles[1]) && std::isnan(axes[0].x));
    EXPECT_EQ(angles[2], 0.0);
    ASSERT_EQ(BatchMisorientation(&cs, a, b, 3, angles, nullptr, 1), 0);
    EXPECT_TRUE(std::isnan(angles[0]) && std::isnan(angles[1]));
}

TEST(BatchMisorientation, ResultsDoNotDependOnTheThreadCount) {
    for (int laue : {11, 9, 5}) {
        const TCrySet cs = makeSet(laue);
        std::mt19937_64 rng(77);
        const std::int64_t n = 30011;
        std::vector<TMat3D> a(n), b(n);
        for (std::int64_t i = 0; i < n; ++i) {
            a[i] = euler(randomEuler(rng));
            b[i] = euler(randomEuler(rng));
        }
        std::vector<double> one(n), many(n), fastOne(n), fastMany(n);
        std::vector<TVec3D> axesOne(n), axesMany(n);
        ASSERT_EQ(BatchMisorientation(&cs, a.data(), b.data(), n, one.data(), axesOne.data(), 1),
                  0);
        ASSERT_EQ(BatchMisorientation(&cs, a.data(), b.data(), n, fastOne.data(), nullptr, 1), 0);
        for (int threads : {0, 2, 3, 64}) {
            ASSERT_EQ(BatchMisorientation(&cs, a.data(), b.data(), n, many.data(), axesMany.data(),
                                          threads),
                      0);
            ASSERT_EQ(
                BatchMisorientation(&cs, a.data(), b.data(), n, fastMany.data(), nullptr, threads),
                0);
            EXPECT_EQ(std::memcmp(one.data(), many.data(), n * sizeof(double)), 0) << threads;
            EXPECT_EQ(std::memcmp(axesOne.data(), axesMany.data(), n * sizeof(TVec3D)), 0);
            EXPECT_EQ(std::memcmp(fastOne.data(), fastMany.data(), n * sizeof(double)), 0);
        }
        // Shifting the range by one pairs every element with other neighbours
        // inside the library's loops; the results must not notice.
        ASSERT_EQ(BatchMisorientation(&cs, a.data() + 1, b.data() + 1, n - 1, fastMany.data(),
                                      nullptr, 1),
                  0);
        EXPECT_EQ(std::memcmp(fastOne.data() + 1, fastMany.data(), (n - 1) * sizeof(double)), 0);
    }
}

// Calls back to back and after pauses that let the workers fall asleep: every
// result is that of the calling thread alone.
TEST(BatchMisorientation, PacedCallsMatchOneThread) {
    const TCrySet cs = makeSet(11);
    std::mt19937_64 rng(41);
    const std::int64_t n = 20000;
    std::vector<TMat3D> a(n), b(n);
    for (std::int64_t i = 0; i < n; ++i) {
        a[i] = euler(randomEuler(rng));
        b[i] = euler(randomEuler(rng));
    }
    std::vector<double> one(n), many(n);
    ASSERT_EQ(BatchMisorientation(&cs, a.data(), b.data(), n, one.data(), nullptr, 1), 0);
    std::mt19937 pick(1);
    for (int call = 0; call < 120; ++call) {
        const std::int64_t count = 8192 + pick() % (n - 8192);
        const int pauseUs = std::array<int, 4>{0, 10, 200, 3000}[pick() % 4];
        std::this_thread::sleep_for(std::chrono::microseconds(pauseUs));
        ASSERT_EQ(BatchMisorientation(&cs, a.data(), b.data(), count, many.data(), nullptr, 0), 0);
        ASSERT_EQ(std::memcmp(one.data(), many.data(), count * sizeof(double)), 0) << call;
    }
}

// A child forked after the workers started has none; its calls must still end.
TEST(BatchMisorientation, ForkedChildFinishesWithoutTheWorkers) {
    const TCrySet cs = makeSet(11);
    std::mt19937_64 rng(3);
    const std::int64_t n = 40000;
    std::vector<TMat3D> a(n), b(n);
    for (std::int64_t i = 0; i < n; ++i) {
        a[i] = euler(randomEuler(rng));
        b[i] = euler(randomEuler(rng));
    }
    std::vector<double> parent(n), child(n);
    ASSERT_EQ(BatchMisorientation(&cs, a.data(), b.data(), n, parent.data(), nullptr, 0), 0);
    const pid_t pid = fork();
    ASSERT_GE(pid, 0);
    if (pid == 0) {
        alarm(20);  // a hang ends the child by a signal
        const int status =
            BatchMisorientation(&cs, a.data(), b.data(), n, child.data(), nullptr, 0);
        _exit(status == 0 && std::memcmp(parent.data(), child.data(), n * sizeof(double)) == 0 ? 0
                                                                                               : 1);
    }
    int status = 0;
    ASSERT_EQ(waitpid(pid, &status, 0), pid);
    EXPECT_TRUE(WIFEXITED(status)) << "the child hung or crashed";
    EXPECT_EQ(WEXITSTATUS(status), 0);
}

TEST(BatchGridMisorientation, NeighboursEdgesAndUnindexedPixels) {
    const TCrySet cs = makeSet(11);
    std::mt19937_64 rng(5);
    const int width = 5, height = 4;
    std::vector<TMat3D> g(width * height);
    for (auto& m : g)
        m = euler(randomEuler(rng));
    const int unindexed = 2 * width + 1;
    el(g[unindexed], 0, 0) = kNaN;
    std::vector<double> right(g.size()), down(g.size());
    ASSERT_EQ(BatchGridMisorientation(&cs, g.data(), width, height, right.data(), down.data(), 0),
              0);
    for (int r = 0; r < height; ++r) {
        for (int c = 0; c < width; ++c) {
            const int i = r * width + c;
            auto expected = [&](int j) {
                if (i == unindexed || j == unindexed) return kNaN;
                TVec3D axis;
                double angle = 0;
                AxisAngleMat(&cs, &g[i], &g[j], &axis, &angle);
                return angle;
            };
            const double wantRight = c + 1 < width ? expected(i + 1) : kNaN;
            const double wantDown = r + 1 < height ? expected(i + width) : kNaN;
            EXPECT_EQ(std::isnan(right[i]), std::isnan(wantRight)) << r << "," << c;
            EXPECT_EQ(std::isnan(down[i]), std::isnan(wantDown)) << r << "," << c;
            if (!std::isnan(wantRight)) {
                EXPECT_NEAR(right[i], wantRight, 1e-12);
            }
            if (!std::isnan(wantDown)) {
                EXPECT_NEAR(down[i], wantDown, 1e-12);
            }
        }
    }
    // A map large enough to be split between threads gives the same bits.
    const int bigWidth = 301, bigHeight = 120;
    std::vector<TMat3D> big(bigWidth * bigHeight);
    for (auto& m : big)
        m = euler(randomEuler(rng));
    std::vector<double> r1(big.size()), d1(big.size()), r0(big.size()), d0(big.size());
    ASSERT_EQ(
        BatchGridMisorientation(&cs, big.data(), bigWidth, bigHeight, r1.data(), d1.data(), 1), 0);
    ASSERT_EQ(
        BatchGridMisorientation(&cs, big.data(), bigWidth, bigHeight, r0.data(), d0.data(), 0), 0);
    EXPECT_EQ(std::memcmp(r1.data(), r0.data(), r1.size() * sizeof(double)), 0);
    EXPECT_EQ(std::memcmp(d1.data(), d0.data(), d1.size() * sizeof(double)), 0);
    // One row: nothing below; an empty map writes nothing.
    double rowRight[3], rowDown[3];
    ASSERT_EQ(BatchGridMisorientation(&cs, g.data(), 3, 1, rowRight, rowDown, 1), 0);
    EXPECT_TRUE(std::isnan(rowDown[0]) && std::isnan(rowDown[2]) && std::isnan(rowRight[2]) &&
                !std::isnan(rowRight[0]));
    EXPECT_EQ(BatchGridMisorientation(&cs, g.data(), 0, 0, rowRight, rowDown, 1), 0);
}

TEST(BatchNormalizeEuler, EachElementAsNormalizeEuler) {
    std::mt19937_64 rng(9);
    for (int laue = 1; laue <= 11; ++laue) {
        const TCrySet cs = makeSet(laue);
        std::vector<TVec3D> e(200);
        for (auto& t : e)
            t = TVec3D{(rng() % 1000) * 0.013 - 3, (rng() % 1000) * 0.0031,
                       (rng() % 1000) * 0.013 - 3};
        e[7] = TVec3D{kNaN, 0.1, 0.2};
        std::vector<TVec3D> batch = e;
        ASSERT_EQ(BatchNormalizeEuler(&cs, batch.data(), static_cast<std::int64_t>(e.size()), 0),
                  0);
        for (std::size_t i = 0; i < e.size(); ++i) {
            if (i == 7) {
                EXPECT_TRUE(std::isnan(batch[i].x) && std::isnan(batch[i].y) &&
                            std::isnan(batch[i].z));
                continue;
            }
            TVec3D one = e[i];
            NormalizeEuler(&cs, &one);
            EXPECT_EQ(std::memcmp(&one, &batch[i], sizeof(TVec3D)), 0) << laue << " " << i;
        }
    }
}

// Every export refuses a null pointer, a negative count or a crystal set
// without a usable operator count, and then writes nothing.
TEST(BatchStatus, InvalidArgumentsWriteNothing) {
    TCrySet cs = makeSet(11);
    TCrySet noOps = cs;
    noOps.SymOpCount = 0;
    TCrySet tooMany = cs;
    tooMany.SymOpCount = 97;
    const TMat3D m[2] = {euler(TVec3D{0.1, 0.2, 0.3}), euler(TVec3D{0.4, 0.5, 0.6})};
    const TQuat q[2] = {{1, 0, 0, 0}, {0, 1, 0, 0}};
    const TVec3D e[2] = {{0.1, 0.2, 0.3}, {0.4, 0.5, 0.6}};
    double out[2] = {-7, -7};
    TVec3D ev[2] = {{-7, -7, -7}, {-7, -7, -7}};
    TMat3D mv[2] = {};
    TQuat qv[2] = {};
    struct Case {
        const char* what;
        int32_t status;
        int32_t expected;
    };
    const Case cases[] = {
        {"misorientation null cs", BatchMisorientation(nullptr, m, m, 2, out, nullptr, 0), 1},
        {"misorientation null a", BatchMisorientation(&cs, nullptr, m, 2, out, nullptr, 0), 1},
        {"misorientation null angle", BatchMisorientation(&cs, m, m, 2, nullptr, ev, 0), 1},
        {"misorientation n < 0", BatchMisorientation(&cs, m, m, -1, out, nullptr, 0), 2},
        {"misorientation threads < 0", BatchMisorientation(&cs, m, m, 2, out, nullptr, -1), 2},
        {"misorientation 0 operators", BatchMisorientation(&noOps, m, m, 2, out, nullptr, 0), 3},
        {"misorientation 97 operators", BatchMisorientation(&tooMany, m, m, 2, out, nullptr, 0), 3},
        {"quaternions null b", BatchMisorientationQuat(&cs, q, nullptr, 2, out, nullptr, 0), 1},
        {"quaternions 0 operators", BatchMisorientationQuat(&noOps, q, q, 2, out, nullptr, 0), 3},
        {"grid width < 0", BatchGridMisorientation(&cs, m, -1, 2, out, out, 0), 2},
        {"grid null down", BatchGridMisorientation(&cs, m, 2, 1, out, nullptr, 0), 1},
        {"grid 97 operators", BatchGridMisorientation(&tooMany, m, 2, 1, out, out, 0), 3},
        {"normalize null cs", BatchNormalizeEuler(nullptr, ev, 2, 0), 1},
        {"normalize 0 operators", BatchNormalizeEuler(&noOps, ev, 2, 0), 3},
        {"normalize n < 0", BatchNormalizeEuler(&cs, ev, -2, 0), 2},
        {"euler2matrix null", BatchEuler2Matrix(e, nullptr, 2), 1},
        {"euler2matrix n < 0", BatchEuler2Matrix(e, mv, -1), 2},
        {"matrix2euler null", BatchMatrix2Euler(nullptr, ev, 2), 1},
        {"euler2quat n < 0", BatchEuler2Quat(e, qv, -5), 2},
        {"quat2euler null", BatchQuat2Euler(q, nullptr, 2), 1},
        {"matrix2quat n < 0", BatchMatrix2Quat(m, qv, -1), 2},
        {"quat2matrix null", BatchQuat2Matrix(nullptr, mv, 2), 1},
    };
    for (const auto& c : cases)
        EXPECT_EQ(c.status, c.expected) << c.what;
    EXPECT_EQ(out[0], -7);
    EXPECT_EQ(out[1], -7);
    EXPECT_EQ(ev[0].x, -7);
    EXPECT_EQ(mv[0].col[0].x, 0);
    EXPECT_EQ(qv[0].w, 0);
    // n = 0 is a valid empty call.
    EXPECT_EQ(BatchMisorientation(&cs, m, m, 0, out, nullptr, 0), 0);
    EXPECT_EQ(out[0], -7);
}

}  // namespace
