// Checks of the labels and gotos of a script: that every directive can be
// read, that every goto has a label to go to, and that no label is defined
// twice or empty; and, as a note, which labels nothing goes to.
#pragma once

#include "plugins/Registry.h"

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace directive_host {

// Where a finding lies: the directive's text on its line, from its keyword
// to the end of the line (indentation and line break not included).
struct Place {
  std::size_t line = 0;   // counted from 1
  std::size_t column = 0; // byte of the line where the keyword starts, from 1
  std::size_t length = 0; // bytes of the directive
};

// A fault, or a note on what may be meant so, such as a label that nothing
// goes to: a note alone does not fail lint.
enum class Severity { kFault, kNote };

struct Finding {
  Place place;
  std::string_view check; // the check that found it: a kCheck* name
  std::string message;
  // For an undefined label, the defined one the message asks "did you mean"
  // about, so that an editor can offer to put it in; else empty.
  std::string suggestion = {};
  Severity severity = Severity::kFault;
};

// The names of lint's checks, as findings and their readers (an editor, say)
// name them.
inline constexpr std::string_view kCheckUnreadable = "unreadable-directive";
inline constexpr std::string_view kCheckUndefined = "undefined-label";
inline constexpr std::string_view kCheckDuplicate = "duplicate-label";
inline constexpr std::string_view kCheckEmpty = "empty-label";
inline constexpr std::string_view kCheckUnreached = "unreached-label";

// Lines (counted from 1) whose labels lint is to leave alone, neither
// defining nor looking them up: a host that converted the script could not
// convert those labels faithfully. Empty for none.
using LabelsLeftOut = std::function<bool(std::size_t line)>;

// What the checks find in `text`: the faults and notes of the directives in
// line order, then the notes on labels nothing goes to, in line order. The
// script is read as
// format reads it (Script.h), and only the property text that the parse
// callbacks write for its directives is used:
//  - a #LABEL or #GOTO whose parse gives no label, an #IF whose parse lacks
//    the first argument, the operator, the second argument or the action,
//    and a line whose parse result may not have fit;
//  - a goto (the label of a #GOTO, the action value of an #IF whose action
//    is goto in any case) to a label that no #LABEL defines; labels compare
//    byte for byte, and the defined label nearest the undefined one
//    (NearestLabel.h) is pointed at;
//  - a label defined a second time;
//  - an empty label;
//  - as a note, a label that no goto names, when a goto keyword is
//    registered.
// A check runs only for the keywords that are registered; gotos are checked
// against definitions only when #LABEL is, since without it nothing defines
// a label.
std::vector<Finding> LintText(std::string_view text, const Registry &registry,
                              const LabelsLeftOut &leftOut = {});

// What LintText finds, handed to `report` in its order as it is found, so
// that the findings need not be held. Labels are looked up in a hash table
// (LabelTable.h): the cost grows with the script, not with labels times
// gotos.
void LintScript(std::string_view text, const Registry &registry,
                const std::function<void(const Finding &)> &report,
                const LabelsLeftOut &leftOut = {});

} // namespace directive_host
