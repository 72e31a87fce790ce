// Exports of the orientation family.
#include "guard.h"
#include "lattixLib.h"
#include "library_state.h"
#include "orientation.h"

extern "C" {

LATTIX_API void LATTIX_CALL Euler2Matrix(const TVec3D* e, TMat3D* g) {
    lattix::abi::guarded([&] { *g = lattix::euler2Matrix(*e); });
}

LATTIX_API void LATTIX_CALL Matrix2Euler(const TMat3D* g, TVec3D* e) {
    lattix::abi::guarded([&] {
        if (!lattix::matrix2Euler(*g, *e)) lattix::showMessageBox("Error Matrix2Euler", "");
    });
}

LATTIX_API void LATTIX_CALL AxisAngle2Matrix(const TVec3D* n, const double* w, TMat3D* M) {
    lattix::abi::guarded([&] { *M = lattix::axisAngle2Matrix(*n, *w); });
}

LATTIX_API void LATTIX_CALL Ang2Dir(double phi, double theta, TVec3D* out) {
    lattix::abi::guarded([&] { *out = lattix::ang2Dir(phi, theta); });
}

LATTIX_API void LATTIX_CALL Dir2Ang(const TVec3D* v, double* phi, double* theta) {
    lattix::abi::guarded([&] { lattix::dir2Ang(*v, *phi, *theta); });
}

}  // extern "C"
