#include "lint/Lint.h"

#include "io/Wording.h"
#include "lint/LabelTable.h"
#include "script/DirectiveScan.h"

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
Definitions DefinitionsOf(std::string_view text, const Registry &registry) {
  Definitions definitions;
  ResultBuffer out;
  ForEachDirective(text, registry, [&](const ScriptDirective &at) {
    if (KindOf(*at.found.handler) != DirectiveKind::kLabel) {
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
  ForEachDirective(text, registry, [&](const ScriptDirective &at) {
    CheckDirective(reading, at);
  });
}

std::vector<Finding> LintText(std::string_view text, const Registry &registry) {
  std::vector<Finding> findings;
  LintScript(text, registry,
             [&](const Finding &finding) { findings.push_back(finding); });
  return findings;
}

} // namespace directive_host
