#include "commands/Commands.h"

#include "commands/InputLoop.h"
#include "format/Formatter.h"
#include "format/UnifiedDiff.h"
#include "io/Errors.h"
#include "io/FileIO.h"
#include "io/Output.h"
#include "script/Encoding.h"

#include <memory>
#include <string>

namespace directive_host {

namespace {

enum class FormatMode {
  kPrint,   // write the formatted scripts to standard output
  kCheck,   // list the lines that would change; write nothing
  kDiff,    // write a unified diff of each file that would change
  kInPlace, // rewrite the files
};

// The last of the mode options given wins.
FormatMode FormatModeOf(const Invocation &invocation) {
  for (auto it = invocation.options.rbegin(); it != invocation.options.rend();
       ++it) {
    if (it->name == "--check") {
      return FormatMode::kCheck;
    }
    if (it->name == "--diff") {
      return FormatMode::kDiff;
    }
    if (it->name == "--in-place") {
      return FormatMode::kInPlace;
    }
  }
  return FormatMode::kPrint;
}

// Hands the formatted text on for `mode` and says what it found: warnings
// on standard error and, for --check, the lines on standard output.
class CommandSink : public FormatSink {
public:
  CommandSink(std::string name, FormatMode mode)
      : name_(std::move(name)), mode_(mode) {}

  void Write(std::string_view bytes) override {
    if (mode_ == FormatMode::kPrint) {
      WriteOutput(bytes);
    }
  }
  void Note(const LineNote &note) override {
    const std::string place = name_ + ":" + std::to_string(note.line);
    if (!note.rewritten) {
      WriteDiagnostic(place + ": warning: left as it is: " + note.reason);
    }
    if (mode_ == FormatMode::kCheck) {
      WriteOutput(place + "\n");
    }
    noted_ = true;
    changed_ = changed_ || note.rewritten;
  }

  bool Noted() const { return noted_; }
  bool Changed() const { return changed_; }

private:
  std::string name_;
  FormatMode mode_;
  bool noted_ = false;
  bool changed_ = false;
};

// format -i: the text goes to a new file from the first line that changes
// on; a file without changes is not touched.
class InPlaceSink : public CommandSink {
public:
  explicit InPlaceSink(const FileToRewrite &file)
      : CommandSink(file.path, FormatMode::kInPlace), file_(file) {}

  void Write(std::string_view bytes) override {
    if (rewrite_) {
      rewrite_->Write(bytes);
    } else {
      unchanged_ += bytes.size();
    }
  }
  void Note(const LineNote &note) override {
    CommandSink::Note(note);
    if (note.rewritten && !rewrite_) {
      rewrite_ = std::make_unique<Rewrite>(file_);
      rewrite_->Write(std::string_view(file_.contents).substr(0, unchanged_));
    }
  }
  void Finish() {
    if (rewrite_) {
      rewrite_->Commit();
    }
  }

private:
  const FileToRewrite &file_;
  std::size_t unchanged_ = 0; // bytes handed on before the first change
  std::unique_ptr<Rewrite> rewrite_;
};

bool FormatInPlace(const Registry &registry, const std::string &path) {
  const FileToRewrite file = ReadFileToRewrite(path);
  RefuseWideText(path, file.contents);
  InPlaceSink sink(file);
  FormatScript(file.contents, registry, sink);
  sink.Finish();
  return sink.Noted();
}

// Formats one file; returns whether it counts as found for `mode`'s exit
// code: with --diff when it would change, otherwise when any line would
// change or was left as it is because it could not be rewritten safely.
bool FormatFile(const Registry &registry, FormatMode mode,
                const std::string &path) {
  if (mode == FormatMode::kInPlace) {
    return FormatInPlace(registry, path);
  }
  const std::string name = DisplayName(path);
  const std::string original = ReadInput(path);
  RefuseWideText(name, original);
  if (mode != FormatMode::kDiff) {
    CommandSink sink(name, mode);
    FormatScript(original, registry, sink);
    return sink.Noted();
  }
  // The diff needs both texts whole; it is written as it is made.
  std::string formatted;
  formatted.reserve(original.size());
  class DiffSink : public CommandSink {
  public:
    DiffSink(const std::string &name, std::string &text)
        : CommandSink(name, FormatMode::kDiff), text_(text) {}
    void Write(std::string_view bytes) override { text_ += bytes; }

  private:
    std::string &text_;
  } sink(name, formatted);
  FormatScript(original, registry, sink);
  WriteUnifiedDiff(name, original, formatted, WriteOutput);
  return sink.Changed();
}

} // namespace

void CheckFormatUsage(const Invocation &invocation) {
  const GivenOption *inPlace = invocation.Find("--in-place");
  if (inPlace == nullptr) {
    return;
  }
  if (invocation.operands.empty()) {
    throw UsageError("option '" + inPlace->spelling + "' needs FILE arguments");
  }
  for (const std::string &operand : invocation.operands) {
    if (operand == "-") {
      throw UsageError("option '" + inPlace->spelling +
                       "' cannot rewrite standard input");
    }
  }
}

int RunFormat(const Invocation &invocation, const Registry &registry) {
  const FormatMode mode = FormatModeOf(invocation);
  const int code =
      ForEachInput(invocation.operands, [&](const std::string &path) {
        return FormatFile(registry, mode, path);
      });
  const bool reportsFound =
      mode == FormatMode::kCheck || mode == FormatMode::kDiff;
  return code == kExitFound && !reportsFound ? kExitSuccess : code;
}

} // namespace directive_host
