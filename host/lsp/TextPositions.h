// Places in a document as a language client names them: a line, counted from
// 0, and a character offset in code units of the position encoding agreed
// at initialization.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace directive_host::lsp {

enum class PositionEncoding { kUtf16, kUtf8 };

// "utf-16" or "utf-8", as the protocol names them.
std::string_view EncodingName(PositionEncoding encoding);

// Code units of `encoding` in the UTF-8 `text`.
std::size_t UnitCount(std::string_view text, PositionEncoding encoding);

// Bytes of the UTF-8 `line` before its character at `units` code units; a
// count past the end gives the whole line, and one inside a character the
// start of that character.
std::size_t ByteOffset(std::string_view line, std::size_t units,
                       PositionEncoding encoding);

struct Position {
  std::size_t line = 0;
  std::size_t character = 0;
  friend bool operator==(const Position &, const Position &) = default;
  friend auto operator<=>(const Position &, const Position &) = default;
};

struct Range {
  Position start;
  Position end;
  friend bool operator==(const Range &, const Range &) = default;
};

struct TextEdit {
  Range range;
  std::string newText;
  friend bool operator==(const TextEdit &, const TextEdit &) = default;
};

// The lines of a UTF-8 text as scripts divide into lines (Script.h), each
// from where the client counts it: the first one from the start of the text,
// a byte-order mark included.
class LineMap {
public:
  LineMap(std::string_view text, PositionEncoding encoding);

  std::size_t LineCount() const { return lines_.size(); }
  // The text of `line` without its break; "" past the last line.
  std::string_view Line(std::size_t line) const;
  // Where `line` starts in the text; its end past the last line.
  std::size_t LineStart(std::size_t line) const;

  // The byte of the text at `position`, kept inside the text and its line.
  std::size_t Offset(const Position &position) const;
  // The position of byte `byte` of the text of `line`.
  Position At(std::size_t line, std::size_t byte) const;
  // The range of bytes [begin, end) of the text of `line`.
  Range Span(std::size_t line, std::size_t begin, std::size_t end) const;

private:
  std::string_view text_;
  PositionEncoding encoding_;
  std::vector<std::string_view> lines_;
};

// Replaces the `range` of `text` with `replacement`.
void ApplyEdit(std::string &text, const Range &range,
               std::string_view replacement, PositionEncoding encoding);

} // namespace directive_host::lsp
