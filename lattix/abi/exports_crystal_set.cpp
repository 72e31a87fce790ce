// Exports of the crystal-set family: initialisation from memory or a crystal file, spacings,
// indices to vectors.
#include <cstring>
#include <new>
#include <string>

#include "crystal_set.h"
#include "guard.h"
#include "index_text.h"
#include "lattixLib.h"
#include "library_state.h"
#include "setup_files.h"
#include "setup_report.h"

namespace {

// Runs an initialisation as one export call.  A failed setup-data read ends
// it at once; its status goes to GetInitIoStatus, to LastStatus (so ErrMsg
// describes it) and, with the file and folder, to the setup report.
template <typename Body>
std::uint16_t runInitialisation(Body&& body) noexcept {
    lattix::initIoStatus = lattix::kStatusReadError;  // kept if the guard swallows a fault
    lattix::abi::guarded([&] {
        lattix::beginSetupReport();
        try {
            body();
            lattix::initIoStatus = lattix::kStatusOk;
            lattix::endSetupReport(lattix::kStatusOk, lattix::SetupFile::None, {}, 0);
        } catch (const lattix::IoError& error) {
            lattix::initIoStatus = error.status;
            lattix::endSetupReport(error.status, error.file, error.path, error.laueGroup);
        } catch (const std::bad_alloc&) {
            lattix::initIoStatus = lattix::kStatusOutOfMemory;
            lattix::endSetupReport(lattix::kStatusOutOfMemory, lattix::SetupFile::None, {}, 0);
        }
    });
    if (lattix::initIoStatus != lattix::kStatusOk) {
        lattix::lastStatus = lattix::initIoStatus;
        lattix::lastStatusFile = lattix::setupReport.file;
    }
    return lattix::initIoStatus;
}

}  // namespace

extern "C" {

// LastStatus: a setup failure's status; a status an earlier setup failure
// left is cleared by a successful run; any other status stays.
LATTIX_API void LATTIX_CALL InitCrySet2(TCrySet* cs, const char* name, const char* reference,
                                        float a, float b, float c, float alpha, float beta,
                                        float gamma, int32_t laue, int32_t spaceGroup) {
    const std::uint16_t io = runInitialisation([&] {
        if (cs == nullptr) return;
        lattix::initCrySet2(*cs, name, reference, a, b, c, alpha, beta, gamma, laue, spaceGroup);
    });
    if (io == lattix::kStatusOk && lattix::lastStatusFile != lattix::SetupFile::Crystal) {
        lattix::lastStatus = lattix::kStatusOk;
        lattix::lastStatusFile = lattix::SetupFile::None;
    }
}

// The status is also left in LastStatus, whichever file failed.
LATTIX_API uint16_t LATTIX_CALL InitCrySet(TCrySet* cs, const char* fileName) {
    std::uint16_t status = 0;
    const std::uint16_t ioStatus = runInitialisation([&] {
        lattix::lastStatusFile = lattix::SetupFile::Crystal;
        if (cs == nullptr) {
            lattix::lastStatus = lattix::kStatusFileNotFound;
            status = lattix::lastStatus;
            return;
        }
        status = lattix::initCrySet(*cs, fileName);
    });
    if (ioStatus != 0) return ioStatus;
    if (status != 0) {
        lattix::abi::guarded([&] {
            // FileName is this call's only when a name was given (it may hold
            // anything otherwise).
            const std::string_view given = lattix::textView(fileName);
            const std::size_t stored =
                cs != nullptr && !given.empty() ? strnlen(cs->FileName, sizeof cs->FileName) : 0;
            const std::string path =
                stored != 0 ? std::string(cs->FileName, stored) : std::string(given);
            lattix::endSetupReport(status, lattix::SetupFile::Crystal, path,
                                   cs != nullptr ? cs->LaueGroup : 0);
        });
    } else {
        lattix::lastStatusFile = lattix::SetupFile::None;
    }
    return status;
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
