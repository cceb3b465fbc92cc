#include "lint/Lint.h"

#include "io/Wording.h"
#include "lint/LabelTable.h"
#include "lint/NearestLabel.h"
#include "script/DirectiveScan.h"

#include <algorithm>
#include <functional>
#include <optional>
#include <utility>

namespace directive_host {

namespace {

using Report = std::function<void(const Finding &)>;

// The first #LABEL of each label: its line.
using Definitions = LabelTable;

// What the second pass over a script needs: the definitions the first pass
// found, and where the findings go.
struct Reading {
  Definitions definitions;
  bool checksGotos = false;             // only when #LABEL is registered
  std::optional<NearestLabels> nearest; // made when a goto first misses
  LabelsLeftOut leftOut;
  std::vector<Place> firstDefinitions; // in line order
  Report report;
  ResultBuffer out;
};

void ReportUndefined(Reading &reading, const std::string &label,
                     const Place &place) {
  std::string message = "label " + Quoted(label) + " is not defined";
  if (!reading.nearest) {
    reading.nearest.emplace(reading.definitions);
  }
  std::string suggestion;
  if (const std::optional<NearLabel> found = reading.nearest->Nearest(label)) {
    suggestion = found->label;
    message += "; did you mean " + Quoted(suggestion) + " (line " +
               std::to_string(found->line) + ")?";
  }
  reading.report({place, kCheckUndefined, message, suggestion});
}

// A label that a #LABEL defines or a goto names, at `place`.
void UseLabel(Reading &reading, const LabelUse &use, const Place &place) {
  const std::string &label = use.label;
  if (reading.leftOut && reading.leftOut(place.line)) {
    return;
  }
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
    } else if (defined != 0) {
      reading.firstDefinitions.push_back(place);
    }
  } else if (reading.checksGotos && defined == 0) {
    ReportUndefined(reading, label, place);
  } else {
    reading.definitions.MarkGoneTo(label);
  }
}

void ReadIf(Reading &reading, const std::string &keyword,
            const DirectiveReading &read, const Place &place) {
  const struct {
    const char *name;
    const char *part;
  } parts[] = {{DIRECTIVE_PROPERTY_ARGUMENT1, "first argument"},
               {DIRECTIVE_PROPERTY_OPERATOR, "operator"},
               {DIRECTIVE_PROPERTY_ARGUMENT2, "second argument"},
               {DIRECTIVE_PROPERTY_ACTION, "action"}};
  // The parse leaves out a property whose value is empty: a second argument
  // written as "" is there, empty, when the parse gives the action after
  // it, and missing only when it gives none.
  const bool hasAction =
      !PropertyValue(read.properties, DIRECTIVE_PROPERTY_ACTION)
           .value_or("")
           .empty();
  std::vector<std::string_view> missing;
  for (const auto &part : parts) {
    if (PropertyValue(read.properties, part.name).value_or("").empty() &&
        !(part.name == std::string_view(DIRECTIVE_PROPERTY_ARGUMENT2) &&
          hasAction)) {
      missing.emplace_back(part.part);
    }
  }
  if (!missing.empty()) {
    reading.report({place, kCheckUnreadable,
                    keyword + " lacks its " + Enumerate(missing)});
  }
  if (const std::optional<LabelUse> use = read.Label()) {
    UseLabel(reading, *use, place);
  }
}

void CheckDirective(Reading &reading, const ScriptDirective &at) {
  const DirectiveLine &found = at.found;
  const Place place{at.line, found.indent.size() + 1, found.directive.size()};
  if (KindOf(*found.handler) == DirectiveKind::kOther) {
    return;
  }
  const std::string &keyword = found.handler->keyword;
  const DirectiveReading read =
      ReadDirective(*found.handler, found.directive, reading.out);
  if (read.unread == Unread::kHoldsNul) {
    reading.report({place, kCheckUnreadable,
                    "cannot read this " + keyword + ": " +
                        read.Reason(at.text.text.size()) +
                        ", which a plug-in cannot be given"});
  } else if (read.unread == Unread::kMayNotHaveFit) {
    reading.report({place, kCheckUnreadable, read.Reason(at.text.text.size())});
  } else if (read.kind == DirectiveKind::kIf) {
    ReadIf(reading, keyword, read, place);
  } else if (const std::optional<LabelUse> use = read.Label()) {
    UseLabel(reading, *use, place);
  } else {
    reading.report({place, kCheckUnreadable,
                    "cannot read this " + keyword + ": its parse gives no " +
                        (read.properties.empty() ? "properties" : "label")});
  }
}

// The first pass: the line of each label's first definition.
Definitions DefinitionsOf(std::string_view text, const Registry &registry,
                          const LabelsLeftOut &leftOut) {
  Definitions definitions;
  ResultBuffer out;
  ForEachDirective(text, registry, [&](const ScriptDirective &at) {
    if (KindOf(*at.found.handler) != DirectiveKind::kLabel ||
        (leftOut && leftOut(at.line))) {
      return;
    }
    const std::optional<LabelUse> use =
        ReadDirective(*at.found.handler, at.found.directive, out).Label();
    if (use && !use->label.empty()) {
      definitions.Define(use->label, at.line);
    }
  });
  return definitions;
}

// The notes on the labels that the second pass found no goto to, in line
// order. Without a goto keyword every label would be one, so none is.
void ReportUnreached(const Reading &reading, const Registry &registry) {
  if (registry.Find(DIRECTIVE_KEYWORD_GOTO) == nullptr &&
      registry.Find(DIRECTIVE_KEYWORD_IF) == nullptr) {
    return;
  }
  std::vector<std::pair<std::size_t, std::string_view>> unreached;
  reading.definitions.ForEach(
      [&](std::string_view label, std::size_t line) {
        unreached.emplace_back(line, label);
      },
      true);
  std::sort(unreached.begin(), unreached.end());
  auto place = reading.firstDefinitions.begin();
  for (const auto &[line, label] : unreached) {
    place = std::lower_bound(
        place, reading.firstDefinitions.end(), line,
        [](const Place &p, std::size_t l) { return p.line < l; });
    const bool known =
        place != reading.firstDefinitions.end() && place->line == line;
    reading.report({known ? *place : Place{line, 1, 0},
                    kCheckUnreached,
                    "nothing goes to label " + Quoted(std::string(label)),
                    {},
                    Severity::kNote});
  }
}

} // namespace

void LintScript(std::string_view text, const Registry &registry,
                const std::function<void(const Finding &)> &report,
                const LabelsLeftOut &leftOut) {
  // Two passes, so that the findings come in line order as they are made
  // and only the definitions are held: a goto may go to a later label.
  // Which labels nothing goes to is known only at the end of the second.
  Reading reading;
  reading.checksGotos = registry.Find(DIRECTIVE_KEYWORD_LABEL) != nullptr;
  if (reading.checksGotos) {
    reading.definitions = DefinitionsOf(text, registry, leftOut);
  }
  reading.leftOut = leftOut;
  reading.report = report;
  ForEachDirective(text, registry, [&](const ScriptDirective &at) {
    CheckDirective(reading, at);
  });
  ReportUnreached(reading, registry);
}

std::vector<Finding> LintText(std::string_view text, const Registry &registry,
                              const LabelsLeftOut &leftOut) {
  std::vector<Finding> findings;
  LintScript(
      text, registry,
      [&](const Finding &finding) { findings.push_back(finding); }, leftOut);
  return findings;
}

} // namespace directive_host
