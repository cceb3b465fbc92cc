#include "Commands.h"

#include "Errors.h"
#include "FileIO.h"
#include "Formatter.h"
#include "UnifiedDiff.h"

#include <string>

namespace directive_host {

namespace {

void Warn(const std::string &file, const LineNote &note) {
  WriteDiagnostic(file + ":" + std::to_string(note.line) +
                  ": warning: left as it is: " + note.reason);
}

// Formats one file; returns whether it counts as found for `mode`'s exit
// code: with --diff when it would change, otherwise when any line would
// change or was left as it is because it could not be rewritten safely.
bool FormatFile(const Registry &registry, FormatMode mode,
                const std::string &path) {
  const std::string name = DisplayName(path);
  const std::string original = ReadInput(path);
  const FormatResult result = FormatText(original, registry);
  for (const LineNote &note : result.notes) {
    if (!note.rewritten) {
      Warn(name, note);
    }
    if (mode == FormatMode::kCheck) {
      WriteOutput(name + ":" + std::to_string(note.line) + "\n");
    }
  }
  const bool changes = result.text != original;
  switch (mode) {
  case FormatMode::kPrint:
    WriteOutput(result.text);
    break;
  case FormatMode::kDiff:
    WriteOutput(UnifiedDiff(name, original, result.text));
    return changes;
  case FormatMode::kInPlace:
    if (changes) {
      ReplaceContents(path, result.text);
    }
    break;
  case FormatMode::kCheck:
    break;
  }
  return !result.notes.empty();
}

} // namespace

int RunFormat(const Registry &registry, FormatMode mode,
              const std::vector<std::string> &files) {
  const int code = ForEachInput(files, [&](const std::string &path) {
    return FormatFile(registry, mode, path);
  });
  const bool reportsFound =
      mode == FormatMode::kCheck || mode == FormatMode::kDiff;
  return code == kExitFound && !reportsFound ? kExitSuccess : code;
}

} // namespace directive_host
