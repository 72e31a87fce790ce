// Relativistic electron wavelength: lambda = h / sqrt(2 m e V (1 + e V / (2 m c^2))),
// in the usual numeric form 12.26 / sqrt(V (1 + 0.9788e-6 V)) angstrom.
#include "wavelength.h"

#include <cmath>

namespace lattix {

double deBroglie(double kilovolts) {
    const double volts = kilovolts * 1000.0;
    const long double v = volts;
    return static_cast<double>(12.26L / std::sqrt(v * (1.0L + 9.788e-7L * v)));
}

}  // namespace lattix
