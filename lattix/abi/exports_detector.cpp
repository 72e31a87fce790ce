// Exports of the EBSD detector family.
#include <cmath>

#include "detector.h"
#include "guard.h"
#include "lattixDetector.h"

namespace {

// A direction or normal the library can use: finite and not of zero length.
bool usableVector(const TVec3D& v) {
    return lattix::isFinite(v) && (v.x != 0.0 || v.y != 0.0 || v.z != 0.0);
}

}  // namespace

extern "C" {

LATTIX_API int32_t LATTIX_CALL DetectorSetPatternCentre(TDetector* d, int32_t convention,
                                                        const double pc[3]) {
    return lattix::abi::guarded<int32_t>(lxDetBadArgument, [&]() -> int32_t {
        if (!d || !pc) return lxDetNullPointer;
        if (!lattix::isPcConvention(convention)) return lxDetBadConvention;
        const int32_t status =
            lattix::checkDetector(*d, false, lattix::conventionNeedsPixelSize(convention));
        if (status != 0) return status;
        for (int i = 0; i < 3; ++i)
            if (!std::isfinite(pc[i])) return lxDetBadArgument;
        double bruker[3];
        lattix::pcToBruker(*d, convention, pc, bruker);
        for (double v : bruker)
            if (!std::isfinite(v)) return lxDetBadArgument;
        if (!(bruker[2] > 0.0)) return lxDetBadArgument;
        d->PCx = bruker[0];
        d->PCy = bruker[1];
        d->PCz = bruker[2];
        return 0;
    });
}

LATTIX_API int32_t LATTIX_CALL DetectorGetPatternCentre(const TDetector* d, int32_t convention,
                                                        double pc[3]) {
    return lattix::abi::guarded<int32_t>(lxDetBadArgument, [&]() -> int32_t {
        if (!d || !pc) return lxDetNullPointer;
        if (!lattix::isPcConvention(convention)) return lxDetBadConvention;
        const int32_t status =
            lattix::checkDetector(*d, true, lattix::conventionNeedsPixelSize(convention));
        if (status != 0) return status;
        const double bruker[3] = {d->PCx, d->PCy, d->PCz};
        double out[3];
        lattix::pcFromBruker(*d, convention, bruker, out);
        for (int i = 0; i < 3; ++i)
            pc[i] = out[i];
        return 0;
    });
}

LATTIX_API int32_t LATTIX_CALL DetectorSampleMatrix(const TDetector* d, TMat3D* m) {
    return lattix::abi::guarded<int32_t>(lxDetBadArgument, [&]() -> int32_t {
        if (!d || !m) return lxDetNullPointer;
        const int32_t status = lattix::checkDetector(*d, true, false);
        if (status != 0) return status;
        *m = lattix::sampleToDetector(*d);
        return 0;
    });
}

LATTIX_API int32_t LATTIX_CALL DetectorProject(const TDetector* d, const TMat3D* g,
                                               const TVec3D* crystalDir, double* x, double* y) {
    return lattix::abi::guarded<int32_t>(lxDetBadArgument, [&]() -> int32_t {
        if (!d || !g || !crystalDir || !x || !y) return lxDetNullPointer;
        const int32_t status = lattix::checkDetector(*d, true, false);
        if (status != 0) return status;
        if (!lattix::isFinite(*g) || !usableVector(*crystalDir)) return lxDetBadArgument;
        const lattix::DetectorFrame frame = lattix::makeDetectorFrame(*d, *g);
        return lattix::projectDirection(frame, *crystalDir, *x, *y);
    });
}

LATTIX_API int32_t LATTIX_CALL DetectorDirection(const TDetector* d, const TMat3D* g, double x,
                                                 double y, TVec3D* crystalDir) {
    return lattix::abi::guarded<int32_t>(lxDetBadArgument, [&]() -> int32_t {
        if (!d || !g || !crystalDir) return lxDetNullPointer;
        const int32_t status = lattix::checkDetector(*d, true, false);
        if (status != 0) return status;
        if (!lattix::isFinite(*g) || !std::isfinite(x) || !std::isfinite(y))
            return lxDetBadArgument;
        const lattix::DetectorFrame frame = lattix::makeDetectorFrame(*d, *g);
        return lattix::pixelDirection(frame, x, y, *crystalDir) ? 0 : lxDetBadArgument;
    });
}

LATTIX_API int32_t LATTIX_CALL DetectorBandLine(const TDetector* d, const TMat3D* g,
                                                const TVec3D* planeNormal, double line[3]) {
    return lattix::abi::guarded<int32_t>(lxDetBadArgument, [&]() -> int32_t {
        if (!d || !g || !planeNormal || !line) return lxDetNullPointer;
        const int32_t status = lattix::checkDetector(*d, true, false);
        if (status != 0) return status;
        if (!lattix::isFinite(*g) || !usableVector(*planeNormal)) return lxDetBadArgument;
        const lattix::DetectorFrame frame = lattix::makeDetectorFrame(*d, *g);
        return lattix::bandLine(frame, *planeNormal, line);
    });
}

}  // extern "C"
