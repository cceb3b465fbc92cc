#include "lsp/Frames.h"

#include "script/Directive.h"

#include <algorithm>
#include <charconv>
#include <optional>

namespace directive_host::lsp {

namespace {

constexpr std::string_view kContentLength = "Content-Length";

// One header line without its break; false at the end of the stream. A lone
// LF ends a line too, as some clients send it.
bool ReadHeaderLine(std::istream &in, std::string &line) {
  if (!std::getline(in, line)) {
    return false;
  }
  if (!line.empty() && line.back() == '\r') {
    line.pop_back();
  }
  return true;
}

std::string_view Trimmed(std::string_view text) {
  const std::size_t begin = text.find_first_not_of(" \t");
  if (begin == std::string_view::npos) {
    return {};
  }
  return text.substr(begin, text.find_last_not_of(" \t") + 1 - begin);
}

std::optional<std::size_t> LengthOf(std::string_view value) {
  std::size_t length = 0;
  const auto [end, error] =
      std::from_chars(value.data(), value.data() + value.size(), length);
  if (value.empty() || error != std::errc() ||
      end != value.data() + value.size()) {
    return std::nullopt;
  }
  return length;
}

} // namespace

Frame ReadFrame(std::istream &in) {
  std::string line;
  // Blank lines between frames are skipped.
  do {
    if (!ReadHeaderLine(in, line)) {
      return {};
    }
  } while (line.empty());
  // Other headers (Content-Type) and lines that are no header are passed
  // over; only the length matters.
  std::optional<std::size_t> length;
  std::string problem = "a header without Content-Length";
  while (!line.empty()) {
    const std::size_t colon = line.find(':');
    if (colon != std::string::npos &&
        SameIgnoringCase(Trimmed(std::string_view(line).substr(0, colon)),
                         kContentLength)) {
      length = LengthOf(Trimmed(std::string_view(line).substr(colon + 1)));
      if (!length) {
        problem = "an unreadable Content-Length: '" + line + "'";
      }
    }
    if (!ReadHeaderLine(in, line)) {
      return {};
    }
  }
  if (!length) {
    return {Frame::Kind::kMalformed, problem};
  }
  // Read as the bytes arrive, so that a length far beyond what is sent
  // reserves nothing.
  Frame frame{Frame::Kind::kMessage, {}};
  char chunk[65536];
  while (frame.body.size() < *length) {
    const std::size_t want =
        std::min(sizeof chunk, *length - frame.body.size());
    in.read(chunk, static_cast<std::streamsize>(want));
    frame.body.append(chunk, static_cast<std::size_t>(in.gcount()));
    if (static_cast<std::size_t>(in.gcount()) < want) {
      return {};
    }
  }
  return frame;
}

void WriteFrame(std::ostream &out, std::string_view body) {
  out << kContentLength << ": " << body.size() << "\r\n\r\n";
  out.write(body.data(), static_cast<std::streamsize>(body.size()));
  out.flush();
}

} // namespace directive_host::lsp
