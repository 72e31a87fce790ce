// Fuzz target: the SYMGEN reader on arbitrary bytes and the expansion of whatever generators it
// accepts.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string_view>

#include "crystal_set.h"
#include "setup_files.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) return 0;
    const int laue = static_cast<int>(data[0] % 14) - 1;  // -1..12: outside the groups too
    const std::size_t length = size - 1;
    std::unique_ptr<char[]> text(new char[length == 0 ? 1 : length]);
    if (length != 0) std::memcpy(text.get(), data + 1, length);

    lattix::GeneratorList generators;
    const std::uint16_t status =
        lattix::parseSymGen(std::string_view(text.get(), length), laue, generators);
    if (status != lattix::kStatusOk) {
        if (status != lattix::kStatusInvalidNumber && status != lattix::kStatusRangeError)
            std::abort();
        return 0;
    }
    if (generators.count < 0 || generators.count > 3) std::abort();
    long expected = 1;
    for (int g = 0; g < generators.count; ++g) {
        if (std::memchr(generators.axisTexts[g], '\0', sizeof generators.axisTexts[g]) == nullptr)
            std::abort();
        if (generators.orders[g] > 1) expected *= generators.orders[g];
    }
    if (expected > 96) std::abort();

    auto cs = std::make_unique<TCrySet>();
    std::memset(cs.get(), 0, sizeof(TCrySet));
    cs->A = 3;
    cs->B = 4;
    cs->C = 5;
    cs->Alpha = 80;
    cs->Beta = 95;
    cs->Gamma = 110;
    lattix::buildLatticeMatrices(*cs);
    lattix::expandSymOps(*cs, generators);
    if (cs->SymOpCount != expected) std::abort();
    return 0;
}
