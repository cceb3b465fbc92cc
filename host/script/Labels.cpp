#include "script/Labels.h"

#include "script/Directive.h"

namespace directive_host {

DirectiveKind KindOf(const KeywordHandler &handler) {
  if (SameIgnoringCase(handler.keyword, DIRECTIVE_KEYWORD_LABEL)) {
    return DirectiveKind::kLabel;
  }
  if (SameIgnoringCase(handler.keyword, DIRECTIVE_KEYWORD_GOTO)) {
    return DirectiveKind::kGoto;
  }
  return SameIgnoringCase(handler.keyword, DIRECTIVE_KEYWORD_IF)
             ? DirectiveKind::kIf
             : DirectiveKind::kOther;
}

std::optional<LabelUse> LabelUseOf(DirectiveKind kind,
                                   std::string_view properties) {
  if (kind == DirectiveKind::kLabel || kind == DirectiveKind::kGoto) {
    std::optional<std::string> label =
        PropertyValue(properties, DIRECTIVE_PROPERTY_LABEL);
    if (!label) {
      return std::nullopt;
    }
    return LabelUse{kind == DirectiveKind::kLabel ? LabelRole::kDefinition
                                                  : LabelRole::kGoto,
                    std::move(*label), DIRECTIVE_PROPERTY_LABEL};
  }
  if (kind == DirectiveKind::kIf &&
      SameIgnoringCase(
          PropertyValue(properties, DIRECTIVE_PROPERTY_ACTION).value_or(""),
          DIRECTIVE_ACTION_GOTO)) {
    return LabelUse{
        LabelRole::kGoto,
        PropertyValue(properties, DIRECTIVE_PROPERTY_ACTIONVALUE).value_or(""),
        DIRECTIVE_PROPERTY_ACTIONVALUE};
  }
  return std::nullopt;
}

} // namespace directive_host
