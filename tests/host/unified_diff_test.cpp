// Unit tests of the unified diff that format --diff writes.
#include "format/UnifiedDiff.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <string>

namespace {

using directive_host::UnifiedDiff;

struct DiffCase {
  const char *what;
  std::string before;
  std::string after;
  std::string hunks; // the diff after its two header lines
};

TEST(UnifiedDiff, WritesHunksWithThreeLinesOfContext) {
  const DiffCase cases[] = {
      {"the same texts", "a\nb\n", "a\nb\n", ""},
      {"the only line", "a\n", "A\n", "@@ -1 +1 @@\n-a\n+A\n"},
      {"context cut at the start", "a\n1\n2\n3\n4\n", "A\n1\n2\n3\n4\n",
       "@@ -1,4 +1,4 @@\n-a\n+A\n 1\n 2\n 3\n"},
      {"context cut at the end", "0\n1\n2\n3\n4\na\n5\n",
       "0\n1\n2\n3\n4\nA\n5\n", "@@ -3,5 +3,5 @@\n 2\n 3\n 4\n-a\n+A\n 5\n"},
      {"adjacent changes: removals, then additions", "a\nb\nc\n", "A\nB\nc\n",
       "@@ -1,3 +1,3 @@\n-a\n-b\n+A\n+B\n c\n"},
      {"six lines apart: the contexts touch, one hunk",
       "a\n1\n2\n3\n4\n5\n6\nb\n", "A\n1\n2\n3\n4\n5\n6\nB\n",
       "@@ -1,8 +1,8 @@\n-a\n+A\n 1\n 2\n 3\n 4\n 5\n 6\n-b\n+B\n"},
      {"seven lines apart: two hunks", "a\n1\n2\n3\n4\n5\n6\n7\nb\n",
       "A\n1\n2\n3\n4\n5\n6\n7\nB\n",
       "@@ -1,4 +1,4 @@\n-a\n+A\n 1\n 2\n 3\n"
       "@@ -6,4 +6,4 @@\n 5\n 6\n 7\n-b\n+B\n"},
      {"CR LF kept in the lines", "a\r\nb\r\n", "A\r\nb\r\n",
       "@@ -1,2 +1,2 @@\n-a\r\n+A\r\n b\r\n"},
      {"a line break alone changes the line", "a\r\n", "a\n",
       "@@ -1 +1 @@\n-a\r\n+a\n"},
      {"no break at the end, changed", "1\na", "1\nA",
       "@@ -1,2 +1,2 @@\n 1\n-a\n\\ No newline at end of file\n+A\n"
       "\\ No newline at end of file\n"},
      {"no break at the end, as context", "a\n1", "A\n1",
       "@@ -1,2 +1,2 @@\n-a\n+A\n 1\n\\ No newline at end of file\n"},
      {"the break added at the end", "a", "a\n",
       "@@ -1 +1 @@\n-a\n\\ No newline at end of file\n+a\n"},
      // Lines as patch counts them: a lone CR ends a line of a script, but
      // not one of patch's.
      {"lone CR line ends", "a\rb\r\nc\r", "A\rb\r\nc\r",
       "@@ -1,2 +1,2 @@\n-a\rb\r\n+A\rb\r\n c\r\n"
       "\\ No newline at end of file\n"},
      {"NUL bytes and lines that look like diff lines",
       std::string("--- x\n@@\0\n+a\n", 13),
       std::string("--- x\n@@\0\n+A\n", 13),
       std::string("@@ -1,3 +1,3 @@\n --- x\n @@\0\n-+a\n++A\n", 36)},
  };
  for (const DiffCase &c : cases) {
    const std::string diff = UnifiedDiff("f.txt", c.before, c.after);
    if (c.hunks.empty()) {
      EXPECT_EQ(diff, "") << c.what;
    } else {
      EXPECT_EQ(diff, "--- f.txt\n+++ f.txt\n" + c.hunks) << c.what;
    }
  }
}

TEST(UnifiedDiff, RefusesTextsWhoseLinesDoNotCorrespond) {
  EXPECT_THROW(UnifiedDiff("f", "a\nb\n", "a\n"), std::invalid_argument);
  EXPECT_THROW(UnifiedDiff("f", "a", "a\nb"), std::invalid_argument);
  EXPECT_THROW(UnifiedDiff("f", "", "a"), std::invalid_argument);
}

} // namespace
