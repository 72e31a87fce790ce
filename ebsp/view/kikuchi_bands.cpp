// Kikuchi band geometry: normals, half-widths, greys and the traced band point lists.
#include "kikuchi_bands.h"

#include <cmath>

namespace ebsp {

void updateNormals(Reflector* reflectors, int count, const TCrySet& crySet) {
    for (int i = 0; i < count; ++i) {
        Reflector& r = reflectors[i];
        TVec3D v{static_cast<double>(r.h), static_cast<double>(r.k), static_cast<double>(r.l)};
        UnityVector(&v);
        MatMul3x1(&crySet.Recip, &v, &r.normal);
        UnityVector(&r.normal);
        r.visible = 0;
    }
}

void updateBandWidths(Reflector* reflectors, int count, double voltageKv) {
    const double lambda = deBroglie(voltageKv);
    for (int i = 0; i < count; ++i) {
        Reflector& r = reflectors[i];
        // Small-angle Bragg angle.  The owner should hand back positive spacings; any
        // other value would give an infinite or negative width, so the band gets none.
        const double theta = lambda / (2.0 * r.d);
        r.halfWidth = (r.d > 0.0 && std::isfinite(theta)) ? theta : 0.0;
    }
}

void updateBandGreys(Reflector* reflectors, int count, int greyMin, int greyMax) {
    const double slope = (greyMax - greyMin) / 100.0;
    for (int i = 0; i < count; ++i) {
        Reflector& r = reflectors[i];
        if (r.intensity < 0.0) {
            r.colour = Rgb{255, 0, 0};
            continue;
        }
        double g = slope * std::fabs(r.intensity) + greyMin;
        if (g < 0.0) g = 0.0;
        if (g > 255.0) g = 255.0;
        if (g != g) g = greyMin;  // NaN intensity: the weakest grey
        const int t = static_cast<int>(g);
        r.colour = Rgb{t, t, t};
    }
}

void buildBands(Reflector* reflectors, int count, const TMat3D& inverseView,
                const OrthographicProjection& projection) {
    constexpr double kStep = -0.2026833970057931;  // -pi / 15.5
    const TVec3D viewAxis{0.0, 0.0, 1.0};
    // The traced points lie on the far half; each is shown at the place of its opposite
    // point, which is the near half of the same band.
    auto place = [&](const TVec3D& p) { return projection.spherePixel(TVec3D{-p.x, -p.y, -p.z}); };
    for (int i = 0; i < count; ++i) {
        Reflector& r = reflectors[i];
        MatMul3x1(&inverseView, &r.normal, &r.viewNormal);
        r.visible = 0;
        TVec3D u;
        if (!Cross(&viewAxis, &r.viewNormal, &u, 1)) continue;  // band on the rim
        if (!(r.halfWidth > 0.0)) continue;                     // no valid width
        r.visible = kBandVisible;
        const TVec3D& n = r.viewNormal;
        for (int j = 0; j < kBandTracePoints; ++j) {
            r.centre[j] = place(u);
            TVec3D t;
            Cross(&u, &n, &t, 1);
            TVec3D e;
            ConeVector(&t, &u, &e, r.halfWidth);
            r.edge1[j] = place(e);
            r.outline[j] = r.edge1[j];
            ConeVector(&t, &u, &e, -r.halfWidth);
            r.edge2[j] = place(e);
            r.outline[2 * kBandTracePoints - 1 - j] = r.edge2[j];
            ConeVector(&n, &u, &u, kStep);
        }
    }
}

}  // namespace ebsp
