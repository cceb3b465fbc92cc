#include "Lint.h"

#include "Directive.h"
#include "LabelTable.h"
#include "Labels.h"
#include "Script.h"
#include "Wording.h"

#include <functional>
#include <optional>
#include <unordered_map>

namespace directive_host {

namespace {

using Report = std::function<void(const Finding &)>;

// The first #LABEL of each label: its line.
using Definitions = LabelTable;

// A label spelled as a defined one but for ASCII case: the first such
// definition, by the label in upper case. Made only when a goto misses.
struct NearMiss {
  std::string_view label;
  std::size_t line = 0;
};
using NearMisses = std::unordered_map<std::string, NearMiss>;

std::string AsciiUpper(std::string_view text) {
  std::string upper(text);
  for (char &c : upper) {
    if (c >= 'a' && c <= 'z') {
      c = static_cast<char>(c - 'a' + 'A');
    }
  }
  return upper;
}

NearMisses NearMissesOf(const Definitions &definitions) {
  NearMisses misses;
  definitions.ForEach([&](std::string_view label, std::size_t line) {
    NearMiss &miss = misses[AsciiUpper(label)];
    if (miss.line == 0 || line < miss.line) {
      miss = {label, line};
    }
  });
  return misses;
}

// What the second pass over a script needs: the definitions the first pass
// found, and where the findings go.
struct Reading {
  Definitions definitions;
  bool checksGotos = false; // only when #LABEL is registered
  std::optional<NearMisses> nearMisses;
  Report report;
  ResultBuffer out;
};

std::string Quoted(const std::string &label) { return "'" + label + "'"; }

void ReportUndefined(Reading &reading, const std::string &label,
                     const Place &place) {
  std::string message = "label " + Quoted(label) + " is not defined";
  if (!reading.nearMisses) {
    reading.nearMisses = NearMissesOf(reading.definitions);
  }
  const auto near = reading.nearMisses->find(AsciiUpper(label));
  std::string suggestion;
  if (near != reading.nearMisses->end()) {
    suggestion = near->second.label;
    message += "; did you mean " + Quoted(suggestion) + " (line " +
               std::to_string(near->second.line) + ")?";
  }
  reading.report({place, kCheckUndefined, message, suggestion});
}

// A label that a #LABEL defines or a goto names, at `place`.
void UseLabel(Reading &reading, const LabelUse &use, const Place &place) {
  const std::string &label = use.label;
  if (label.empty()) {
    reading.report({place, kCheckEmpty, "the label is empty"});
    return;
  }
  const std::size_t defined = reading.definitions.Find(label);
  if (use.role == LabelRole::kDefinition) {
    if (defined != 0 && defined != place.line) {
      reading.report({place, kCheckDuplicate,
                      "label " + Quoted(label) +
                          " is already defined at line " +
                          std::to_string(defined)});
    }
  } else if (reading.checksGotos && defined == 0) {
    ReportUndefined(reading, label, place);
  }
}

void ReadLabelOrGoto(Reading &reading, DirectiveKind kind,
                     const std::string &keyword, const std::string &properties,
                     const Place &place) {
  const std::optional<LabelUse> use = LabelUseOf(kind, properties);
  if (!use) {
    reading.report({place, kCheckUnreadable,
                    "cannot read this " + keyword + ": its parse gives no " +
                        (properties.empty() ? "properties" : "label")});
    return;
  }
  UseLabel(reading, *use, place);
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
  std::vector<std::string_view> missing;
  for (const auto &part : parts) {
    if (PropertyValue(properties, part.name).value_or("").empty()) {
      missing.emplace_back(part.part);
    }
  }
  if (!missing.empty()) {
    reading.report({place, kCheckUnreadable,
                    keyword + " lacks its " + Enumerate(missing)});
  }
  if (const std::optional<LabelUse> use =
          LabelUseOf(DirectiveKind::kIf, properties)) {
    UseLabel(reading, *use, place);
  }
}

// The property text of `directive`, or nullopt when it holds a NUL byte,
// which a plug-in cannot be given.
std::optional<std::string> ParseOf(const KeywordHandler &handler,
                                   const std::string &directive,
                                   ResultBuffer &out) {
  if (directive.find('\0') != std::string::npos) {
    return std::nullopt;
  }
  return CallParse(handler, directive, out);
}

void ReadDirective(Reading &reading, const DirectiveLine &found,
                   std::size_t lineLength, std::size_t line) {
  const Place place{line, found.indent.size() + 1, found.directive.size()};
  const DirectiveKind kind = KindOf(*found.handler);
  if (kind == DirectiveKind::kOther) {
    return;
  }
  const std::string &keyword = found.handler->keyword;
  const std::string directive(found.directive);
  const std::optional<std::string> properties =
      ParseOf(*found.handler, directive, reading.out);
  if (!properties) {
    reading.report(
        {place, kCheckUnreadable,
         "cannot read this " + keyword +
             ": the line holds a NUL byte, which a plug-in cannot be given"});
  } else if (MayNotHaveFit(directive, *properties)) {
    reading.report(
        {place, kCheckUnreadable, CapacityReason("parse result", lineLength)});
  } else if (kind == DirectiveKind::kIf) {
    ReadIf(reading, keyword, *properties, place);
  } else {
    ReadLabelOrGoto(reading, kind, keyword, *properties, place);
  }
}

// Calls `visit` with each line of `text` that holds a directive of a
// registered keyword, and its number.
template <typename Visit>
void ForEachDirective(std::string_view text, const Registry &registry,
                      Visit visit) {
  LineReader reader(text.substr(LeadingBom(text).size()));
  Line line;
  for (std::size_t number = 1; reader.Next(line); ++number) {
    const DirectiveLine found = FindDirective(registry, line.text);
    if (found.handler != nullptr) {
      visit(found, line, number);
    }
  }
}

// The first pass: the line of each label's first definition.
Definitions DefinitionsOf(std::string_view text, const Registry &registry) {
  Definitions definitions;
  ResultBuffer out;
  ForEachDirective(
      text, registry,
      [&](const DirectiveLine &found, const Line &, std::size_t number) {
        if (KindOf(*found.handler) != DirectiveKind::kLabel) {
          return;
        }
        const std::string directive(found.directive);
        const std::optional<std::string> properties =
            ParseOf(*found.handler, directive, out);
        if (!properties || MayNotHaveFit(directive, *properties)) {
          return;
        }
        const std::optional<LabelUse> use =
            LabelUseOf(DirectiveKind::kLabel, *properties);
        if (use && !use->label.empty()) {
          definitions.Define(use->label, number);
        }
      });
  return definitions;
}

} // namespace

void LintScript(std::string_view text, const Registry &registry,
                const std::function<void(const Finding &)> &report) {
  // Two passes, so that the findings come in line order as they are made
  // and only the definitions are held: a goto may go to a later label.
  Reading reading;
  reading.checksGotos = registry.Find(DIRECTIVE_KEYWORD_LABEL) != nullptr;
  if (reading.checksGotos) {
    reading.definitions = DefinitionsOf(text, registry);
  }
  reading.report = report;
  ForEachDirective(
      text, registry,
      [&](const DirectiveLine &found, const Line &line, std::size_t number) {
        ReadDirective(reading, found, line.text.size(), number);
      });
}

std::vector<Finding> LintText(std::string_view text, const Registry &registry) {
  std::vector<Finding> findings;
  LintScript(text, registry,
             [&](const Finding &finding) { findings.push_back(finding); });
  return findings;
}

} // namespace directive_host
