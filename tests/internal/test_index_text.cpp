// White-box tests of the index-text internals: text output, the common-divisor
// reduction and the 16-character text view.
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <string>

#include "index_text.h"

namespace {

std::string text(bool dir, int laue, TIndices idx, bool four) {
    char buf[64];
    std::memset(buf, 'x', sizeof buf);
    const std::size_t n = lattix::indicesToText(dir, laue, idx, four, buf, sizeof buf);
    EXPECT_EQ(std::strlen(buf), n);
    return std::string(buf);
}

// Oracle: the largest d in [2, m] dividing every value, m the smallest non-zero
// magnitude below 10000 (10000 when there is none).
int expectedDivisor(const int* v, int n) {
    long long m = 10000;
    for (int i = 0; i < n; ++i) {
        const long long a = std::llabs(v[i]);
        if (a != 0 && a < m) m = a;
    }
    for (long long d = m; d >= 2; --d) {
        bool all = true;
        for (int i = 0; i < n; ++i)
            all = all && v[i] % d == 0;
        if (all) return static_cast<int>(d);
    }
    return 1;
}

}  // namespace

TEST(IndicesToText, DigitsSignsAndPeriods) {
    EXPECT_EQ(text(true, 1, {{1, -1, 0, 0}}, false), "1-10");
    EXPECT_EQ(text(true, 1, {{12, 0, -1, 0}}, false), ".120-1");
    EXPECT_EQ(text(false, 11, {{-10, 9, -9, 0}}, false), ".-109-9");
    EXPECT_EQ(text(false, 11, {{0, 0, 0, 0}}, false), "000");
    EXPECT_EQ(text(true, 3, {{-2147483647 - 1, 2147483647, 100, 0}}, false),
              ".-2147483648.2147483647.100");
}

TEST(IndicesToText, FourIndicesOnlyForTrigonalAndHexagonal) {
    const TIndices p110{{1, 1, 0, 0}}, d100{{1, 0, 0, 0}};
    for (int laue = 6; laue <= 9; ++laue) {
        EXPECT_EQ(text(false, laue, p110, true), "11-20") << laue;
        EXPECT_EQ(text(true, laue, d100, true), "2-1-10") << laue;
        EXPECT_EQ(text(false, laue, p110, false), "110") << laue;
    }
    for (int laue : {-1, 0, 1, 5, 10, 11, 12}) {
        EXPECT_EQ(text(false, laue, p110, true), "110") << laue;
        EXPECT_EQ(text(true, laue, d100, true), "100") << laue;
    }
    // [0 0 4] becomes [0 0 0 12] and is reduced to [0001].
    EXPECT_EQ(text(true, 9, {{0, 0, 4, 0}}, true), "0001");
    EXPECT_EQ(text(false, 9, {{0, 5, 0, 0}}, true), "05-50");
    EXPECT_EQ(text(false, 9, {{10, 0, 1, 0}}, true), ".100.-101");
}

TEST(IndicesToText, SingleDigitTextsParseBack) {
    for (int h = -9; h <= 9; ++h)
        for (int k = -9; k <= 9; ++k)
            for (int l = -9; l <= 9; ++l) {
                if (h == 0 && k == 0 && l == 0) continue;
                const TIndices in{{h, k, l, 0}};
                for (bool dir : {false, true}) {
                    const std::string t = text(dir, 1, in, false);
                    TIndices back{};
                    ASSERT_TRUE(lattix::parseIndices(t, dir, back)) << t;
                    ASSERT_TRUE(back.v[0] == h && back.v[1] == k && back.v[2] == l) << t;
                }
            }
}

TEST(IndicesToText, FourIndexTextsParseBackToReducedIndices) {
    for (int h = -3; h <= 3; ++h)
        for (int k = -3; k <= 3; ++k)
            for (int l = -3; l <= 3; ++l) {
                if (h == 0 && k == 0 && l == 0) continue;
                for (bool dir : {false, true}) {
                    const TIndices in{{h, k, l, 0}};
                    const std::string t = text(dir, 8, in, true);
                    if (t.find('.') != std::string::npos) continue;  // periods do not parse back
                    TIndices back{};
                    ASSERT_TRUE(lattix::parseIndices(t, dir, back)) << t;
                    int expected[3] = {h, k, l};
                    lattix::reduceCommonDivisor(expected, 3);
                    ASSERT_TRUE(back.v[0] == expected[0] && back.v[1] == expected[1] &&
                                back.v[2] == expected[2])
                        << t;
                }
            }
}

TEST(IndicesToText, TruncatesToTheBuffer) {
    char buf[4];
    std::memset(buf, 'x', sizeof buf);
    EXPECT_EQ(lattix::indicesToText(true, 1, {{12, 0, -1, 0}}, false, buf, sizeof buf), 3u);
    EXPECT_STREQ(buf, ".12");
    char one[1] = {'x'};
    EXPECT_EQ(lattix::indicesToText(true, 1, {{1, 1, 1, 0}}, false, one, 1), 0u);
    EXPECT_EQ(one[0], '\0');
}

TEST(CommonDivisor, MatchesBruteForceOracle) {
    for (int a = -30; a <= 30; ++a)
        for (int b = -30; b <= 30; ++b)
            for (int c : {-24, -7, 0, 1, 6, 18}) {
                int v[3] = {a, b, c};
                const int d = expectedDivisor(v, 3);
                lattix::reduceCommonDivisor(v, 3);
                ASSERT_EQ(v[0] * d, a);
                ASSERT_EQ(v[1] * d, b);
                ASSERT_EQ(v[2] * d, c);
            }
}

TEST(CommonDivisor, TenThousandLimit) {
    int big[3] = {20000, 40000, 0};  // no magnitude below 10000: at most 10000 is tried
    lattix::reduceCommonDivisor(big, 3);
    EXPECT_EQ(big[0], 2);
    EXPECT_EQ(big[1], 4);
    int exact[3] = {10000, 0, 0};
    lattix::reduceCommonDivisor(exact, 3);
    EXPECT_EQ(exact[0], 1);
    int odd[3] = {30000, 0, -60000};
    lattix::reduceCommonDivisor(odd, 3);
    EXPECT_EQ(odd[0], 3);
    EXPECT_EQ(odd[2], -6);
    int mixed[3] = {5, 20000, 0};
    lattix::reduceCommonDivisor(mixed, 3);
    EXPECT_EQ(mixed[0], 1);
    EXPECT_EQ(mixed[1], 4000);
    int zeros[4] = {0, 0, 0, 0};
    lattix::reduceCommonDivisor(zeros, 4);  // every d divides zero: 10000 is taken
    EXPECT_EQ(zeros[0], 0);
    int extreme[3] = {-2147483647 - 1, 2147483647, 7};
    lattix::reduceCommonDivisor(extreme, 3);
    EXPECT_EQ(extreme[2], 7);
}

TEST(TextViews, SixteenCharactersAtMost) {
    char full[20];
    std::memset(full, '7', sizeof full);
    EXPECT_EQ(lattix::indexTextView(full).size(), 16u);
    full[3] = '\0';
    EXPECT_EQ(lattix::indexTextView(full), "777");
    EXPECT_TRUE(lattix::indexTextView(nullptr).empty());
    EXPECT_TRUE(lattix::textView(nullptr).empty());
}

TEST(ParseIndicesInternal, ByteValuesAboveAsciiAreNotTrimmed) {
    TIndices out{};
    // Latin-1 letters (0xC5) are not control characters: the text stays malformed.
    EXPECT_FALSE(
        lattix::parseIndices("\xC5"
                             "111",
                             true, out));
    EXPECT_FALSE(lattix::parseIndices("111\xB0", true, out));
    EXPECT_TRUE(lattix::parseIndices(std::string_view("\0\0"
                                                      "111"
                                                      "\0",
                                                      6),
                                     true, out));
    EXPECT_EQ(out.v[0], 1);
}
