// Fuzz target: ValidateIndices on arbitrary bytes, plus the 16-character
// ValidateHKLUVW reading and the text writer on whatever parses.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

#include "index_text.h"
#include "lattixLib.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) return 0;
    const std::uint8_t dir = data[0];
    // The export reads a NUL-terminated text: copy into an exactly sized buffer
    // so that ASan sees any read past the terminator.
    const std::size_t length = size - 1;
    char* text = static_cast<char*>(std::malloc(length + 1));
    if (text == nullptr) return 0;
    std::memcpy(text, data + 1, length);
    text[length] = '\0';

    TIndices out{{0x5a5a5a5a, 0x5a5a5a5a, 0x5a5a5a5a, 0x5a5a5a5a}};
    const TLtxBool ok = ValidateIndices(dir, text, &out);
    if (ok != 0 && ok != 1) std::abort();
    if (ok) {
        // A text that parses never names the zero vector.
        if (out.v[0] == 0 && out.v[1] == 0 && out.v[2] == 0) std::abort();
        char written[64];
        const std::size_t n = lattix::indicesToText(dir != 0, (dir % 12), out, (dir & 0x10) != 0,
                                                    written, sizeof written);
        if (n >= sizeof written || std::strlen(written) != n) std::abort();
        TIndices four;
        Miller2Bravais(dir, &out, &four);
        Bravais2Miller(dir, &four, &four);
    }

    // The first 16 bytes as a "by value" index text: never read beyond them.
    char* text16 = static_cast<char*>(std::malloc(16));
    if (text16 != nullptr) {
        std::memset(text16, ' ', 16);
        std::memcpy(text16, data + 1, length < 16 ? length : 16);
        (void)ValidateHKLUVW(text16, text16);
        std::free(text16);
    }
    std::free(text);
    return 0;
}
