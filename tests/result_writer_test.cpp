#include "ResultWriter.h"
#include "support/GuardedBuffer.h"

#include <gtest/gtest.h>

#include <string>

TEST(ResultWriter, WritesWholeResultsUpToTheCapacity) {
  struct Case {
    std::size_t length;
    std::size_t written; // bytes before the NUL
  };
  const Case cases[] = {
      {0, 0},
      {5, 5},
      {DIRECTIVE_RESULT_CAPACITY - 1, DIRECTIVE_RESULT_CAPACITY - 1},
      {DIRECTIVE_RESULT_CAPACITY, 0},
      {DIRECTIVE_RESULT_CAPACITY + 1, 0},
      {3 * DIRECTIVE_RESULT_CAPACITY, 0},
  };
  for (const Case &c : cases) {
    GuardedBuffer out;
    const std::string result(c.length, 'r');
    WriteResult(out.data(), result);
    EXPECT_EQ(std::strlen(out.data()), c.written) << "length " << c.length;
    if (c.written > 0) {
      EXPECT_EQ(std::string(out.data()), result);
    }
  }
}

// A default view has no data at all; the sanitizer leg reports a copy from
// its null pointer, even of no bytes.
TEST(ResultWriter, WritesTheEmptyResultOfADefaultView) {
  GuardedBuffer out;
  WriteResult(out.data(), std::string_view());
  EXPECT_STREQ(out.data(), "");
}

TEST(ResultWriter, NullOutIsLeftAlone) {
  WriteResult(nullptr, "anything");
  WriteResult(nullptr, "");
  SUCCEED();
}

TEST(ResultWriter, NullHostStringReadsAsEmpty) {
  EXPECT_EQ(HostString(nullptr), "");
  EXPECT_EQ(HostString("a\x80z"), "a\x80z");
}
