// Fuzz target: the Orvane.conf reader (INI text as QSettings writes it, any line ends) on arbitrary
// bytes; the value it finds is a plain string without the line-end characters.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string_view>

#include "registry.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    // An exactly sized copy, so ASan sees any read past the end.
    std::unique_ptr<char[]> text(new char[size == 0 ? 1 : size]);
    if (size != 0) std::memcpy(text.get(), data, size);
    const std::string_view view(text.get(), size);
    for (std::string_view key : {"SystemDir", "[", "="}) {
        const auto value = lattix::iniValue(view, "General", key);
        // A value never runs over a raw line end (escapes may produce them).
        if (value && value->size() > size) std::abort();
    }
    return 0;
}
