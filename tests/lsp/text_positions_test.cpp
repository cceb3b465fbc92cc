// Positions as clients count them: code units of UTF-16 or UTF-8, lines as
// scripts divide into lines, edits applied at them, and bytes that are no
// UTF-8.
#include "lsp/Protocol.h"
#include "lsp/TextPositions.h"

#include <gtest/gtest.h>

#include <string>

namespace {

using namespace directive_host::lsp;

constexpr auto kUtf16 = PositionEncoding::kUtf16;
constexpr auto kUtf8 = PositionEncoding::kUtf8;

// é (2 bytes, 1 unit), € (3 bytes, 1 unit), 😀 (4 bytes, 2 units).
const std::string kMixed = "a\xC3\xA9\xE2\x82\xAC\xF0\x9F\x98\x80z";

TEST(TextPositions, CountsAndFindsCodeUnits) {
  EXPECT_EQ(UnitCount(kMixed, kUtf16), 6u);
  EXPECT_EQ(UnitCount(kMixed, kUtf8), kMixed.size());
  const struct {
    PositionEncoding encoding;
    std::size_t units;
    std::size_t byte;
  } cases[] = {
      {kUtf16, 0, 0},
      {kUtf16, 1, 1},
      {kUtf16, 2, 3},
      {kUtf16, 3, 6},
      {kUtf16, 4, 6}, // inside the surrogate pair: the
                      // character's start
      {kUtf16, 5, 10},
      {kUtf16, 6, 11},
      {kUtf16, 99, 11},
      {kUtf8, 2, 1},
      {kUtf8, 4, 3}, // inside € : its start
      {kUtf8, 10, 10},
      {kUtf8, 99, 11},
  };
  for (const auto &c : cases) {
    EXPECT_EQ(ByteOffset(kMixed, c.units, c.encoding), c.byte)
        << EncodingName(c.encoding) << " " << c.units;
  }
}

TEST(TextPositions, LinesAreTheScriptsAndTheFirstHoldsTheMark) {
  const std::string text = "\xEF\xBB\xBF#LABEL = a\r\n\xC3\xA9 x\nlast";
  const LineMap lines(text, kUtf16);
  ASSERT_EQ(lines.LineCount(), 3u);
  EXPECT_EQ(lines.Line(0), "\xEF\xBB\xBF#LABEL = a");
  EXPECT_EQ(lines.Line(1), "\xC3\xA9 x");
  EXPECT_EQ(lines.LineStart(2), text.size() - 4);
  EXPECT_EQ(lines.At(0, 4), (Position{0, 2})); // the mark is one unit
  EXPECT_EQ(lines.Offset({1, 1}), lines.LineStart(1) + 2);
  EXPECT_EQ(lines.Offset({1, 50}), lines.LineStart(1) + 4); // before the LF
  EXPECT_EQ(lines.Offset({7, 0}), text.size());
  EXPECT_EQ(LineMap("", kUtf16).Offset({0, 3}), 0u);
}

TEST(TextPositions, EditsReplaceTheirRange) {
  const struct {
    std::string text;
    Range range;
    std::string replacement;
    PositionEncoding encoding;
    std::string expected;
  } cases[] = {
      {"ab\ncd\n", {{1, 1}, {1, 1}}, "X", kUtf16, "ab\ncXd\n"},
      {"ab\ncd\n", {{0, 1}, {1, 1}}, "", kUtf16, "ad\n"},
      {"ab\r\ncd", {{0, 2}, {1, 0}}, "\n", kUtf16, "ab\ncd"},
      {"ab\n", {{1, 0}, {1, 0}}, "end", kUtf16, "ab\nend"},
      {"ab", {{5, 0}, {6, 0}}, "!", kUtf16, "ab!"},
      {"\xF0\x9F\x98\x80x", {{0, 2}, {0, 3}}, "y", kUtf16, "\xF0\x9F\x98\x80y"},
      {"\xF0\x9F\x98\x80x", {{0, 4}, {0, 5}}, "y", kUtf8, "\xF0\x9F\x98\x80y"},
      // The first line counts from the very start, its byte-order mark too.
      {"\xEF\xBB\xBF"
       "ab\ncd",
       {{0, 1}, {1, 1}},
       "X",
       kUtf16,
       "\xEF\xBB\xBFXd"},
      {"\xEF\xBB\xBF", {{0, 1}, {0, 1}}, "X", kUtf16, "\xEF\xBB\xBFX"},
      // An end before the start deletes nothing.
      {"abc", {{0, 2}, {0, 1}}, "-", kUtf16, "ab-c"},
  };
  for (const auto &c : cases) {
    std::string text = c.text;
    ApplyEdit(text, c.range, c.replacement, c.encoding);
    EXPECT_EQ(text, c.expected) << c.text;
  }
}

TEST(TextPositions, BytesThatAreNotUtf8BecomeOneReplacementEach) {
  const std::string r = "\xEF\xBF\xBD";
  const struct {
    std::string text;
    std::size_t invalid;
    std::string repaired; // when any is invalid
  } cases[] = {
      {kMixed, 0, ""},
      {"a\xFFz", 1, "a" + r + "z"},
      {"\xE2\x82z", 2, r + r + "z"},          // cut off
      {"\xC0\xAF", 2, r + r},                 // overlong
      {"\xED\xA0\x80", 3, r + r + r},         // a surrogate
      {"\xF4\x90\x80\x80", 4, r + r + r + r}, // past U+10FFFF
      {"\x80\xC3\xA9\xF0\x9F\x98", 4, r + "\xC3\xA9" + r + r + r},
  };
  for (const auto &c : cases) {
    std::string repaired;
    EXPECT_EQ(RepairUtf8(c.text, repaired), c.invalid) << c.text;
    if (c.invalid > 0) {
      EXPECT_EQ(repaired, c.repaired) << c.text;
    }
  }
}

} // namespace
