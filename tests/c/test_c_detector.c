/* The detector header compiles as C11 and its exports work from C. */
#include <math.h>
#include <stdio.h>

#include "lattixDetector.h"

_Static_assert(sizeof(TDetector) == 80, "TDetector");
_Static_assert(offsetof(TDetector, PixelSize) == 16, "TDetector padding after Binning");

static int failures = 0;

#define CHECK(cond)                                                                  \
    do {                                                                             \
        if (!(cond)) {                                                               \
            fprintf(stderr, "%s:%d: check failed: %s\n", __FILE__, __LINE__, #cond); \
            ++failures;                                                              \
        }                                                                            \
    } while (0)

int main(void) {
    TDetector d = {640, 480, 1, 50.0, 70.0, 0.0, 0.0, 0.0, 0.5, 0.3, 0.6};
    const TMat3D g = {{{1, 0, 0}, {0, 1, 0}, {0, 0, 1}}};
    const TVec3D z001 = {0, 0, 1};
    double x = 0, y = 0, pc[3], line[3];
    CHECK(DetectorProject(&d, &g, &z001, &x, &y) == 0);
    CHECK(fabs(x - 320.0) < 1e-9 && fabs(y - 39.176573) < 1e-6);

    const TVec3D n111 = {1, 1, 1};
    CHECK(DetectorBandLine(&d, &g, &n111, line) == 0);
    CHECK(fabs(line[0] - 0.858373) < 1e-6 && fabs(line[2] + 31.701058) < 1e-6);

    const double edax[3] = {0.5, 0.5, 0.625};
    CHECK(DetectorSetPatternCentre(&d, lxPcEdax, edax) == 0);
    CHECK(DetectorGetPatternCentre(&d, lxPcWidth, pc) == 0);
    CHECK(fabs(pc[1] - 0.375) < 1e-15 && fabs(pc[2] - 0.46875) < 1e-15);
    CHECK(DetectorGetPatternCentre(&d, 9, pc) == lxDetBadConvention);
    CHECK(DetectorGetPatternCentre(NULL, lxPcBruker, pc) == lxDetNullPointer);

    if (failures == 0) printf("C detector header: all checks passed\n");
    return failures == 0 ? 0 : 1;
}
