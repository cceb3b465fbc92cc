#include "GuardedBuffer.h"
#include "ResultWriter.h"

#include <gtest/gtest.h>

#include <string>

namespace {

// What a host reads from `out` after `pieces` were written to it.
std::string Written(char *out, const std::vector<std::string> &pieces) {
  ResultWriter writer(out);
  for (const std::string &piece : pieces) {
    if (piece.size() == 1) {
      writer << piece[0];
    } else {
      writer << piece;
    }
  }
  writer.Finish();
  return out;
}

} // namespace

TEST(ResultWriter, WritesWholeResultsUpToTheCapacity) {
  const std::size_t room = DIRECTIVE_RESULT_CAPACITY - 1;
  struct Case {
    std::vector<std::size_t> pieces; // lengths
    bool fits;
  };
  const Case cases[] = {
      {{}, true},
      {{5}, true},
      {{room}, true},
      {{room - 1, 1}, true},
      {{1, room - 1}, true},
      {{room - 10, 3, 7}, true},
      {{DIRECTIVE_RESULT_CAPACITY}, false},
      {{room, 1}, false},
      {{room - 1, 1, 1}, false},
      {{room - 1, 2}, false},
      // A piece after one that did not fit is not written either.
      {{room - 5, 10, 1}, false},
      {{3 * DIRECTIVE_RESULT_CAPACITY}, false},
  };
  for (const Case &c : cases) {
    host::GuardedBuffer out;
    std::vector<std::string> pieces;
    std::string whole;
    for (std::size_t i = 0; i < c.pieces.size(); ++i) {
      pieces.emplace_back(c.pieces[i], static_cast<char>('a' + i));
      whole += pieces.back();
    }
    EXPECT_EQ(Written(out.data(), pieces), c.fits ? whole : "")
        << c.pieces.size() << " pieces";
  }
}

// A default view has no data at all; the sanitizer leg reports a copy from
// its null pointer, even of no bytes.
TEST(ResultWriter, WritesTheEmptyResultOfADefaultView) {
  host::GuardedBuffer out;
  ResultWriter writer(out.data());
  writer << std::string_view();
  writer.Finish();
  EXPECT_STREQ(out.data(), "");
}

TEST(ResultWriter, NullOutIsLeftAlone) {
  ResultWriter writer(nullptr);
  writer << "anything" << 'x';
  writer.Finish();
  SUCCEED();
}

TEST(ResultWriter, NullHostStringReadsAsEmpty) {
  EXPECT_EQ(HostString(nullptr), "");
  EXPECT_EQ(HostString("a\x80z"), "a\x80z");
}

// A host string that shares bytes with the out buffer is read from a copy;
// one that lies elsewhere is read where it lies.
TEST(HostInput, CopiesOnlyAStringThatSharesBytesWithOut) {
  std::vector<char> buffer(3 * DIRECTIVE_RESULT_CAPACITY, '\0');
  char *const out = buffer.data() + DIRECTIVE_RESULT_CAPACITY;
  const auto place = [](char *at, const std::string &text) {
    std::copy(text.begin(), text.end(), at);
    at[text.size()] = '\0';
    return at;
  };
  struct Case {
    const char *name;
    char *at; // where the text lies
    bool copied;
  };
  const Case cases[] = {
      {"same start", out, true},
      {"inside", out + 100, true},
      {"last byte", out + DIRECTIVE_RESULT_CAPACITY - 1, true},
      {"just after", out + DIRECTIVE_RESULT_CAPACITY, false},
      {"before, its NUL the first byte", out - 4, true},
      {"before, its NUL just before", out - 5, false},
      {"far before", buffer.data(), false},
  };
  for (const Case &c : cases) {
    const char *text = place(c.at, "text");
    const HostInput input(text, out);
    EXPECT_EQ(input.View(), "text") << c.name;
    EXPECT_EQ(input.View().data() != text, c.copied) << c.name;
  }
  EXPECT_EQ(HostInput(nullptr, out).View(), "");
  EXPECT_EQ(HostInput(out, nullptr).View().data(), out);
}
