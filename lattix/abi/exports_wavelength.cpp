// Export of the electron wavelength.
#include "lattixLib.h"
#include "wavelength.h"

extern "C" {

LATTIX_API double LATTIX_CALL deBroglie(double kilovolts) {
    return lattix::deBroglie(kilovolts);
}

}  // extern "C"
