// Relativistic electron wavelength.
#pragma once

namespace lattix {

double deBroglie(double kilovolts);

}  // namespace lattix
