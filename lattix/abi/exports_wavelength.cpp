// Export of the electron wavelength.
#include "guard.h"
#include "lattixLib.h"
#include "wavelength.h"

extern "C" {

LATTIX_API double LATTIX_CALL deBroglie(double kilovolts) {
    return lattix::abi::guarded(0.0, [&]() -> double { return lattix::deBroglie(kilovolts); });
}

}  // extern "C"
