// The setup-file readers from memory: text cursor, SYMGEN lines and their expansion, APU records,
// crystal files, wildcards.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <memory>
#include <string>

#include "crystal_set.h"
#include "setup_files.h"
#include "vecmath.h"

namespace lattix {
namespace {

std::unique_ptr<TCrySet> cubicSet() {
    auto cs = std::make_unique<TCrySet>();
    std::memset(cs.get(), 0, sizeof(TCrySet));
    cs->A = cs->B = cs->C = 4;
    cs->Alpha = cs->Beta = cs->Gamma = 90;
    cs->LaueGroup = 11;
    buildLatticeMatrices(*cs);
    return cs;
}

int distinctOperators(const TCrySet& cs) {
    int distinct = 0;
    for (int i = 0; i < cs.SymOpCount; ++i) {
        bool seen = false;
        for (int j = 0; j < i && !seen; ++j) {
            double worst = 0;
            for (int c = 0; c < 3; ++c) {
                const TVec3D d = subtract(cs.SymOps[i].col[c], cs.SymOps[j].col[c]);
                worst = std::max(worst, std::sqrt(dot(d, d)));
            }
            seen = worst < 1e-9;
        }
        if (!seen) ++distinct;
    }
    return distinct;
}

TEST(TextReader, TokensSkipLineEndsAndMissingNumbersReadZero) {
    TextReader reader("  12\r\n\t-3 +4\n\n5.5e1 x\r");
    std::int32_t i = 0;
    double r = 0;
    EXPECT_TRUE(reader.readInteger(i));
    EXPECT_EQ(i, 12);
    EXPECT_TRUE(reader.readInteger(i));
    EXPECT_EQ(i, -3);
    EXPECT_TRUE(reader.readInteger(i));
    EXPECT_EQ(i, 4);
    EXPECT_TRUE(reader.readReal(r));
    EXPECT_EQ(r, 55.0);
    EXPECT_FALSE(reader.readReal(r));  // "x"
    EXPECT_TRUE(reader.atEndOfData());
    EXPECT_TRUE(reader.readInteger(i));
    EXPECT_EQ(i, 0);
}

TEST(TextReader, NumberSyntax) {
    const struct {
        const char* text;
        bool integer, real;
    } cases[] = {{"7", true, true},
                 {"-0", true, true},
                 {"+5", true, true},
                 {"1.", false, true},
                 {".5", false, true},
                 {"-2.5E-3", false, true},
                 {"1e", false, false},
                 {"inf", false, false},
                 {"nan", false, false},
                 {"0x1A", false, false},
                 {"1,5", false, false},
                 {"--1", false, false},
                 {"99999999999", false, true},
                 {".", false, false},
                 {"+", false, false}};
    for (const auto& c : cases) {
        std::int32_t i;
        double r;
        EXPECT_EQ(TextReader(c.text).readInteger(i), c.integer) << c.text;
        EXPECT_EQ(TextReader(c.text).readReal(r), c.real) << c.text;
    }
}

TEST(TextReader, LinesEndInLfCrLfOrCr) {
    TextReader reader("one\r\ntwo\nthree\rfour");
    EXPECT_EQ(reader.skipLine(), "one");
    EXPECT_EQ(reader.readChars(2), "tw");
    EXPECT_EQ(reader.skipLine(), "o");
    EXPECT_EQ(reader.readChars(40), "three");
    reader.skipLine();
    EXPECT_EQ(reader.skipLine(), "four");
    EXPECT_EQ(reader.skipLine(), "");
}

TEST(SymGen, ReadsTheLineOfTheGroupWithSixCharacterAxisFields) {
    const char* text = "0\n1 2 010\r\n3 4 001  2 100  3 111      comment\n";
    GeneratorList g;
    ASSERT_EQ(parseSymGen(text, 3, g), kStatusOk);
    ASSERT_EQ(g.count, 3);
    EXPECT_EQ(g.orders[0], 4);
    EXPECT_STREQ(g.axisTexts[0], " 001  ");
    EXPECT_STREQ(g.axisTexts[2], " 111  ");
    ASSERT_EQ(parseSymGen(text, 2, g), kStatusOk);
    EXPECT_EQ(g.count, 1);
    EXPECT_STREQ(g.axisTexts[0], " 010");  // the line ends first
    ASSERT_EQ(parseSymGen(text, 1, g), kStatusOk);
    EXPECT_EQ(g.count, 0);
    ASSERT_EQ(parseSymGen(text, 7, g), kStatusOk);  // no such line: identity only
    EXPECT_EQ(g.count, 0);
    ASSERT_EQ(parseSymGen(text, 0, g), kStatusOk);
    EXPECT_EQ(g.count, 0);
}

TEST(SymGen, RefusesWhatDoesNotFit) {
    GeneratorList g;
    EXPECT_EQ(parseSymGen("4 2 001  2 100  2 010  2 110", 1, g), kStatusRangeError);
    EXPECT_EQ(parseSymGen("-1", 1, g), kStatusRangeError);
    EXPECT_EQ(parseSymGen("2 12 001  12 100", 1, g), kStatusRangeError);  // 144 operators
    EXPECT_EQ(parseSymGen("1 97 001", 1, g), kStatusRangeError);
    EXPECT_EQ(parseSymGen("3 4 001  4 100  6 111", 1, g), kStatusOk);  // exactly 96
    EXPECT_EQ(parseSymGen("x", 1, g), kStatusInvalidNumber);
    EXPECT_EQ(parseSymGen("1 2.0 001", 1, g), kStatusInvalidNumber);
    EXPECT_EQ(g.count, 0);
}

TEST(SymGen, SingleFourFoldTurnsXTowardsY) {
    auto cs = cubicSet();
    GeneratorList g;
    ASSERT_EQ(parseSymGen("1 4 001", 1, g), kStatusOk);
    expandSymOps(*cs, g);
    ASSERT_EQ(cs->SymOpCount, 4);
    const TVec3D x = matMul3x1(cs->SymOps[1], TVec3D{1, 0, 0});
    EXPECT_NEAR(x.x, 0.0, 1e-15);
    EXPECT_NEAR(x.y, 1.0, 1e-15);
}

// The generator order decides whether the products repeat.
TEST(SymGen, GeneratorOrderMatters) {
    auto cs = cubicSet();
    GeneratorList g;
    ASSERT_EQ(parseSymGen("3 4 001  3 111  2 110", 1, g), kStatusOk);
    expandSymOps(*cs, g);
    EXPECT_EQ(cs->SymOpCount, 24);
    EXPECT_EQ(distinctOperators(*cs), 16);
    ASSERT_EQ(parseSymGen("3 4 001  2 100  3 111", 1, g), kStatusOk);
    expandSymOps(*cs, g);
    EXPECT_EQ(cs->SymOpCount, 24);
    EXPECT_EQ(distinctOperators(*cs), 24);
    ASSERT_EQ(parseSymGen("3 4 001  4 100  6 111", 1, g), kStatusOk);
    expandSymOps(*cs, g);
    EXPECT_EQ(cs->SymOpCount, 96);  // full, never beyond
}

const char* kApu =
    "110  0.0 45.0 0.0 54.7  3 2   first record\n"
    "001\n"
    "101\n"
    "111\n"
    " 1 001x101\n"
    "-1  001x111\n"
    "111 1 2 3 4 1 1\r\n"
    "  -1 0 0\r\n"
    "7 101\r\n";

TEST(Apu, RecordsAreFoundByPosition) {
    TApuBlock block;
    ASSERT_EQ(parseApuRecord(kApu, 11, 0, block), kStatusOk);
    EXPECT_EQ(block.Code, 110);
    EXPECT_EQ(block.Values[2], 0.0);  // file order: Values[3], [2], [1], [4]
    EXPECT_EQ(block.Values[1], 45.0);
    EXPECT_EQ(block.Values[3], 54.7);
    EXPECT_EQ(block.DirCount, 3);
    EXPECT_STREQ(block.DirTexts[1], "101");
    EXPECT_EQ(block.NormalCodes[1], -1);
    EXPECT_STREQ(block.NormalTexts[1], "  001x111");  // untrimmed until converted

    ASSERT_EQ(parseApuRecord(kApu, 11, 1, block), kStatusOk);
    EXPECT_EQ(block.Code, 111);
    EXPECT_EQ(block.Values[2], 1.0);
    EXPECT_EQ(block.Values[1], 2.0);
    EXPECT_EQ(block.Values[0], 3.0);
    EXPECT_EQ(block.Values[3], 4.0);
    EXPECT_STREQ(block.DirTexts[0], "  -1 0 0");
    EXPECT_EQ(block.NormalCodes[0], 7);
    EXPECT_STREQ(block.NormalTexts[0], " 101");

    // Past the end of the file, and outside 1..11, the zero record.
    for (int laue : {10, 1, 0, 12, 1000000}) {
        block.Code = 99;
        ASSERT_EQ(parseApuRecord(kApu, laue, 0, block), kStatusOk) << laue;
        EXPECT_EQ(block.Code, 0);
        EXPECT_EQ(block.DirCount, 0);
    }
}

TEST(Apu, RefusesCountsThatDoNotFit) {
    TApuBlock block;
    EXPECT_EQ(parseApuRecord("110 0 0 0 0 6 0\n", 11, 0, block), kStatusRangeError);
    EXPECT_EQ(block.DirCount, 0);
    EXPECT_EQ(parseApuRecord("110 0 0 0 0 0 -1\n", 11, 0, block), kStatusRangeError);
    // A text field is the first 15 characters; the rest of its line is not part of it.
    EXPECT_EQ(parseApuRecord("110 0 0 0 0 1 0\n123456789012345 6\n", 11, 0, block), kStatusOk);
    EXPECT_STREQ(block.DirTexts[0], "123456789012345");
    EXPECT_EQ(parseApuRecord("110 0 0 0 0 1 0\n123456789012345   \n", 11, 0, block), kStatusOk);
    EXPECT_EQ(parseApuRecord("110 0 0 0 0 0 1\n1 001x101 001x101 1\n", 11, 0, block), kStatusOk);
    EXPECT_STREQ(block.NormalTexts[0], " 001x101 001x10");
    EXPECT_EQ(parseApuRecord("110 0 zero 0 0 0 0\n", 11, 0, block), kStatusInvalidNumber);
    EXPECT_EQ(parseApuRecord("110 0 0 0 0 0 1\nx 001\n", 11, 0, block), kStatusInvalidNumber);
}

TEST(Apu, TextAfterTheFieldsIsIgnored) {
    // kApu again with notes after each 15-character text field, as stored
    // files may carry them: every record reads exactly as without them.
    auto field = [](std::string text) { return text + std::string(15 - text.size(), ' '); };
    const std::string noted = "110  0.0 45.0 0.0 54.7  3 2   first record\n" + field("001") +
                              "note\n" + field("101") + " x\n" + field("111") + "1 2 3\n" + " 1" +
                              field(" 001x101") + "(plane)\n" + "-1" + field("  001x111") + "9\n" +
                              "111 1 2 3 4 1 1\r\n" + field("  -1 0 0") + "note\r\n" + "7" +
                              field(" 101") + "last\r\n";
    for (int variant : {0, 1}) {
        TApuBlock clean, withNotes;
        ASSERT_EQ(parseApuRecord(kApu, 11, variant, clean), kStatusOk);
        ASSERT_EQ(parseApuRecord(noted, 11, variant, withNotes), kStatusOk) << variant;
        EXPECT_EQ(withNotes.Code, clean.Code);
        ASSERT_EQ(withNotes.DirCount, clean.DirCount);
        ASSERT_EQ(withNotes.NormalCount, clean.NormalCount);
        for (int i = 0; i < clean.DirCount; ++i)
            EXPECT_EQ(trimBlanks(withNotes.DirTexts[i]), trimBlanks(clean.DirTexts[i])) << i;
        for (int i = 0; i < clean.NormalCount; ++i) {
            EXPECT_EQ(withNotes.NormalCodes[i], clean.NormalCodes[i]) << i;
            EXPECT_EQ(trimBlanks(withNotes.NormalTexts[i]), trimBlanks(clean.NormalTexts[i])) << i;
        }
    }
}

TEST(Apu, ConversionTrimsPlaneTextsAndCrossesTheirDirections) {
    auto cs = cubicSet();
    TApuBlock block;
    ASSERT_EQ(parseApuRecord("110 0 0 0 0 2 2\n101\n  1 1 2\n1  001x101\n1 010\n", 11, 0, block),
              kStatusOk);
    convertApuBlock(*cs, block);
    EXPECT_STREQ(block.NormalTexts[0], "001x101");
    // [001] x [101] / |..| = (0, 1, 0)
    EXPECT_NEAR(block.Normals[0].x, 0.0, 1e-15);
    EXPECT_NEAR(block.Normals[0].y, 1.0, 1e-15);
    EXPECT_NEAR(block.Normals[0].z, 0.0, 1e-15);
    EXPECT_NEAR(block.Normals[1].y, 1.0, 1e-15);  // a single direction
    EXPECT_NEAR(block.Dirs[0].x, std::sqrt(0.5), 1e-15);
    EXPECT_STREQ(block.DirTexts[1], "  1 1 2");  // direction texts keep their blanks
    EXPECT_NEAR(block.Dirs[1].z, 2 / std::sqrt(6.0), 1e-12);
}

TEST(CrystalFile, FieldsAreCutAndStoredInOrder) {
    auto cs = std::make_unique<TCrySet>();
    std::memset(cs.get(), 0x41, sizeof(TCrySet));
    const std::string text = "VER3.0\r\n" + std::string(30, 'n') + "\r\n" + std::string(90, 'r') +
                             "\r\n  4  \r\n1 2 3\n 4 5 6 7\n";
    ASSERT_EQ(parseCrystalFile(text, *cs), kStatusOk);
    EXPECT_EQ(std::string(cs->Name), std::string(20, 'n'));
    EXPECT_EQ(std::string(cs->Reference), std::string(80, 'r'));
    EXPECT_EQ(cs->LaueGroup, 4);
    // The six numbers are tokens: they may run on into the next line.
    EXPECT_EQ(cs->A, 1.0f);
    EXPECT_EQ(cs->Alpha, 4.0f);
    EXPECT_EQ(cs->Gamma, 6.0f);
    EXPECT_EQ(cs->FileName[0], 0x41);  // not the parser's to touch
}

TEST(CrystalFile, VersionTagIsTheWholeLine) {
    for (const char* tag : {"VER2.2", "ver2.3", "Ver2.4", "vEr2.5", "VER3.0", "VER3.1"}) {
        EXPECT_TRUE(isAcceptedVersionTag(tag)) << tag;
    }
    for (const char* tag : {"VER2.0", "VER2.1", "VER3.2", " VER3.1", "VER3.1x", "VER3", ""}) {
        EXPECT_FALSE(isAcceptedVersionTag(tag)) << tag;
    }
}

TEST(Wildcards, MatchWithoutRegardToCase) {
    const struct {
        const char* pattern;
        const char* name;
        bool match;
    } cases[] = {{"*", "anything", true},
                 {"*", "", true},
                 {"", "", true},
                 {"", "a", false},
                 {"a?c", "ABC", true},
                 {"a?c", "ac", false},
                 {"*.cry", "IRON.CRY", true},
                 {"*.cry", "iron.cryx", false},
                 {"i*n*.c*", "IronBcc.cry", true},
                 {"*a*a*", "banana", true},
                 {"*ab", "aab", true},
                 {"?", "", false},
                 {"k*e.cry", "kyanite.cry", true},
                 {"**x", "x", true},
                 {"a*", "ba", false}};
    for (const auto& c : cases)
        EXPECT_EQ(wildcardMatch(c.pattern, c.name), c.match) << c.pattern << " " << c.name;
}

}  // namespace
}  // namespace lattix
