#include "UnifiedDiff.h"

#include "Script.h"

#include <algorithm>
#include <cstddef>
#include <stdexcept>
#include <vector>

namespace directive_host {

namespace {

constexpr std::size_t kContext = 3;

// The line with its break: the two views are adjacent in the text.
std::string_view Whole(const Line &line) {
  return {line.text.data(), line.text.size() + line.ending.size()};
}

void AppendLine(std::string &diff, char mark, const Line &line) {
  diff += mark;
  diff += Whole(line);
  if (line.ending.empty()) {
    diff += "\n\\ No newline at end of file\n";
  }
}

// A hunk header's range: the first line counted from 1, and the number of
// lines unless it is one.
std::string Range(std::size_t first, std::size_t count) {
  std::string range = std::to_string(first + 1);
  return count == 1 ? range : range + "," + std::to_string(count);
}

} // namespace

std::string UnifiedDiff(std::string_view name, std::string_view before,
                        std::string_view after) {
  const std::vector<Line> old = SplitLines(before);
  const std::vector<Line> now = SplitLines(after);
  if (old.size() != now.size()) {
    throw std::invalid_argument(
        "a one-for-one diff needs texts with the same number of lines");
  }
  std::vector<std::size_t> changed;
  for (std::size_t i = 0; i < old.size(); ++i) {
    if (Whole(old[i]) != Whole(now[i])) {
      changed.push_back(i);
    }
  }
  if (changed.empty()) {
    return {};
  }
  std::string diff =
      "--- " + std::string(name) + "\n+++ " + std::string(name) + "\n";
  for (std::size_t k = 0; k < changed.size(); ++k) {
    const std::size_t first = changed[k] - std::min(changed[k], kContext);
    // Two changes share a hunk when no more than twice the context lies
    // between them.
    while (k + 1 < changed.size() &&
           changed[k + 1] - changed[k] <= 2 * kContext + 1) {
      ++k;
    }
    const std::size_t end = std::min(changed[k] + kContext + 1, old.size());
    const std::string range = Range(first, end - first);
    diff += "@@ -" + range + " +" + range + " @@\n";
    std::size_t i = first;
    while (i < end) {
      if (Whole(old[i]) == Whole(now[i])) {
        AppendLine(diff, ' ', old[i++]);
        continue;
      }
      std::size_t run = i;
      while (run < end && Whole(old[run]) != Whole(now[run])) {
        ++run;
      }
      for (std::size_t j = i; j < run; ++j) {
        AppendLine(diff, '-', old[j]);
      }
      for (std::size_t j = i; j < run; ++j) {
        AppendLine(diff, '+', now[j]);
      }
      i = run;
    }
  }
  return diff;
}

} // namespace directive_host
