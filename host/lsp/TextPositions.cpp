#include "lsp/TextPositions.h"

#include "script/Script.h"

#include <algorithm>

namespace directive_host::lsp {

namespace {

// UTF-16 code units of the character that starts with `lead`: two for the
// four-byte sequences (beyond the BMP), none for a continuation byte.
std::size_t Utf16Units(unsigned char lead) {
  if ((lead & 0xC0) == 0x80) {
    return 0;
  }
  return lead >= 0xF0 ? 2 : 1;
}

std::size_t CharacterUnits(unsigned char lead, PositionEncoding encoding) {
  return encoding == PositionEncoding::kUtf8 ? 1 : Utf16Units(lead);
}

} // namespace

std::string_view EncodingName(PositionEncoding encoding) {
  return encoding == PositionEncoding::kUtf8 ? "utf-8" : "utf-16";
}

std::size_t UnitCount(std::string_view text, PositionEncoding encoding) {
  if (encoding == PositionEncoding::kUtf8) {
    return text.size();
  }
  std::size_t units = 0;
  for (const char c : text) {
    units += Utf16Units(static_cast<unsigned char>(c));
  }
  return units;
}

std::size_t ByteOffset(std::string_view line, std::size_t units,
                       PositionEncoding encoding) {
  std::size_t counted = 0;
  std::size_t byte = 0;
  for (; byte < line.size(); ++byte) {
    const std::size_t width =
        CharacterUnits(static_cast<unsigned char>(line[byte]), encoding);
    if (width > 0 && counted + width > units) {
      break;
    }
    counted += width;
  }
  if (encoding == PositionEncoding::kUtf8) {
    // Back to the start of the character `byte` lies in.
    while (byte > 0 && byte < line.size() &&
           (static_cast<unsigned char>(line[byte]) & 0xC0) == 0x80) {
      --byte;
    }
  }
  return byte;
}

LineMap::LineMap(std::string_view text, PositionEncoding encoding)
    : text_(text), encoding_(encoding) {
  const Script script = SplitScript(text);
  lines_.reserve(script.lines.size() + 1);
  for (const directive_host::Line &line : script.lines) {
    lines_.push_back(line.text);
  }
  if (!script.bom.empty()) {
    if (lines_.empty()) {
      lines_.push_back(script.bom);
    } else {
      lines_[0] = text.substr(0, script.bom.size() + lines_[0].size());
    }
  }
}

std::string_view LineMap::Line(std::size_t line) const {
  return line < lines_.size() ? lines_[line] : std::string_view();
}

std::size_t LineMap::LineStart(std::size_t line) const {
  return line < lines_.size()
             ? static_cast<std::size_t>(lines_[line].data() - text_.data())
             : text_.size();
}

std::size_t LineMap::Offset(const Position &position) const {
  return LineStart(position.line) +
         ByteOffset(Line(position.line), position.character, encoding_);
}

Position LineMap::At(std::size_t line, std::size_t byte) const {
  const std::string_view text = Line(line);
  return {line,
          UnitCount(text.substr(0, std::min(byte, text.size())), encoding_)};
}

Range LineMap::Span(std::size_t line, std::size_t begin,
                    std::size_t end) const {
  return {At(line, begin), At(line, end)};
}

void ApplyEdit(std::string &text, const Range &range,
               std::string_view replacement, PositionEncoding encoding) {
  // The lines are walked only as far as the range reaches, so that each of
  // a burst of small changes to a long script costs its own lines, not the
  // whole text. Lines as LineMap has them: the first from the very start.
  const std::string_view whole = text;
  const std::size_t bom = LeadingBom(whole).size();
  const Position last = std::max(range.start, range.end);
  std::size_t offsets[2] = {whole.size(), whole.size()};
  const Position *wanted[2] = {&range.start, &range.end};
  LineReader reader(whole.substr(bom));
  directive_host::Line line;
  std::size_t number = 0;
  bool read = reader.Next(line);
  if (!read && bom > 0) {
    line = {whole.substr(bom), {}};
    read = true;
  }
  for (; read && number <= last.line; read = reader.Next(line), ++number) {
    const std::size_t start =
        number == 0 ? 0
                    : static_cast<std::size_t>(line.text.data() - whole.data());
    const std::string_view content = whole.substr(
        start, static_cast<std::size_t>(line.text.data() - whole.data()) +
                   line.text.size() - start);
    for (int i = 0; i < 2; ++i) {
      if (wanted[i]->line == number) {
        offsets[i] =
            start + ByteOffset(content, wanted[i]->character, encoding);
      }
    }
  }
  const std::size_t begin = offsets[0];
  const std::size_t end = std::max(begin, offsets[1]);
  text.replace(begin, end - begin, replacement);
}

} // namespace directive_host::lsp
