// Reading and writing framed messages, and going on after a bad frame.
#include "lsp/Frames.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

namespace {

using directive_host::lsp::Frame;
using directive_host::lsp::ReadFrame;

// Each frame of `stream` as "message:BODY" or "malformed:WHY", to the end.
std::vector<std::string> Frames(const std::string &stream) {
  std::istringstream in(stream);
  std::vector<std::string> frames;
  for (Frame frame = ReadFrame(in); frame.kind != Frame::Kind::kEnd;
       frame = ReadFrame(in)) {
    frames.push_back(
        (frame.kind == Frame::Kind::kMessage ? "message:" : "malformed:") +
        frame.body);
  }
  return frames;
}

TEST(Frames, ReadsEachFrameAndReportsTheBadOnes) {
  const struct {
    std::string stream;
    std::vector<std::string> frames;
  } cases[] = {
      {"Content-Length: 2\r\n\r\n{}Content-Length: 3\r\n\r\n[1]",
       {"message:{}", "message:[1]"}},
      {"content-length:2\r\nContent-Type: x\r\n\r\n{}", {"message:{}"}},
      {"Content-Length: 2\n\n{}", {"message:{}"}},
      {"\r\n\r\nContent-Length: 0\r\n\r\n", {"message:"}},
      {"Content-Type: x\r\n\r\nContent-Length: 1\r\n\r\n1",
       {"malformed:a header without Content-Length", "message:1"}},
      {"Content-Length: -4\r\n\r\nContent-Length: 1\r\n\r\n2",
       {"malformed:an unreadable Content-Length: 'Content-Length: -4'",
        "message:2"}},
      // Cut off: in the header, in the body, and a length far beyond it.
      {"Content-Length: 2\r\n", {}},
      {"Content-Length: 5\r\n\r\n{}", {}},
      {"Content-Length: 4000000000\r\n\r\n{}", {}},
  };
  for (const auto &c : cases) {
    EXPECT_EQ(Frames(c.stream), c.frames) << c.stream;
  }
}

TEST(Frames, WritesWhatItReads) {
  std::ostringstream out;
  directive_host::lsp::WriteFrame(out, "{\"a\":\"\xC3\xA9\"}");
  EXPECT_EQ(out.str(), "Content-Length: 10\r\n\r\n{\"a\":\"\xC3\xA9\"}");
  EXPECT_EQ(Frames(out.str()),
            std::vector<std::string>{"message:{\"a\":\"\xC3\xA9\"}"});
}

} // namespace
