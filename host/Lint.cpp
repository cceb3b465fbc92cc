#include "Lint.h"

#include "Directive.h"
#include "Script.h"

#include <algorithm>
#include <optional>

namespace directive_host {

namespace {

enum class Kind { kOther, kLabel, kGoto, kIf };

Kind KindOf(const KeywordHandler &handler) {
  if (SameIgnoringCase(handler.keyword, DIRECTIVE_KEYWORD_LABEL)) {
    return Kind::kLabel;
  }
  if (SameIgnoringCase(handler.keyword, DIRECTIVE_KEYWORD_GOTO)) {
    return Kind::kGoto;
  }
  return SameIgnoringCase(handler.keyword, DIRECTIVE_KEYWORD_IF) ? Kind::kIf
                                                                 : Kind::kOther;
}

struct LabelUse {
  std::string label;
  Place place;
};

// What the first pass over a script gathers.
struct Reading {
  std::vector<Finding> findings;
  std::vector<LabelUse> definitions; // in line order, each label once
  std::vector<LabelUse> gotos;
};

// "a, b and c"
std::string Enumerate(const std::vector<std::string> &items) {
  std::string text;
  for (std::size_t i = 0; i < items.size(); ++i) {
    if (i > 0) {
      text += i + 1 == items.size() ? " and " : ", ";
    }
    text += items[i];
  }
  return text;
}

std::string Quoted(const std::string &label) { return "'" + label + "'"; }

const LabelUse *FindLabel(const std::vector<LabelUse> &definitions,
                          const std::string &label, bool ignoreCase) {
  const auto match = std::find_if(
      definitions.begin(), definitions.end(), [&](const LabelUse &d) {
        return ignoreCase ? SameIgnoringCase(d.label, label) : d.label == label;
      });
  return match == definitions.end() ? nullptr : &*match;
}

// A label that a #LABEL defines or a goto names, at `place`.
void UseLabel(Reading &reading, Kind kind, const std::string &label,
              const Place &place) {
  if (label.empty()) {
    reading.findings.push_back({place, kCheckEmpty, "the label is empty"});
  } else if (kind != Kind::kLabel) {
    reading.gotos.push_back({label, place});
  } else if (const LabelUse *first =
                 FindLabel(reading.definitions, label, false)) {
    reading.findings.push_back({place, kCheckDuplicate,
                                "label " + Quoted(label) +
                                    " is already defined at line " +
                                    std::to_string(first->place.line)});
  } else {
    reading.definitions.push_back({label, place});
  }
}

void ReadLabelOrGoto(Reading &reading, Kind kind, const std::string &keyword,
                     const std::string &properties, const Place &place) {
  const std::optional<std::string> label =
      PropertyValue(properties, DIRECTIVE_PROPERTY_LABEL);
  if (!label) {
    reading.findings.push_back(
        {place, kCheckUnreadable,
         "cannot read this " + keyword + ": its parse gives no " +
             (properties.empty() ? "properties" : "label")});
    return;
  }
  UseLabel(reading, kind, *label, place);
}

void ReadIf(Reading &reading, const std::string &keyword,
            const std::string &properties, const Place &place) {
  const struct {
    const char *name;
    const char *part;
  } parts[] = {{DIRECTIVE_PROPERTY_ARGUMENT1, "first argument"},
               {DIRECTIVE_PROPERTY_OPERATOR, "operator"},
               {DIRECTIVE_PROPERTY_ARGUMENT2, "second argument"},
               {DIRECTIVE_PROPERTY_ACTION, "action"}};
  std::vector<std::string> missing;
  for (const auto &part : parts) {
    if (PropertyValue(properties, part.name).value_or("").empty()) {
      missing.emplace_back(part.part);
    }
  }
  if (!missing.empty()) {
    reading.findings.push_back({place, kCheckUnreadable,
                                keyword + " lacks its " + Enumerate(missing)});
  }
  if (SameIgnoringCase(
          PropertyValue(properties, DIRECTIVE_PROPERTY_ACTION).value_or(""),
          DIRECTIVE_ACTION_GOTO)) {
    UseLabel(
        reading, Kind::kGoto,
        PropertyValue(properties, DIRECTIVE_PROPERTY_ACTIONVALUE).value_or(""),
        place);
  }
}

void ReadDirective(Reading &reading, const DirectiveLine &found,
                   std::size_t lineLength, std::size_t line) {
  const Place place{line, found.indent.size() + 1, found.directive.size()};
  const Kind kind = KindOf(*found.handler);
  if (kind == Kind::kOther) {
    return;
  }
  const std::string &keyword = found.handler->keyword;
  const std::string directive(found.directive);
  if (directive.find('\0') != std::string::npos) {
    reading.findings.push_back(
        {place, kCheckUnreadable,
         "cannot read this " + keyword +
             ": the line holds a NUL byte, which a plug-in cannot be given"});
    return;
  }
  const std::string properties = CallParse(*found.handler, directive);
  if (MayNotHaveFit(directive, properties)) {
    reading.findings.push_back(
        {place, kCheckUnreadable, CapacityReason("parse result", lineLength)});
  } else if (kind == Kind::kIf) {
    ReadIf(reading, keyword, properties, place);
  } else {
    ReadLabelOrGoto(reading, kind, keyword, properties, place);
  }
}

} // namespace

std::vector<Finding> LintText(std::string_view text, const Registry &registry) {
  Reading reading;
  const Script script = SplitScript(text);
  for (std::size_t i = 0; i < script.lines.size(); ++i) {
    const DirectiveLine found = FindDirective(registry, script.lines[i].text);
    if (found.handler != nullptr) {
      ReadDirective(reading, found, script.lines[i].text.size(), i + 1);
    }
  }
  if (registry.Find(DIRECTIVE_KEYWORD_LABEL) != nullptr) {
    for (const LabelUse &use : reading.gotos) {
      if (FindLabel(reading.definitions, use.label, false) != nullptr) {
        continue;
      }
      std::string message = "label " + Quoted(use.label) + " is not defined";
      std::string suggestion;
      if (const LabelUse *near =
              FindLabel(reading.definitions, use.label, true)) {
        message += "; did you mean " + Quoted(near->label) + " (line " +
                   std::to_string(near->place.line) + ")?";
        suggestion = near->label;
      }
      reading.findings.push_back(
          {use.place, kCheckUndefined, message, suggestion});
    }
  }
  std::stable_sort(reading.findings.begin(), reading.findings.end(),
                   [](const Finding &a, const Finding &b) {
                     return a.place.line < b.place.line;
                   });
  return reading.findings;
}

} // namespace directive_host
