#include "lsp/Frames.h"

#include "plugins/Registry.h"

#include <algorithm>
#include <charconv>
#include <optional>

namespace directive_host::lsp {

namespace {

constexpr std::string_view kContentLength = "Content-Length";

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

bool EndsWithContentLength(std::string_view text) {
  return text.size() >= kContentLength.size() &&
         SameIgnoringCase(text.substr(text.size() - kContentLength.size()),
                          kContentLength);
}

// Where the first "Content-Length" of `text` starts, or npos.
std::size_t FindContentLength(std::string_view text) {
  for (std::size_t at = 0; at + kContentLength.size() <= text.size(); ++at) {
    if (SameIgnoringCase(text.substr(at, kContentLength.size()),
                         kContentLength)) {
      return at;
    }
  }
  return std::string_view::npos;
}

std::string Bytes(std::size_t count) {
  return std::to_string(count) + (count == 1 ? " byte" : " bytes");
}

} // namespace

int FrameReader::Get() {
  if (aheadAt_ < ahead_.size()) {
    return static_cast<unsigned char>(ahead_[aheadAt_++]);
  }
  return in_.sbumpc();
}

bool FrameReader::Buffered() const {
  return aheadAt_ < ahead_.size() || in_.in_avail() > 0;
}

void FrameReader::Unread(std::string_view bytes) {
  ahead_ = std::string(bytes) + ahead_.substr(aheadAt_);
  aheadAt_ = 0;
}

void FrameReader::Reread(std::string_view body) { Unread(body); }

bool FrameReader::ReadLine(std::string &line, bool &tooLong, bool &resynced) {
  line.clear();
  tooLong = false;
  resynced = false;
  for (int c = Get(); c != std::streambuf::traits_type::eof(); c = Get()) {
    if (c == '\n') {
      if (!line.empty() && line.back() == '\r') {
        line.pop_back();
      }
      return true;
    }
    line += static_cast<char>(c);
    // Only "Content-Length" itself ends in 'h'.
    if ((c == 'h' || c == 'H') && line.size() > kContentLength.size() &&
        EndsWithContentLength(line)) {
      line.erase(0, line.size() - kContentLength.size());
      resynced = true;
      return true;
    }
    if (line.size() > kHeaderLineLimit) {
      // Kept only as far as a Content-Length that may still come.
      line.erase(0, line.size() - (kContentLength.size() - 1));
      tooLong = true;
    }
  }
  return false;
}

Frame FrameReader::Next() {
  std::optional<std::size_t> length;
  std::string unreadable; // a Content-Length line that gave no length
  bool inHeader = false;
  std::string line;
  bool tooLong = false;
  bool resynced = false;
  while (ReadLine(line, tooLong, resynced)) {
    if (resynced) {
      // The header starts again at this Content-Length, read on the next
      // call; all before it is dropped.
      Unread(line);
      return {Frame::Kind::kDropped,
              tooLong ? "a header line longer than " + Bytes(kHeaderLineLimit)
                      : std::string("bytes that were no frame, before a "
                                    "Content-Length")};
    }
    if (tooLong) {
      return {Frame::Kind::kDropped,
              "a header line longer than " + Bytes(kHeaderLineLimit)};
    }
    if (line.empty()) {
      if (!inHeader) {
        continue; // blank lines between frames
      }
      if (!length) {
        return {Frame::Kind::kDropped,
                unreadable.empty()
                    ? std::string("a header without Content-Length")
                    : "an unreadable Content-Length: '" + unreadable + "'"};
      }
      if (*length > kBodyLimit) {
        return {Frame::Kind::kDropped, "a body of " + Bytes(*length) +
                                           ", beyond the limit of " +
                                           Bytes(kBodyLimit)};
      }
      return ReadBody(*length);
    }
    // Other headers (Content-Type) and lines that are no header are passed
    // over; only the length matters.
    inHeader = true;
    const std::string_view text = line;
    const std::size_t colon = text.find(':');
    if (colon != std::string_view::npos &&
        SameIgnoringCase(Trimmed(text.substr(0, colon)), kContentLength)) {
      length = LengthOf(Trimmed(text.substr(colon + 1)));
      unreadable = length ? std::string() : line;
    }
  }
  if (inHeader || tooLong) {
    return {Frame::Kind::kDropped, "a header cut off by the end of the input"};
  }
  return {};
}

Frame FrameReader::ReadBody(std::size_t length) {
  Frame frame{Frame::Kind::kMessage, {}};
  const std::size_t early = std::min(length, ahead_.size() - aheadAt_);
  frame.body.assign(ahead_, aheadAt_, early);
  aheadAt_ += early;
  // Read as the bytes arrive, so that a length far beyond what is sent
  // reserves nothing.
  char chunk[65536];
  while (frame.body.size() < length) {
    const std::size_t want = std::min(sizeof chunk, length - frame.body.size());
    const auto got = static_cast<std::size_t>(
        in_.sgetn(chunk, static_cast<std::streamsize>(want)));
    frame.body.append(chunk, got);
    if (got < want) {
      // A frame that the end cuts off may have swallowed the next whole.
      const std::string why = "a frame cut off after " +
                              Bytes(frame.body.size()) + " of " + Bytes(length);
      const std::size_t next = FindContentLength(frame.body);
      if (next != std::string::npos) {
        Unread(std::string_view(frame.body).substr(next));
      }
      return {Frame::Kind::kDropped, why};
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
