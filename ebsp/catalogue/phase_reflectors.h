// Access to the built-in reflector lists; the lists themselves are generated
// from the structure files under data/structures by tools/reflector_generator.
#pragma once

#include <cstddef>
#include <cstdint>

#include "phase_catalogue.h"

struct PhaseReflectorList {
    const TPhaseReflector* entries = nullptr;
    std::size_t count = 0;
};

// The stored list of phase index (1..kPhaseCount); an empty list otherwise.
PhaseReflectorList BuiltInReflectorList(std::uint32_t index);
