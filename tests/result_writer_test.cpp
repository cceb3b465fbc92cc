#include "ResultWriter.h"
#include "platform/GuardedBuffer.h"

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
    directive_host::platform::GuardedBuffer out;
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

// One Write of several pieces checks the capacity once for all of them, and
// copies pieces of every size whole: short ones without memcpy, in
// overlapping words.
TEST(ResultWriter, WritesPiecesOfEverySizeInOneCall) {
  const std::size_t room = DIRECTIVE_RESULT_CAPACITY - 1;
  for (std::size_t size = 0; size <= 40; ++size) {
    std::string piece;
    for (std::size_t i = 0; i < size; ++i) {
      piece += static_cast<char>('a' + i % 26);
    }
    directive_host::platform::GuardedBuffer out;
    ResultWriter writer(out.data());
    writer.Write('<', piece, "|", std::string_view(), piece, '>');
    writer.Finish();
    EXPECT_EQ(std::string(out.data()), "<" + piece + "|" + piece + ">") << size;
  }
  for (const std::size_t first : {room - 3, room - 2}) {
    directive_host::platform::GuardedBuffer out;
    ResultWriter writer(out.data());
    const std::string filler(first, 'f');
    writer.Write(filler, '=', "ab");
    writer.Finish();
    EXPECT_EQ(out.data(), first == room - 3 ? filler + "=ab" : "") << first;
  }
}

// A default view has no data at all; the sanitizer leg reports a copy from
// its null pointer, even of no bytes.
TEST(ResultWriter, WritesTheEmptyResultOfADefaultView) {
  directive_host::platform::GuardedBuffer out;
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

// When a string the callback reads shares bytes with out, the result is held
// apart until Finish, so that out, and the string in it, stay as they are
// while the callback reads; a string that lies elsewhere lets the result go
// straight into out.
TEST(ResultWriter, HoldsTheResultApartOnlyWhileOutSharesBytesWithAString) {
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
    bool apart;
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
    std::fill(out, out + DIRECTIVE_RESULT_CAPACITY, 'o');
    const std::string_view text = HostString(place(c.at, "text"));
    const std::string before(out, 8);
    ResultWriter writer(out, {"elsewhere", text});
    writer << "result" << '!';
    EXPECT_EQ(std::string(out, 8) == before, c.apart) << c.name;
    EXPECT_EQ(text, "text") << c.name;
    writer.Finish();
    EXPECT_STREQ(out, "result!") << c.name;
  }
}

TEST(ResultWriter, HoldsAFullResultApartUpToTheCapacity) {
  const std::size_t room = DIRECTIVE_RESULT_CAPACITY - 1;
  for (const std::size_t length : {room, room + 1}) {
    directive_host::platform::GuardedBuffer out;
    const std::string piece(length, 'p');
    std::copy(piece.begin(), piece.begin() + 10, out.data());
    out.data()[10] = '\0';
    ResultWriter writer(out.data(), {HostString(out.data())});
    writer << piece;
    writer.Finish();
    EXPECT_EQ(out.data(), length == room ? piece : "") << length;
  }
}
