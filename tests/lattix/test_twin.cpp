// Twin tests: a Sigma3 twin in a cubic crystal inside and just outside each tolerance.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <memory>
#include <random>

#include "../support/lattix_test_support.h"
#include "lattixLib.h"

namespace {

using namespace lattix_test;

std::unique_ptr<TTwinSet> makeTwin(int laue, const char* axisText, double angle, double axisTol,
                                   double angleTol) {
    auto twin = makeRecord<TTwinSet>(laue);
    std::strncpy(twin->TwinAxisText, axisText, sizeof twin->TwinAxisText - 1);
    twin->TwinAngle = angle;
    twin->AxisTolerance = axisTol;
    twin->AngleTolerance = angleTol;
    SGBTwinInit(twin.get());
    return twin;
}

TVec3D unit(TVec3D v) {
    const double l = std::sqrt(v.x * v.x + v.y * v.y + v.z * v.z);
    return TVec3D{v.x / l, v.y / l, v.z / l};
}

// v turned by w about the unit axis n (right-handed).
TVec3D turned(const TVec3D& n, const TVec3D& v, double w) {
    TVec3D out;
    ConeVector(&n, &v, &out, w);
    return out;
}

TEST(SGBTwinInit, EquivalentAxesOncePerAxis) {
    EXPECT_EQ(makeTwin(11, "111", 60 * kDeg, 0.1, 0.1)->TwinAxisCount, 4);
    EXPECT_EQ(makeTwin(11, "100", 90 * kDeg, 0.1, 0.1)->TwinAxisCount, 3);
    EXPECT_EQ(makeTwin(11, "110", 60 * kDeg, 0.1, 0.1)->TwinAxisCount, 6);
    EXPECT_EQ(makeTwin(1, "110", 60 * kDeg, 0.1, 0.1)->TwinAxisCount, 1);
    EXPECT_EQ(makeTwin(9, "0001", 30 * kDeg, 0.1, 0.1)->TwinAxisCount, 1);
    const auto twin = makeTwin(11, "111", 60 * kDeg, 5 * kDeg, 2 * kDeg);
    EXPECT_NEAR(twin->CosAxisTolerance, std::cos(5 * kDeg), 1e-15);
    for (int k = 0; k < twin->TwinAxisCount; ++k) {
        const TVec3D& a = twin->TwinAxes[k];
        EXPECT_NEAR(std::fabs(a.x), 1 / std::sqrt(3.0), 1e-12);
        EXPECT_NEAR(std::fabs(a.y), 1 / std::sqrt(3.0), 1e-12);
        EXPECT_NEAR(std::fabs(a.z), 1 / std::sqrt(3.0), 1e-12);
    }
}

TEST(SGBTwin, ToleranceBoundaries) {
    const auto twin = makeTwin(11, "111", 60 * kDeg, 5 * kDeg, 2 * kDeg);
    const TVec3D axis = unit(TVec3D{1, 1, 1});
    const TVec3D across = unit(TVec3D{1, -1, 0});
    double dev = -1;
    double angle = 60 * kDeg;
    EXPECT_EQ(SGBTwin(twin.get(), &dev, &axis, &angle), 1);
    EXPECT_NEAR(dev, 0.0, 1e-7);

    angle = 61.9 * kDeg;
    EXPECT_EQ(SGBTwin(twin.get(), &dev, &axis, &angle), 1);
    angle = 58.1 * kDeg;
    EXPECT_EQ(SGBTwin(twin.get(), &dev, &axis, &angle), 1);
    angle = 62.1 * kDeg;
    dev = -1;
    EXPECT_EQ(SGBTwin(twin.get(), &dev, &axis, &angle), 0);
    EXPECT_EQ(dev, 0.0);
    angle = 57.9 * kDeg;
    EXPECT_EQ(SGBTwin(twin.get(), &dev, &axis, &angle), 0);

    angle = 60 * kDeg;
    const TVec3D inside = turned(across, axis, 4.9 * kDeg);
    EXPECT_EQ(SGBTwin(twin.get(), &dev, &inside, &angle), 1);
    EXPECT_NEAR(dev, 4.9 * kDeg, 1e-9);
    const TVec3D outside = turned(across, axis, 5.1 * kDeg);
    dev = -1;
    EXPECT_EQ(SGBTwin(twin.get(), &dev, &outside, &angle), 0);
    EXPECT_EQ(dev, 0.0);

    // Antiparallel axes qualify with the same deviation.
    const TVec3D opposite{-inside.x, -inside.y, -inside.z};
    EXPECT_EQ(SGBTwin(twin.get(), &dev, &opposite, &angle), 1);
    EXPECT_NEAR(dev, 4.9 * kDeg, 1e-9);
    // Any of the four <111> axes will do.
    const TVec3D other = unit(TVec3D{-1, 1, 1});
    EXPECT_EQ(SGBTwin(twin.get(), &dev, &other, &angle), 1);
}

TEST(SGBTwin, AngleDifferenceEqualToToleranceIsOutside) {
    auto twin = makeTwin(11, "111", 1.0, 5 * kDeg, 0.5);
    const TVec3D axis = unit(TVec3D{1, 1, 1});
    double dev = -1;
    double angle = 1.5;
    EXPECT_EQ(SGBTwin(twin.get(), &dev, &axis, &angle), 0);
    angle = 0.5;
    EXPECT_EQ(SGBTwin(twin.get(), &dev, &axis, &angle), 0);
    angle = 1.4999;
    EXPECT_EQ(SGBTwin(twin.get(), &dev, &axis, &angle), 1);
}

TEST(SGBTwin, ZeroedRecordIsNeverATwin) {
    auto twin = std::make_unique<TTwinSet>();
    std::memset(twin.get(), 0, sizeof(TTwinSet));
    twin->AngleTolerance = 1.0;
    const TVec3D axis{1, 0, 0};
    double dev = -1, angle = 0;
    EXPECT_EQ(SGBTwin(twin.get(), &dev, &axis, &angle), 0);
    EXPECT_EQ(dev, 0.0);
    // A damaged count larger than the axis array is not read past its end.
    twin->TwinAxisCount = 100000;
    twin->CosAxisTolerance = 2.0;
    EXPECT_EQ(SGBTwin(twin.get(), &dev, &axis, &angle), 0);
}

TEST(SGBTwin, MisorientationOfTwinnedOrientations) {
    // B is A turned by 60 degrees (plus a small error) about a crystal
    // <111>; AxisAngleMat then SGBTwin recognise the Sigma3 twin, and a
    // larger error takes it outside the tolerances.
    const auto twin = makeTwin(11, "111", 60 * kDeg, 5 * kDeg, 2 * kDeg);
    std::mt19937_64 rng(31);
    std::uniform_real_distribution<double> u(0.0, 1.0);
    struct Case {
        double angleErrorDeg, tiltDeg;
        bool expected;
    };
    const Case cases[] = {{0, 0, true}, {1.5, 0, true},  {-1.5, 0, true}, {2.5, 0, false},
                          {0, 4, true}, {0, 6.5, false}, {-2.5, 0, false}};
    for (const Case& c : cases) {
        for (int trial = 0; trial < 10; ++trial) {
            const TVec3D e{2 * kPi * u(rng), std::acos(2 * u(rng) - 1), 2 * kPi * u(rng)};
            TMat3D a, turn, b;
            Euler2Matrix(&e, &a);
            TVec3D axis = turned(unit(TVec3D{1, -1, 0}), unit(TVec3D{1, 1, 1}), c.tiltDeg * kDeg);
            const double w = (60 + c.angleErrorDeg) * kDeg;
            AxisAngle2Matrix(&axis, &w, &turn);  // a crystal-frame turn
            MatMul3x3(&turn, &a, &b);
            TVec3D misAxis;
            double misAngle = 0, dev = -1;
            AxisAngleMat(&twin->CrySet, &a, &b, &misAxis, &misAngle);
            // 60 degrees about <111> lies midway between the identity and the
            // three-fold, so an angle error of either sign shortens it.
            if (c.tiltDeg == 0) {
                EXPECT_NEAR(misAngle, (60 - std::fabs(c.angleErrorDeg)) * kDeg, 1e-9);
            } else {
                EXPECT_NEAR(misAngle, w, 1e-9);
            }
            EXPECT_EQ(SGBTwin(twin.get(), &dev, &misAxis, &misAngle) == 1, c.expected)
                << c.angleErrorDeg << " " << c.tiltDeg;
            if (c.expected) {
                EXPECT_NEAR(dev, c.tiltDeg * kDeg, 1e-7);
            }
        }
    }
}

}  // namespace
