// The framing of language-server messages on a byte stream: a header of
// "Name: value" lines, each ended by CR LF, an empty line, then a body of
// Content-Length bytes.
#pragma once

#include <cstddef>
#include <istream>
#include <ostream>
#include <string>
#include <string_view>

namespace directive_host::lsp {

// What one header line and one body may hold. A frame past either is
// dropped without being kept; reading goes on at the next Content-Length.
inline constexpr std::size_t kHeaderLineLimit = 64 * 1024;
inline constexpr std::size_t kBodyLimit = 64 * 1024 * 1024;

struct Frame {
  enum class Kind {
    kMessage, // `body` holds the message
    kDropped, // bytes that were no usable frame were passed over; `body`
              // says why
    kEnd,     // the stream ended
  };
  Kind kind = Kind::kEnd;
  std::string body;
};

// Frames one after the other from a stream. Whatever is no usable frame (a
// body without a header, a header without a usable Content-Length, a line
// or body beyond its limit) is dropped, and reading resynchronises at the
// next "Content-Length" wherever it stands, even within a line: a client's
// one bad frame never costs the frames after it.
class FrameReader {
public:
  explicit FrameReader(std::istream &in) : in_(*in.rdbuf()) {}

  Frame Next();

  // Reads `body` again, ahead of the stream: a body that is no message may
  // hold the header of the next frame, swallowed by a Content-Length longer
  // than what was sent. Each frame read takes its header, so the bytes
  // left shrink however often bodies are read again.
  void Reread(std::string_view body);

  // Whether bytes are read but not yet framed, which no wait on the stream
  // would see.
  bool Buffered() const;

private:
  int Get();
  void Unread(std::string_view bytes);
  // The next header line, its break taken off, in `line`; false at the end
  // of the stream. A line past the limit comes back marked `tooLong`, with
  // only the Content-Length that may end it; `resynced` tells that bytes
  // before a Content-Length within the line were dropped.
  bool ReadLine(std::string &line, bool &tooLong, bool &resynced);
  Frame ReadBody(std::size_t length);

  std::streambuf &in_;
  std::string ahead_;
  std::size_t aheadAt_ = 0;
};

// Writes `body` framed, and flushes it.
void WriteFrame(std::ostream &out, std::string_view body);

} // namespace directive_host::lsp
