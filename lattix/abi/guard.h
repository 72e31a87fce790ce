// The export guard: no C++ exception ever leaves an extern "C" function.
#pragma once

#include <utility>

namespace lattix::abi {

// Runs body; any exception is swallowed and fallback returned.  Internals
// report expected failures by value, so reaching the catch means a fault
// inside the library, not a caller error.
template <typename Result, typename Body>
Result guarded(Result fallback, Body&& body) noexcept {
    try {
        return std::forward<Body>(body)();
    } catch (...) {
        return fallback;
    }
}

template <typename Body>
void guarded(Body&& body) noexcept {
    try {
        std::forward<Body>(body)();
    } catch (...) {}
}

}  // namespace lattix::abi
