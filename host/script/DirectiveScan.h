// The directive scan: how every reader of scripts (format, lint, the
// language server) meets the directives in them. It holds the line loop and
// the rules that decide whether the plug-in can be asked about a directive
// and whether its answer can be taken, and it parses each directive once.
//
// Lines are counted from 1 here and by every reader of scripts (lint's
// findings, format's notes, the language server's label mentions); the
// language server turns them into the protocol's lines, counted from 0, where
// it speaks to the client.
#pragma once

#include "plugins/Registry.h"
#include "script/Directive.h"
#include "script/Labels.h"
#include "script/Script.h"

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace directive_host {

// A line of a script whose first non-blank text is a registered keyword.
struct ScriptDirective {
  std::size_t line = 0; // counted from 1
  Line text;            // the whole line, and the break that ends it
  DirectiveLine found;  // its indentation, the directive and its handler
};

// Calls `visit(const ScriptDirective &)` with each line of `text` that holds
// a directive of a registered keyword, in order. Lines are read as
// LineReader reads them, the first after a UTF-8 byte-order mark.
template <typename Visit>
void ForEachDirective(std::string_view text, const Registry &registry,
                      Visit &&visit) {
  LineReader reader(text.substr(LeadingBom(text).size()));
  ScriptDirective directive;
  for (directive.line = 1; reader.Next(directive.text); ++directive.line) {
    directive.found = FindDirective(registry, directive.text.text);
    if (directive.found.handler != nullptr) {
      visit(static_cast<const ScriptDirective &>(directive));
    }
  }
}

// Why the plug-in's properties of a directive are not had.
enum class Unread {
  kNo,
  kHoldsNul,      // the plug-in would see only the text before the NUL
  kMayNotHaveFit, // the parse gave nothing, and its result may not have fit
};

// What the plug-in reads in one directive.
struct DirectiveReading {
  DirectiveKind kind = DirectiveKind::kOther;
  Unread unread = Unread::kNo;
  std::string properties; // its parse; "" when unread

  // Why it is unread, for a line of `lineLength` bytes (its break not
  // counted): "the line holds a NUL byte", or what CapacityReason says.
  std::string Reason(std::size_t lineLength) const;
  // The label it defines or goes to (LabelUseOf), when it was read.
  std::optional<LabelUse> Label() const;
};

// Parses `directive` (from its keyword to the end of its line) with
// `handler`, once, unless a NUL in it would keep the plug-in from reading it
// whole.
DirectiveReading ReadDirective(const KeywordHandler &handler,
                               std::string_view directive, ResultBuffer &out);

// Whether `text` would end a line it is put in: it holds a CR or an LF.
bool BreaksLine(std::string_view text);

} // namespace directive_host
