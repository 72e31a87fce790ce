// Exports of the Laue-group and space-group tables.
#include <cstring>

#include "lattixLib.h"
#include "laue_tables.h"

extern "C" {

LATTIX_API void LATTIX_CALL GetEulerLimits(int32_t laue, TVec3D* out) {
    *out = lattix::eulerLimits(laue);
}

LATTIX_API char* LATTIX_CALL LaueGroupShortText(int32_t laue, char* buffer) {
    if (const char* text = lattix::laueShortText(laue); text != nullptr && buffer != nullptr)
        std::strcpy(buffer, text);
    return buffer;
}

LATTIX_API char* LATTIX_CALL LaueGroupLongText(int32_t laue, char* buffer) {
    if (const char* text = lattix::laueLongText(laue); text != nullptr && buffer != nullptr)
        std::strcpy(buffer, text);
    return buffer;
}

LATTIX_API double LATTIX_CALL GetAxisAngleLimit(int32_t laue) {
    return lattix::axisAngleLimit(laue);
}

LATTIX_API char* LATTIX_CALL GetHermannMauguinSymbol(int32_t spaceGroup, char* buffer) {
    if (buffer != nullptr) std::strcpy(buffer, lattix::hermannMauguinSymbol(spaceGroup));
    return buffer;
}

LATTIX_API int32_t LATTIX_CALL GetLaueGroupIndex(int32_t phaseCode) {
    return lattix::laueGroupIndex(phaseCode);
}

}  // extern "C"
