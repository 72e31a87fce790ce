// Electron wavelength against the quoted values and against the relativistic
// formula from physical constants.
#include <gtest/gtest.h>

#include <cmath>

#include "lattixLib.h"

namespace {

// lambda = h / sqrt(2 m e V (1 + e V / (2 m c^2))) in angstrom, CODATA 2018 constants.
double physicalWavelength(double volts) {
    const double h = 6.62607015e-34, m = 9.1093837015e-31, e = 1.602176634e-19, c = 299792458.0;
    return 1e10 * h / std::sqrt(2 * m * e * volts * (1 + e * volts / (2 * m * c * c)));
}

}  // namespace

TEST(Wavelength, QuotedValues) {
    EXPECT_NEAR(deBroglie(20), 0.0858550, 5e-8);
    EXPECT_NEAR(deBroglie(10), 0.122004, 5e-7);
    EXPECT_NEAR(deBroglie(30), 0.069766, 5e-7);
}

TEST(Wavelength, CloseToThePhysicalFormula) {
    // 12.26 and 0.9788e-6 are rounded constants: agreement to a few parts in 10^4.
    for (double kv = 1; kv <= 300; kv += 0.5)
        EXPECT_NEAR(deBroglie(kv) / physicalWavelength(kv * 1000), 1.0, 2e-3) << kv;
}

TEST(Wavelength, ShorterAtHigherVoltage) {
    EXPECT_LT(deBroglie(30), deBroglie(10));
    double previous = deBroglie(0.1);
    for (double kv = 0.2; kv <= 1000; kv += 0.1) {
        const double now = deBroglie(kv);
        ASSERT_LT(now, previous) << kv;
        previous = now;
    }
}
