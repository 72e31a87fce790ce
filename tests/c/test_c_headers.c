/* The public headers compile as C11 and the exports work from C. */
#include <math.h>
#include <stdio.h>
#include <string.h>

#include "lattixLib.h"
#include "lattixtype.h"

/* The records keep their C layout when seen from C. */
_Static_assert(sizeof(TVec3D) == 24, "TVec3D");
_Static_assert(sizeof(TMat3D) == 72, "TMat3D");
_Static_assert(offsetof(TMat3D, col[2].z) == 64, "TMat3D column order");
_Static_assert(sizeof(TIndices) == 16, "TIndices");
_Static_assert(sizeof(TLtxBool) == 1, "one-byte booleans");
_Static_assert(sizeof(TIndexText) == 16, "index texts");
/* The named capacities are the ones the records hold, with the values callers have always used. */
_Static_assert(LATTIX_SYM_CAPACITY == 96 && sizeof(((TCrySet*)0)->SymOps) == 96 * sizeof(TMat3D),
               "symmetry capacity");
_Static_assert(sizeof(((TFFactorSet*)0)->FDirs) == LATTIX_SYM_CAPACITY * sizeof(TVec3D), "FDirs");
_Static_assert(LATTIX_FILE_NAME_SIZE == 81 && LATTIX_NAME_SIZE == 21 && LATTIX_REFERENCE_SIZE == 81,
               "crystal set texts");
_Static_assert(LATTIX_ERRMSG_SIZE == 39 && LATTIX_AXIS_TEXT_SIZE == 32, "text buffers");

static int failures = 0;

#define CHECK(cond)                                                                  \
    do {                                                                             \
        if (!(cond)) {                                                               \
            fprintf(stderr, "%s:%d: check failed: %s\n", __FILE__, __LINE__, #cond); \
            ++failures;                                                              \
        }                                                                            \
    } while (0)

static int boxCount = 0;
static char boxCaption[64];
static void LATTIX_CALL onBox(const char* caption, const char* text) {
    (void)text;
    ++boxCount;
    strncpy(boxCaption, caption, sizeof boxCaption - 1);
}

int main(void) {
    TVec3D v = {3.0, 0.0, 4.0};
    CHECK(UnityVector(&v) == 1);
    CHECK(fabs(v.x - 0.6) < 1e-15 && fabs(v.z - 0.8) < 1e-15);

    const TVec3D e = {0.3, 0.5, 1.2};
    TMat3D g;
    TVec3D back;
    Euler2Matrix(&e, &g);
    Matrix2Euler(&g, &back);
    CHECK(fabs(back.x - 0.3) < 1e-12 && fabs(back.y - 0.5) < 1e-12 && fabs(back.z - 1.2) < 1e-12);

    TMat3D bad = g;
    bad.col[2].z = 1.5;
    SetMessageBoxHandler(onBox);
    Matrix2Euler(&bad, &back);
    SetMessageBoxHandler(NULL);
    CHECK(boxCount == 1 && strcmp(boxCaption, "Error Matrix2Euler") == 0);

    TIndices idx;
    CHECK(ValidateIndices(1, "2-1-10", &idx) == 1);
    CHECK(idx.v[0] == 1 && idx.v[1] == 0 && idx.v[2] == 0);
    TIndexText plane = "111", dir = "1-10";
    CHECK(ValidateHKLUVW(plane, dir) == 1);

    char text[40];
    CHECK(GetHermannMauguinSymbol(225, text) == text && strcmp(text, "F m -3 m") == 0);
    CHECK(strcmp(LaueGroupLongText(9, text), "Heaxagonal-High") == 0);
    CHECK(GetLaueGroupIndex(251) == 11);
    CHECK(strcmp(ErrMsg(text), "Ok") == 0);
    CHECK(fabs(deBroglie(20.0) - 0.085855) < 5e-7);
    CHECK(fabs(Modulus(-360.0, 360.0) - 360.0) == 0.0);

    if (failures == 0) printf("C headers: all checks passed\n");
    return failures == 0 ? 0 : 1;
}
