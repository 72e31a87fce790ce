// Fuzz target: the APU reader on arbitrary bytes, then the conversion of the record it found.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string_view>

#include "crystal_set.h"
#include "setup_files.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 2) return 0;
    const int laue = static_cast<int>(data[0] % 13);  // 0..12: outside the groups too
    const int variant = data[1] % 2;
    const std::size_t length = size - 2;
    std::unique_ptr<char[]> text(new char[length == 0 ? 1 : length]);
    if (length != 0) std::memcpy(text.get(), data + 2, length);

    auto cs = std::make_unique<TCrySet>();
    std::memset(cs.get(), 0, sizeof(TCrySet));
    cs->A = cs->B = 3;
    cs->C = 5;
    cs->Alpha = cs->Beta = 90;
    cs->Gamma = 120;
    cs->LaueGroup = laue;
    lattix::buildLatticeMatrices(*cs);

    TApuBlock& block = cs->Apu0;
    // The record count of the setup check reads the same text through.
    std::int32_t records = -1;
    const std::uint16_t counted =
        lattix::countApuRecords(std::string_view(text.get(), length), records);
    if (records < 0 || (counted != lattix::kStatusOk && counted != lattix::kStatusInvalidNumber &&
                        counted != lattix::kStatusRangeError))
        std::abort();

    const std::uint16_t status =
        lattix::parseApuRecord(std::string_view(text.get(), length), laue, variant, block);
    if (status != lattix::kStatusOk) {
        if (status != lattix::kStatusInvalidNumber && status != lattix::kStatusRangeError)
            std::abort();
        return 0;
    }
    if (block.DirCount < 0 || block.DirCount > 5 || block.NormalCount < 0 || block.NormalCount > 5)
        std::abort();
    lattix::convertApuBlock(*cs, block);
    for (int i = 0; i < 5; ++i) {
        if (std::memchr(block.DirTexts[i], '\0', 16) == nullptr) std::abort();
        if (std::memchr(block.NormalTexts[i], '\0', 16) == nullptr) std::abort();
    }
    return 0;
}
