// Index-text exports: parsing, three/four-index conversion, plane-direction test.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstdlib>
#include <cstring>
#include <numeric>
#include <string>

#include "lattixLib.h"

namespace {

struct Parsed {
    bool ok;
    int v[3];
};

Parsed parse(const char* text, uint8_t dir = 1) {
    TIndices out{{77, 77, 77, 77}};
    const TLtxBool ok = ValidateIndices(dir, text, &out);
    EXPECT_TRUE(ok == 0 || ok == 1);
    return Parsed{ok == 1, {out.v[0], out.v[1], out.v[2]}};
}

#define EXPECT_INDICES(text, dir, a, b, c)             \
    do {                                               \
        const Parsed p_ = parse(text, dir);            \
        EXPECT_TRUE(p_.ok) << '"' << (text) << '"';    \
        EXPECT_EQ(p_.v[0], a) << '"' << (text) << '"'; \
        EXPECT_EQ(p_.v[1], b) << '"' << (text) << '"'; \
        EXPECT_EQ(p_.v[2], c) << '"' << (text) << '"'; \
    } while (0)

#define EXPECT_REFUSED(text, dir) EXPECT_FALSE(parse(text, dir).ok) << '"' << (text) << '"'

int gcd3(int a, int b, int c) {
    return std::gcd(std::gcd(std::abs(a), std::abs(b)), std::abs(c));
}

// Copies a text into a 16-character "by value" array.
struct Text16 {
    TIndexText t;
    explicit Text16(const char* s) {
        std::memset(t, 0, sizeof t);
        std::memcpy(t, s, std::min(std::strlen(s), sizeof t));
    }
};

}  // namespace

// ---- Parsing ------------------------------------------------------------------------------

TEST(ParseIndices, CompactForm) {
    EXPECT_INDICES("1-10", 1, 1, -1, 0);
    EXPECT_INDICES("-1-1-1", 1, -1, -1, -1);
    EXPECT_INDICES("111", 0, 1, 1, 1);
    EXPECT_INDICES("001", 1, 0, 0, 1);
    EXPECT_INDICES("+1+2-3", 1, 1, 2, -3);
    EXPECT_INDICES("  111  ", 1, 1, 1, 1);
    EXPECT_INDICES("\t\r\n123\n", 1, 1, 2, 3);
    EXPECT_INDICES(
        "\x01"
        "9-87\x1f",
        1, 9, -8, 7);
}

TEST(ParseIndices, SpacedForm) {
    EXPECT_INDICES("10 -2 3", 1, 10, -2, 3);
    EXPECT_INDICES("1 1 1", 1, 1, 1, 1);
    EXPECT_INDICES("  12   -34 56  ", 0, 12, -34, 56);
    EXPECT_INDICES("0 0 -7", 1, 0, 0, -7);
    EXPECT_INDICES("2147483647 0 -2147483648", 1, 2147483647, 0, -2147483647 - 1);
}

TEST(ParseIndices, FourIndexForms) {
    EXPECT_INDICES("2-1-10", 1, 1, 0, 0);  // three times [100], reduced
    EXPECT_INDICES("2-1-10", 0, 2, -1, 0);
    EXPECT_INDICES("1-101", 0, 1, -1, 1);
    EXPECT_INDICES("11-20", 1, 1, 1, 0);  // [11-20] = 3[110]
    EXPECT_INDICES("11-20", 0, 1, 1, 0);
    EXPECT_INDICES("0001", 1, 0, 0, 1);
    EXPECT_INDICES("22-42", 0, 1, 1, 1);
    EXPECT_INDICES("2 2 -4 3", 0, 2, 2, 3);
    EXPECT_INDICES("10 -5 -5 0", 1, 1, 0, 0);
    EXPECT_REFUSED("1101", 1);  // 1 + 1 + 0 is not zero
    EXPECT_REFUSED("1 2 3 4", 0);
    EXPECT_REFUSED("0000", 1);
}

TEST(ParseIndices, MalformedTexts) {
    for (const char* t :
         {"",        "  ",    "11",     "12",      "000",   "0 0 0",           "a11",
          "[111]",   "(111)", "111]",   "1-1",     "1 1",   "1.1.1",           "1,1,1",
          "--1-1-1", "1--10", "1 a 1",  "1 - 1 0", "1-10a", "99999999999 1 1", "2147483648 0 1",
          "1e1 2 3", "x",     "1\t1\t1"}) {
        EXPECT_REFUSED(t, 1);
        EXPECT_REFUSED(t, 0);
    }
}

TEST(ParseIndices, RefusedTextLeavesOutputAlone) {
    TIndices out{{5, 6, 7, 8}};
    EXPECT_EQ(ValidateIndices(1, "a11", &out), 0);
    EXPECT_EQ(out.v[0], 5);
    EXPECT_EQ(out.v[3], 8);
}

TEST(ParseIndices, ExtraPiecesBeyondFourAreReadButIgnored) {
    // Five single digits: the fifth must still be an integer.
    EXPECT_INDICES("1-1011", 0, 1, -1, 1);
    EXPECT_REFUSED("1-101a", 0);
    EXPECT_REFUSED("11111", 0);  // the first four do not sum to zero in their first three
}

TEST(ParseIndices, AnyNonZeroFlagMeansDirection) {
    EXPECT_INDICES("2-1-10", 0x80, 1, 0, 0);
    EXPECT_INDICES("2-1-10", 0xFF, 1, 0, 0);
}

TEST(ParseIndices, EverySingleDigitTripleReadsBack) {
    int checked = 0;
    for (int h = -9; h <= 9; ++h)
        for (int k = -9; k <= 9; ++k)
            for (int l = -9; l <= 9; ++l) {
                const std::string compact =
                    std::to_string(h) + std::to_string(k) + std::to_string(l);
                const std::string spaced = " " + std::to_string(h) + "  " + std::to_string(k) +
                                           " " + std::to_string(l) + " ";
                const Parsed a = parse(compact.c_str()), b = parse(spaced.c_str(), 0);
                const bool zero = h == 0 && k == 0 && l == 0;
                ASSERT_EQ(a.ok, !zero) << compact;
                ASSERT_EQ(b.ok, !zero) << spaced;
                if (zero) continue;
                ASSERT_TRUE(a.v[0] == h && a.v[1] == k && a.v[2] == l) << compact;
                ASSERT_TRUE(b.v[0] == h && b.v[1] == k && b.v[2] == l) << spaced;
                ++checked;
            }
    EXPECT_EQ(checked, 19 * 19 * 19 - 1);
}

// ---- Three and four indices ----------------------------------------------------------------

TEST(MillerBravais, Examples) {
    TIndices out;
    const TIndices d100{{1, 0, 0, 0}}, d001{{0, 0, 1, 0}}, p110{{1, 1, 0, 0}}, p2242{{2, 2, -4, 2}};
    Miller2Bravais(1, &d100, &out);
    EXPECT_EQ((std::array{out.v[0], out.v[1], out.v[2], out.v[3]}), (std::array{2, -1, -1, 0}));
    Miller2Bravais(1, &d001, &out);
    EXPECT_EQ((std::array{out.v[0], out.v[1], out.v[2], out.v[3]}), (std::array{0, 0, 0, 1}));
    Miller2Bravais(0, &p110, &out);
    EXPECT_EQ((std::array{out.v[0], out.v[1], out.v[2], out.v[3]}), (std::array{1, 1, -2, 0}));
    Bravais2Miller(0, &p2242, &out);
    EXPECT_EQ((std::array{out.v[0], out.v[1], out.v[2]}), (std::array{1, 1, 1}));
    // Planes are not reduced on the way to four indices.
    const TIndices p220{{2, 2, 0, 0}};
    Miller2Bravais(0, &p220, &out);
    EXPECT_EQ((std::array{out.v[0], out.v[1], out.v[2], out.v[3]}), (std::array{2, 2, -4, 0}));
}

TEST(MillerBravais, RoundTripsReduceByTheCommonDivisor) {
    for (int a = -8; a <= 8; ++a)
        for (int b = -8; b <= 8; ++b)
            for (int c = -8; c <= 8; ++c) {
                if (a == 0 && b == 0 && c == 0) continue;
                const int g = gcd3(a, b, c);
                for (uint8_t dir : {uint8_t{0}, uint8_t{1}}) {
                    const TIndices in{{a, b, c, 99}};
                    TIndices four, three;
                    Miller2Bravais(dir, &in, &four);
                    ASSERT_EQ(four.v[0] + four.v[1] + four.v[2], 0);
                    Bravais2Miller(dir, &four, &three);
                    ASSERT_EQ(three.v[0] * g, a) << a << b << c << int(dir);
                    ASSERT_EQ(three.v[1] * g, b);
                    ASSERT_EQ(three.v[2] * g, c);
                    if (dir) {  // the four-index direction is reduced, too
                        ASSERT_EQ(std::gcd(std::gcd(std::abs(four.v[0]), std::abs(four.v[1])),
                                           std::gcd(std::abs(four.v[2]), std::abs(four.v[3]))),
                                  1);
                    }
                }
            }
}

TEST(MillerBravais, InPlaceConversion) {
    TIndices v{{1, 0, 0, 0}};
    Miller2Bravais(1, &v, &v);
    EXPECT_EQ((std::array{v.v[0], v.v[1], v.v[2], v.v[3]}), (std::array{2, -1, -1, 0}));
    Bravais2Miller(1, &v, &v);
    EXPECT_EQ((std::array{v.v[0], v.v[1], v.v[2]}), (std::array{1, 0, 0}));
}

TEST(MillerBravais, HugeIndicesDoNotOverflow) {
    // Runs under UBSan: the arithmetic must not overflow signed 32-bit values.
    const TIndices big{{2147483647, -2147483647 - 1, 2147483647, 5}};
    TIndices out;
    Miller2Bravais(1, &big, &out);
    Miller2Bravais(0, &big, &out);
    Bravais2Miller(1, &big, &out);
    Bravais2Miller(0, &big, &out);
    EXPECT_EQ(ValidateIndices(1, "2147483647 -2147483648 1 3", &out), 1);
    SUCCEED();
}

// ---- Plane contains direction -------------------------------------------------------------

TEST(ValidateHKLUVW, Examples) {
    EXPECT_EQ(ValidateHKLUVW(Text16("111").t, Text16("1-10").t), 1);
    EXPECT_EQ(ValidateHKLUVW(Text16("111").t, Text16("100").t), 0);
    // Four-index texts: (0001) contains [2-1-10] = 3[100].
    EXPECT_EQ(ValidateHKLUVW(Text16("0001").t, Text16("2-1-10").t), 1);
    EXPECT_EQ(ValidateHKLUVW(Text16("1-100").t, Text16("0001").t), 1);
    EXPECT_EQ(ValidateHKLUVW(Text16("12 -3 4").t, Text16("1 3 0").t), 0);
    EXPECT_EQ(ValidateHKLUVW(Text16("12 -4 3").t, Text16("1 3 0").t), 1);
}

TEST(ValidateHKLUVW, ProductsBeyondThirtyTwoBitsAreExact) {
    // Products of 2^16-sized indices wrap in 32 bits; the oracle sums them as
    // doubles, exact at this size.
    struct Case {
        const char* hkl;
        const char* uvw;
        double h[3], u[3];
    };
    const Case cases[] = {
        {"65536 0 0", "65536 0 0", {65536, 0, 0}, {65536, 0, 0}},
        {"65536 65536 0", "65536 -65536 0", {65536, 65536, 0}, {65536, -65536, 0}},
        {"99999 99999 1", "99999 -99999 7", {99999, 99999, 1}, {99999, -99999, 7}},
        {"-65536 1 1", "65536 0 0", {-65536, 1, 1}, {65536, 0, 0}},
        {"65535 65537 1", "65537 -65535 0", {65535, 65537, 1}, {65537, -65535, 0}},
    };
    for (const Case& c : cases) {
        const double sum = c.h[0] * c.u[0] + c.h[1] * c.u[1] + c.h[2] * c.u[2];
        EXPECT_EQ(ValidateHKLUVW(Text16(c.hkl).t, Text16(c.uvw).t), sum == 0 ? 1 : 0)
            << c.hkl << " " << c.uvw;
    }
}

TEST(ValidateHKLUVW, UnreadableTextIsNotAValidPair) {
    EXPECT_EQ(ValidateHKLUVW(Text16("abc").t, Text16("100").t), 0);
    EXPECT_EQ(ValidateHKLUVW(Text16("111").t, Text16("000").t), 0);
    EXPECT_EQ(ValidateHKLUVW(Text16("").t, Text16("").t), 0);
}

TEST(ValidateHKLUVW, ReadsAtMostSixteenCharacters) {
    // Sixteen characters without a NUL, followed by more text in the same record.
    struct {
        TIndexText hkl;
        char tail[8];
    } rec;
    std::memcpy(rec.hkl, "1  1               ", 16);  // 16 chars, no NUL
    rec.hkl[15] = '1';
    std::memcpy(rec.tail, "9999999", 8);
    // Read as "1  1" plus blanks plus "1": (1, 1, 1); the tail would make it (1, 1, 19999999).
    EXPECT_EQ(ValidateHKLUVW(rec.hkl, Text16("10-1").t), 1);
}

TEST(ValidateHKLUVW, AgreesWithDotProductOverSmallIndices) {
    int trueCount = 0;
    for (int h = -2; h <= 2; ++h)
        for (int k = -2; k <= 2; ++k)
            for (int l = -2; l <= 2; ++l)
                for (int u = -2; u <= 2; ++u)
                    for (int v = -2; v <= 2; ++v)
                        for (int w = -2; w <= 2; ++w) {
                            if ((h == 0 && k == 0 && l == 0) || (u == 0 && v == 0 && w == 0))
                                continue;
                            const std::string p =
                                std::to_string(h) + std::to_string(k) + std::to_string(l);
                            const std::string d = std::to_string(u) + " " + std::to_string(v) +
                                                  " " + std::to_string(w);
                            const bool expected = h * u + k * v + l * w == 0;
                            ASSERT_EQ(ValidateHKLUVW(Text16(p.c_str()).t, Text16(d.c_str()).t),
                                      expected ? 1 : 0)
                                << p << " / " << d;
                            trueCount += expected;
                        }
    EXPECT_GT(trueCount, 1000);
}
