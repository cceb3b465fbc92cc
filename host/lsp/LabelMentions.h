// The labels that a script's directives define and name: a #LABEL marks a
// place, and a #GOTO, or an #IF whose action is goto, names one.
#pragma once

#include "plugins/Registry.h"
#include "script/Labels.h"

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace directive_host::lsp {

inline constexpr std::size_t kNowhere = static_cast<std::size_t>(-1);

// A label use in one line of a script. Offsets are bytes of the line.
struct LabelMention {
  LabelUse use;
  const KeywordHandler *handler = nullptr;
  std::size_t line = 0; // counted from 1, as the directive scan counts
  std::size_t directive = 0;
  std::size_t directiveLength = 0;
  // Where the label stands as written, or kNowhere when the directive does
  // not hold it verbatim.
  std::size_t label = kNowhere;
  // A #LABEL or #GOTO names nothing but its label, so any place in it stands
  // for the label; in an #IF only the label itself does.
  bool wholeDirective = false;
  // False when the host could not give the plug-in the label as written
  // (Analysis.h): what the plug-in read is not the label, so the mention
  // stands for no label at all.
  bool representable = true;
};

// The protocol's number, counted from 0, of the script line `line`.
inline std::size_t ProtocolLine(std::size_t line) { return line - 1; }

// The mentions of non-empty labels in the script `text`, in line order.
std::vector<LabelMention> FindLabelMentions(std::string_view text,
                                            const Registry &registry);

// A change of bytes [begin, end) of a line to `text`.
struct LineChange {
  std::size_t begin = 0;
  std::size_t end = 0;
  std::string text;
};

// The change that makes the directive of `mention`, whose line is `line`,
// name `label` instead: the new label put where the old one stands, or, when
// that would not parse to it, the directive the plug-in assembles from its
// properties with the new label. nullopt when neither parses to `label`.
std::optional<LineChange> Relabel(const LabelMention &mention,
                                  std::string_view line,
                                  const std::string &label);

} // namespace directive_host::lsp
