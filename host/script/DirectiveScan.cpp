#include "script/DirectiveScan.h"

namespace directive_host {

DirectiveReading ReadDirective(const KeywordHandler &handler,
                               std::string_view directive, ResultBuffer &out) {
  DirectiveReading reading{KindOf(handler), Unread::kNo, {}};
  if (!PluginCanRead(directive)) {
    reading.unread = Unread::kHoldsNul;
    return reading;
  }
  const std::string text(directive);
  reading.properties = CallParse(handler, text, out);
  if (MayNotHaveFit(text, reading.properties)) {
    reading.unread = Unread::kMayNotHaveFit;
  }
  return reading;
}

std::string DirectiveReading::Reason(std::size_t lineLength) const {
  switch (unread) {
  case Unread::kHoldsNul:
    return "the line holds a NUL byte";
  case Unread::kMayNotHaveFit:
    return CapacityReason("parse result", lineLength);
  case Unread::kNo:
    break;
  }
  return {};
}

std::optional<LabelUse> DirectiveReading::Label() const {
  if (unread != Unread::kNo) {
    return std::nullopt;
  }
  return LabelUseOf(kind, properties);
}

bool BreaksLine(std::string_view text) {
  return text.find_first_of("\r\n") != std::string_view::npos;
}

} // namespace directive_host
