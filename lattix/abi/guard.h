// The export guard: no C++ exception ever leaves an extern "C" function.
#pragma once

#include <utility>

#include "library_state.h"

namespace lattix::abi {

// Runs body as one export call (see ExportCallScope); any exception is
// swallowed and fallback returned.  Internals
// report expected failures by value, so reaching the catch means a fault
// inside the library, not a caller error.
template <typename Result, typename Body>
Result guarded(Result fallback, Body&& body) noexcept {
    const ExportCallScope call;
    try {
        return std::forward<Body>(body)();
    } catch (...) {
        return fallback;
    }
}

template <typename Body>
void guarded(Body&& body) noexcept {
    const ExportCallScope call;
    try {
        std::forward<Body>(body)();
    } catch (...) {}
}

// The same for exports that never show a message box and may be called from several threads
// at once (the array exports): no call scope, whose counters are the library's single-thread
// state.
template <typename Result, typename Body>
Result guardedConcurrent(Result fallback, Body&& body) noexcept {
    try {
        return std::forward<Body>(body)();
    } catch (...) {
        return fallback;
    }
}

}  // namespace lattix::abi
