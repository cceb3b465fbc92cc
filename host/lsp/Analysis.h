// One version of a document as the features see it: its UTF-8 text and
// lines as the client counts them, the same text as the plug-in reads it,
// and what lint, the formatter and the label index make of that.
#pragma once

#include "format/Formatter.h"
#include "lint/Lint.h"
#include "lsp/LabelMentions.h"
#include "lsp/TextPositions.h"
#include "plugins/Registry.h"
#include "script/Script.h"

#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <unordered_set>
#include <vector>

namespace directive_host::lsp {

class Analysis {
public:
  Analysis(std::string text, const Registry &registry,
           PositionEncoding encoding);
  Analysis(const Analysis &) = delete;
  Analysis &operator=(const Analysis &) = delete;

  const std::string &Text() const { return text_; }
  const LineMap &Lines() const { return lines_; }
  const Registry &Keywords() const { return registry_; }

  // The text in the plug-in's encoding, line for line the same as Lines()
  // (its first line starts after a byte-order mark).
  const Script &PluginScript() const { return pluginScript_; }
  std::string_view PluginLine(std::size_t line) const;
  // Whether every character of `line` has its like in the plug-in's
  // encoding; a line that has not must not be rewritten from what the
  // plug-in gives back.
  bool Exact(std::size_t line) const;

  // Lint's findings on the text, in line order.
  const std::vector<Finding> &Findings() const { return findings_; }
  // The label mentions, in line order; made when first asked for. A label
  // with a character that the plug-in's encoding lacks is unrepresentable:
  // the plug-in was given '?' for it, so it is left out of lint's checks
  // and stands for no label.
  const std::vector<LabelMention> &Mentions() const;
  bool HasUnrepresentable() const { return !unrepresentable_.empty(); }
  // The label of `mention` as the client wrote it, in UTF-8 (for an
  // unrepresentable one whose label is not verbatim, its directive).
  std::string ClientLabel(const LabelMention &mention) const;
  // The lines of the formatted text; made when first asked for.
  const std::vector<Line> &FormattedLines() const;

  // Bytes [begin, end) of plug-in line `line` as the client names them.
  Range PluginSpan(std::size_t line, std::size_t begin, std::size_t end) const;
  // The byte of plug-in line `position.line` at `position`.
  std::size_t PluginByte(const Position &position) const;
  // Plug-in text back in UTF-8.
  static std::string Utf8(std::string_view pluginText);

  // For a line that did not convert exactly, the UTF-8 byte that each
  // plug-in byte of it stands for, and its length at the end (the two
  // encodings' lengths of the characters that became '?' differ); and the
  // plug-in bytes that are such a '?', in order.
  struct LossyLine {
    std::vector<std::size_t> offsets;
    std::vector<std::size_t> standIns;
  };

private:
  void MarkUnrepresentable();
  // Bytes before plug-in line `line` starts in its client line: the
  // byte-order mark of the first.
  std::size_t Lead(std::size_t line) const;
  // The UTF-8 byte of line `line` (after its lead) for plug-in byte `byte`,
  // and back.
  std::size_t Utf8Byte(std::size_t line, std::size_t byte) const;
  std::size_t PluginByteOf(std::size_t line, std::size_t utf8Byte) const;

  std::string text_;
  const Registry &registry_;
  LineMap lines_;
  std::string pluginText_;
  Script pluginScript_;
  std::vector<bool> exact_;
  std::unordered_map<std::size_t, LossyLine> lossy_;
  // The lines of unrepresentable labels.
  std::unordered_set<std::size_t> unrepresentable_;
  std::vector<Finding> findings_;
  mutable std::optional<std::vector<LabelMention>> mentions_;
  // The formatted text and its lines, which point into it.
  mutable std::unique_ptr<std::string> formatted_;
  mutable std::vector<Line> formattedLines_;
};

} // namespace directive_host::lsp
