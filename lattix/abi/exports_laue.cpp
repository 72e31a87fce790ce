// Exports of the Laue-group and space-group tables.
#include <cstring>

#include "guard.h"
#include "lattixLib.h"
#include "laue_tables.h"

extern "C" {

LATTIX_API void LATTIX_CALL GetEulerLimits(int32_t laue, TVec3D* out) {
    lattix::abi::guarded([&] { *out = lattix::eulerLimits(laue); });
}

LATTIX_API char* LATTIX_CALL LaueGroupShortText(int32_t laue, char* buffer) {
    return lattix::abi::guarded(buffer, [&]() -> char* {
        if (const char* text = lattix::laueShortText(laue); text != nullptr && buffer != nullptr)
            std::strcpy(buffer, text);
        return buffer;
    });
}

LATTIX_API char* LATTIX_CALL LaueGroupLongText(int32_t laue, char* buffer) {
    return lattix::abi::guarded(buffer, [&]() -> char* {
        if (const char* text = lattix::laueLongText(laue); text != nullptr && buffer != nullptr)
            std::strcpy(buffer, text);
        return buffer;
    });
}

LATTIX_API double LATTIX_CALL GetAxisAngleLimit(int32_t laue) {
    return lattix::abi::guarded(0.0, [&]() -> double { return lattix::axisAngleLimit(laue); });
}

LATTIX_API char* LATTIX_CALL GetHermannMauguinSymbol(int32_t spaceGroup, char* buffer) {
    return lattix::abi::guarded(buffer, [&]() -> char* {
        if (buffer != nullptr) std::strcpy(buffer, lattix::hermannMauguinSymbol(spaceGroup));
        return buffer;
    });
}

LATTIX_API int32_t LATTIX_CALL GetLaueGroupIndex(int32_t phaseCode) {
    return lattix::abi::guarded(int32_t{-1},
                                [&]() -> int32_t { return lattix::laueGroupIndex(phaseCode); });
}

}  // extern "C"
