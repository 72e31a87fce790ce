// Deterministic stand-in for libFuzzer: feeds seeded pseudo-random inputs,
// biased towards the characters parsers care about, to LLVMFuzzerTestOneInput.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <random>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size);

int main(int argc, char** argv) {
    const long runs = argc > 1 ? std::strtol(argv[1], nullptr, 10) : 20000;
    std::mt19937 random(12345);
    static const char alphabet[] = "0123456789-+ .,xX\t\r\n[]()/eE_abcVER3.1";
    for (long run = 0; run < runs; ++run) {
        const std::size_t length = random() % (run % 10 == 0 ? 512 : 40);
        std::string input(length, '\0');
        for (auto& c : input) {
            c = (random() % 4 == 0) ? static_cast<char>(random() % 256)
                                    : alphabet[random() % (sizeof alphabet - 1)];
        }
        LLVMFuzzerTestOneInput(reinterpret_cast<const std::uint8_t*>(input.data()), input.size());
    }
    return 0;
}
