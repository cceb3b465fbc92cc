// The framing of language-server messages on a byte stream: a header of
// "Name: value" lines, each ended by CR LF, an empty line, then a body of
// Content-Length bytes.
#pragma once

#include <istream>
#include <ostream>
#include <string>
#include <string_view>

namespace directive_host::lsp {

struct Frame {
  enum class Kind {
    kMessage,   // `body` holds the message
    kMalformed, // the header was unusable; `body` says why
    kEnd,       // the stream ended
  };
  Kind kind = Kind::kEnd;
  std::string body;
};

// The next frame of `in`. A header without a usable Content-Length is
// reported as kMalformed and the stream is read on from after it; a stream
// that ends inside a frame ends there.
Frame ReadFrame(std::istream &in);

// Writes `body` framed, and flushes it.
void WriteFrame(std::ostream &out, std::string_view body);

} // namespace directive_host::lsp
