// Which directives mark a place and which name one: a #LABEL defines a label,
// a #GOTO names one, and so does an #IF whose action is goto. lint and the
// language server read labels through this unit, so that they agree on every
// directive.
#pragma once

#include "plugins/Registry.h"

#include <optional>
#include <string>
#include <string_view>

namespace directive_host {

enum class DirectiveKind { kOther, kLabel, kGoto, kIf };

// The kind of the directives of `handler`'s keyword.
DirectiveKind KindOf(const KeywordHandler &handler);

enum class LabelRole { kDefinition, kGoto };

// What a directive says of a label: how it uses it, the label (possibly
// empty), and the property the label is the value of.
struct LabelUse {
  LabelRole role = LabelRole::kGoto;
  std::string label;
  std::string_view property;
};

// The label use of a directive of `kind` whose parse gave `properties`, or
// nullopt when it uses none: another kind, an #IF whose action is not goto,
// or a #LABEL or #GOTO whose parse gave no label property.
std::optional<LabelUse> LabelUseOf(DirectiveKind kind,
                                   std::string_view properties);

} // namespace directive_host
