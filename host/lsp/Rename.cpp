#include "lsp/Rename.h"

#include "io/Wording.h"
#include "lsp/Navigation.h"
#include "platform/TextEncoding.h"

#include <algorithm>

namespace directive_host::lsp {

namespace {

// Why `name` can be no label whatever the directive, or "".
std::string NameRefusal(const std::string &name) {
  if (name.empty()) {
    return "a label cannot be empty";
  }
  if (name.find('"') != std::string::npos) {
    return "a label with a double quote in it would not read back as written";
  }
  if (std::any_of(name.begin(), name.end(), [](char c) {
        return static_cast<unsigned char>(c) < 0x20 || c == 0x7F;
      })) {
    return "a label cannot hold a line break or another control character";
  }
  return {};
}

std::string LineText(std::size_t line) {
  return "line " + std::to_string(line);
}

std::string CodePage() {
  return "code page " + std::to_string(platform::NarrowCodePage());
}

} // namespace

std::optional<RenameTarget> PrepareRename(const Analysis &analysis,
                                          const Position &position) {
  const LabelMention *mention = MentionAt(analysis, position);
  if (mention == nullptr || !mention->representable) {
    return std::nullopt;
  }
  return RenameTarget{LabelRange(analysis, *mention),
                      Analysis::Utf8(mention->use.label)};
}

Renaming Rename(const Analysis &analysis, const Position &position,
                const std::string &name) {
  const LabelMention *at = MentionAt(analysis, position);
  if (at == nullptr) {
    return {{}, "there is no label here to rename"};
  }
  if (!at->representable) {
    return {{},
            "label " + Quoted(analysis.ClientLabel(*at)) +
                " is not representable in " + CodePage() +
                ", so the plug-in cannot be given it"};
  }
  if (std::string refusal = NameRefusal(name); !refusal.empty()) {
    return {{}, refusal};
  }
  bool exact = true;
  const std::string label = platform::NarrowFromUtf8(name, exact);
  if (!exact) {
    return {{}, Quoted(name) + " is not representable in " + CodePage()};
  }
  Renaming renaming;
  if (label == at->use.label) {
    return renaming;
  }
  for (const LabelMention &mention : analysis.Mentions()) {
    if (mention.use.label == label && mention.representable &&
        mention.use.role == LabelRole::kDefinition) {
      return {{},
              "label " + Quoted(name) + " is already defined at " +
                  LineText(mention.line)};
    }
  }
  for (const LabelMention &mention : analysis.Mentions()) {
    if (mention.use.label != at->use.label || !mention.representable) {
      continue;
    }
    if (!analysis.Exact(ProtocolLine(mention.line))) {
      return {{},
              "the directive at " + LineText(mention.line) +
                  " has a character that is not representable in " +
                  CodePage() + ", so it is not rewritten"};
    }
    const std::optional<LineChange> change = Relabel(
        mention, analysis.PluginLine(ProtocolLine(mention.line)), label);
    if (!change) {
      return {{},
              "the directive at " + LineText(mention.line) +
                  " would not read " + Quoted(name) + " back"};
    }
    renaming.edits.push_back({analysis.PluginSpan(ProtocolLine(mention.line),
                                                  change->begin, change->end),
                              Analysis::Utf8(change->text)});
  }
  return renaming;
}

} // namespace directive_host::lsp
