// Exports of the crystal-set family: initialisation from memory or a crystal file, spacings,
// indices to vectors.
#include <new>

#include "crystal_set.h"
#include "guard.h"
#include "index_text.h"
#include "lattixLib.h"
#include "library_state.h"
#include "setup_files.h"

namespace {

// Runs an initialisation; a failed setup-data read ends it at once and leaves
// its status for GetInitIoStatus instead of crossing the C boundary.
template <typename Body>
std::uint16_t runInitialisation(Body&& body) noexcept {
    lattix::initIoStatus = 0;
    try {
        body();
    } catch (const lattix::IoError& error) {
        lattix::initIoStatus = error.status;
    } catch (const std::bad_alloc&) {
        lattix::initIoStatus = lattix::kStatusOutOfMemory;
    } catch (...) {
        lattix::initIoStatus = lattix::kStatusReadError;
    }
    return lattix::initIoStatus;
}

}  // namespace

extern "C" {

LATTIX_API void LATTIX_CALL InitCrySet2(TCrySet* cs, const char* name, const char* reference,
                                        float a, float b, float c, float alpha, float beta,
                                        float gamma, int32_t laue, int32_t spaceGroup) {
    runInitialisation([&] {
        if (cs == nullptr) return;
        lattix::initCrySet2(*cs, name, reference, a, b, c, alpha, beta, gamma, laue, spaceGroup);
    });
}

// The status is also in LastStatus, except for a failure of the setup data:
// that one leaves LastStatus alone and is returned (and kept for
// GetInitIoStatus), so the caller is never told success for a half-built set.
LATTIX_API uint16_t LATTIX_CALL InitCrySet(TCrySet* cs, const char* fileName) {
    std::uint16_t status = 0;
    const std::uint16_t ioStatus = runInitialisation([&] {
        if (cs == nullptr) {
            lattix::lastStatus = lattix::kStatusFileNotFound;
            status = lattix::lastStatus;
            return;
        }
        status = lattix::initCrySet(*cs, fileName);
    });
    return ioStatus != 0 ? ioStatus : status;
}

LATTIX_API void LATTIX_CALL SetPseudoSymmetry(TCrySet* cs, uint8_t kind, float u, float v, float w,
                                              float value) {
    lattix::abi::guarded([&] {
        if (cs != nullptr) lattix::setPseudoSymmetry(*cs, kind, u, v, w, value);
    });
}

LATTIX_API double LATTIX_CALL LatticeSpacing(const TCrySet* cs, int32_t h, int32_t k, int32_t l) {
    return lattix::abi::guarded(0.0, [&] { return lattix::latticeSpacing(*cs, h, k, l); });
}

LATTIX_API TLtxBool LATTIX_CALL Miller2Vec(const TCrySet* cs, uint8_t dir, const TIndices* idx,
                                           TVec3D* out) {
    return lattix::abi::guarded(TLtxBool{0}, [&] {
        return static_cast<TLtxBool>(lattix::miller2Vec(*cs, dir != 0, *idx, *out) ? 1 : 0);
    });
}

LATTIX_API void LATTIX_CALL Str2Vec(const TCrySet* cs, uint8_t dir, const char* text, TVec3D* out) {
    lattix::abi::guarded([&] { lattix::str2Vec(*cs, dir != 0, lattix::textView(text), *out); });
}

}  // extern "C"
