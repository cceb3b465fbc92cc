// Reading and writing framed messages, and going on after a bad frame.
#include "lsp/Frames.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

namespace {

using directive_host::lsp::Frame;
using directive_host::lsp::FrameReader;

// Each frame of `stream` as "message:BODY" or "dropped:WHY", to the end. A
// body that starts with '!' stands for one that is no JSON, and is read
// again as the server has it read.
std::vector<std::string> Frames(const std::string &stream) {
  std::istringstream in(stream);
  FrameReader reader(in);
  std::vector<std::string> frames;
  for (Frame frame = reader.Next(); frame.kind != Frame::Kind::kEnd;
       frame = reader.Next()) {
    frames.push_back(
        (frame.kind == Frame::Kind::kMessage ? "message:" : "dropped:") +
        frame.body);
    if (frame.kind == Frame::Kind::kMessage && frame.body.starts_with("!")) {
      reader.Reread(frame.body);
    }
  }
  return frames;
}

constexpr const char *kNoFrame =
    "dropped:bytes that were no frame, before a Content-Length";
constexpr const char *kLongLine =
    "dropped:a header line longer than 65536 bytes";

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
       {"dropped:a header without Content-Length", "message:1"}},
      {"Content-Length: -4\r\n\r\nContent-Length: 1\r\n\r\n2",
       {"dropped:an unreadable Content-Length: 'Content-Length: -4'",
        "message:2"}},
      // Resynchronised at the next Content-Length, wherever it stands: after
      // a body without a header, after the body of a header without a
      // length, inside a line past the limit, and inside a body that a
      // length too long took, to the end or past the next header.
      {"{\"id\":1}Content-Length: 2\r\n\r\n{}", {kNoFrame, "message:{}"}},
      {"Content-Type: x\r\n\r\n[0]content-length: 1\r\n\r\n1",
       {"dropped:a header without Content-Length", kNoFrame, "message:1"}},
      {std::string(100000, 'x') + "Content-Length: 1\r\n\r\n1",
       {kLongLine, "message:1"}},
      {std::string(70000, 'h') + "\r\nContent-Length: 1\r\n\r\n1",
       {kLongLine, "message:1"}},
      {"Content-Length: 40\r\n\r\n{}Content-Length: 1\r\n\r\n1",
       {"dropped:a frame cut off after 24 bytes of 40 bytes", "message:1"}},
      {"Content-Length: 4\r\n\r\n!{}Content-Length: 1\r\n\r\n1",
       {"message:!{}C", kNoFrame, "message:1"}},
      // Past the limits, dropped without being read.
      {"Content-Length: 67108865\r\n\r\nContent-Length: 1\r\n\r\n1",
       {"dropped:a body of 67108865 bytes, beyond the limit of 67108864 "
        "bytes",
        "message:1"}},
      {"Content-Length: 1000000000000000000000\r\n\r\n",
       {"dropped:an unreadable Content-Length: "
        "'Content-Length: 1000000000000000000000'"}},
      // Cut off: in the header, in the body, and a length far beyond it.
      {"Content-Length: 2\r\n",
       {"dropped:a header cut off by the end of the input"}},
      {"Content-Length: 5\r\n\r\n{}",
       {"dropped:a frame cut off after 2 bytes of 5 bytes"}},
      {"Content-Length: 4000000000\r\n\r\n{}",
       {"dropped:a body of 4000000000 bytes, beyond the limit of 67108864 "
        "bytes"}},
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
