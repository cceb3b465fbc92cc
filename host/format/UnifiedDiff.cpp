#include "format/UnifiedDiff.h"

#include "script/Script.h"

#include <algorithm>
#include <cstddef>
#include <functional>
#include <stdexcept>
#include <vector>

namespace directive_host {

namespace {

constexpr std::size_t kContext = 3;

// The lines of a text as diff and patch count them, each with its break: a
// lone CR, which ends a line of a script, ends none for them, so the lines
// of LineReader are taken together up to one that LF ends.
class PatchLines {
public:
  explicit PatchLines(std::string_view text) : reader_(text) {}

  bool Next(std::string_view &line) {
    Line part;
    if (!reader_.Next(part)) {
      return false;
    }
    const char *start = part.text.data();
    while (part.ending == "\r" && reader_.Next(part)) {
    }
    line = {start, static_cast<std::size_t>(part.ending.data() +
                                            part.ending.size() - start)};
    return true;
  }

private:
  LineReader reader_;
};

std::size_t CountLines(std::string_view text) {
  PatchLines lines(text);
  std::string_view line;
  std::size_t count = 0;
  while (lines.Next(line)) {
    ++count;
  }
  return count;
}

// Lines [first, end) of both texts, counted from 0.
struct Hunk {
  std::size_t first;
  std::size_t end;
};

std::vector<Hunk> HunksOf(std::string_view before, std::string_view after,
                          std::size_t count) {
  std::vector<Hunk> hunks;
  PatchLines old(before);
  PatchLines now(after);
  std::string_view a;
  std::string_view b;
  bool open = false;
  std::size_t first = 0;
  std::size_t last = 0; // the hunk's last changed line
  for (std::size_t i = 0; old.Next(a) && now.Next(b); ++i) {
    if (a == b) {
      continue;
    }
    // Two changes share a hunk when no more than twice the context lies
    // between them.
    if (open && i - last <= 2 * kContext + 1) {
      last = i;
      continue;
    }
    if (open) {
      hunks.push_back({first, std::min(last + kContext + 1, count)});
    }
    open = true;
    first = i - std::min(i, kContext);
    last = i;
  }
  if (open) {
    hunks.push_back({first, std::min(last + kContext + 1, count)});
  }
  return hunks;
}

// A hunk header's range: the first line counted from 1, and the number of
// lines unless it is one.
std::string Range(std::size_t first, std::size_t count) {
  std::string range = std::to_string(first + 1);
  return count == 1 ? range : range + "," + std::to_string(count);
}

} // namespace

void WriteUnifiedDiff(std::string_view name, std::string_view before,
                      std::string_view after,
                      const std::function<void(std::string_view)> &write) {
  const std::size_t count = CountLines(before);
  if (CountLines(after) != count) {
    throw std::invalid_argument(
        "a one-for-one diff needs texts with the same number of lines");
  }
  const std::vector<Hunk> hunks = HunksOf(before, after, count);
  if (hunks.empty()) {
    return;
  }
  const auto append = [&](char mark, std::string_view line) {
    write(std::string_view(&mark, 1));
    write(line);
    if (!line.ends_with('\n')) {
      write("\n\\ No newline at end of file\n");
    }
  };
  write("--- " + std::string(name) + "\n+++ " + std::string(name) + "\n");
  PatchLines old(before);
  PatchLines now(after);
  std::string_view a;
  std::string_view b;
  std::size_t i = 0;
  for (const Hunk &hunk : hunks) {
    for (; i < hunk.first; ++i) {
      old.Next(a);
      now.Next(b);
    }
    const std::string range = Range(hunk.first, hunk.end - hunk.first);
    write("@@ -" + range + " +" + range + " @@\n");
    while (i < hunk.end) {
      PatchLines oldRun = old;
      PatchLines nowRun = now;
      old.Next(a);
      now.Next(b);
      if (a == b) {
        append(' ', a);
        ++i;
        continue;
      }
      // A run of changed lines: its old lines, then its new ones.
      std::size_t run = 1;
      while (i + run < hunk.end && old.Next(a) && now.Next(b) && a != b) {
        ++run;
      }
      for (std::size_t k = 0; k < run; ++k) {
        oldRun.Next(a);
        append('-', a);
      }
      for (std::size_t k = 0; k < run; ++k) {
        nowRun.Next(b);
        append('+', b);
      }
      old = oldRun;
      now = nowRun;
      i += run;
    }
  }
}

std::string UnifiedDiff(std::string_view name, std::string_view before,
                        std::string_view after) {
  std::string diff;
  WriteUnifiedDiff(name, before, after,
                   [&](std::string_view bytes) { diff += bytes; });
  return diff;
}

} // namespace directive_host
