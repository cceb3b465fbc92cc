// A PropertyList as text, for tests and fuzzers to compare with what they
// expect: each line as "name=value" (or the bare line without '='), and the
// property text as a host reads it from its out buffer.
#pragma once

#include "ResultWriter.h"
#include "properties.h"

#include <string>
#include <vector>

using Lines = std::vector<std::string>;

inline std::string TextOf(const PropertyLine &line) {
  return std::string(line.Name()) + (line.HasEquals() ? "=" : "") +
         std::string(line.Value());
}

inline Lines LinesOf(const PropertyList &list) {
  Lines lines;
  for (const PropertyLine &line : list.Lines()) {
    lines.push_back(TextOf(line));
  }
  return lines;
}

// ToText of `list` as a host reads it from its out buffer ("" when it did
// not fit).
inline std::string ToText(const PropertyList &list) {
  std::vector<char> out(DIRECTIVE_RESULT_CAPACITY, 'X');
  ResultWriter writer(out.data());
  list.ToText(writer);
  writer.Finish();
  return out.data();
}
