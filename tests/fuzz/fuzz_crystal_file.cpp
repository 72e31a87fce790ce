// Fuzz target: the crystal-file reader on arbitrary bytes, then the lattice matrices of whatever
// cell it read.
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string_view>

#include "crystal_set.h"
#include "setup_files.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    // An exactly sized copy, so ASan sees any read past the end.
    std::unique_ptr<char[]> text(new char[size == 0 ? 1 : size]);
    if (size != 0) std::memcpy(text.get(), data, size);
    auto cs = std::make_unique<TCrySet>();
    std::memset(cs.get(), 0x7f, sizeof(TCrySet));
    cs->Name[sizeof cs->Name - 1] = '\0';
    cs->Reference[sizeof cs->Reference - 1] = '\0';

    const std::uint16_t status = lattix::parseCrystalFile(std::string_view(text.get(), size), *cs);
    if (status != lattix::kStatusOk && status != lattix::kStatusInvalidNumber &&
        status != lattix::kStatusRefusedVersion) {
        std::abort();
    }
    if (std::memchr(cs->Name, '\0', sizeof cs->Name) == nullptr) std::abort();
    if (std::memchr(cs->Reference, '\0', sizeof cs->Reference) == nullptr) std::abort();
    if (status == lattix::kStatusOk) {
        // Only a cell that passes the check is built, as InitCrySet does; it
        // must give finite matrices.
        const std::uint16_t cell =
            lattix::checkLattice(cs->A, cs->B, cs->C, cs->Alpha, cs->Beta, cs->Gamma);
        if (cell != lattix::kStatusOk && cell != lattix::kStatusNoCell &&
            cell != lattix::kStatusInvalidNumber)
            std::abort();
        if (cell == lattix::kStatusOk) {
            lattix::buildLatticeMatrices(*cs);
            for (int i = 0; i < 3; ++i) {
                if (!std::isfinite(cs->Direct.col[i].x) || !std::isfinite(cs->Recip.col[i].z))
                    std::abort();
            }
            lattix::latticeSpacing(*cs, 1, 1, 1);
        }
    }
    return 0;
}
