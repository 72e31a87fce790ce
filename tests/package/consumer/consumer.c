/* A program built against an installed lattix, as a user's would be. */
#include <lattix/lattixLib.h>
#include <math.h>
#include <stdio.h>

int main(void) {
    int failures = 0;

    const TVec3D a = {1.0, 2.0, 3.0};
    const TVec3D b = {4.0, -5.0, 6.0};
    const double dot = Dot(&a, &b);
    if (dot != 12.0) {
        fprintf(stderr, "Dot gave %g, expected 12\n", dot);
        ++failures;
    }

    /* Relativistic electron wavelength in angstrom, from CODATA constants. */
    const double h = 6.62607015e-34, m = 9.1093837015e-31, e = 1.602176634e-19, c = 299792458.0;
    const double volts = 20000.0;
    const double expected =
        h / sqrt(2.0 * m * e * volts * (1.0 + e * volts / (2.0 * m * c * c))) * 1e10;
    const double lambda = deBroglie(20.0);
    if (fabs(lambda / expected - 1.0) > 2e-3) {
        fprintf(stderr, "deBroglie(20) gave %.7f, expected %.7f\n", lambda, expected);
        ++failures;
    }

    if (failures == 0) {
        printf("lattix consumer: Dot = %g, deBroglie(20 kV) = %.7f A\n", dot, lambda);
    }
    return failures == 0 ? 0 : 1;
}
