// Recognising a keyword in text and calling a keyword's callbacks.
#pragma once

#include "plugins/Registry.h"

#include <cstddef>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace directive_host {

// Length of the keyword at the start of `text`: '#' and the ASCII letters
// after it. 0 when `text` does not start with '#' and a letter.
std::size_t KeywordLength(std::string_view text);

// The handler of the keyword `text` starts with, or null when it starts with
// none or with one that no module registered.
const KeywordHandler *FindLeadingKeyword(const Registry &registry,
                                         std::string_view text);

// A callback's out buffer: the capacity the ABI promises, and a NUL in its
// last byte so that reading it back always stops inside it. One serves any
// number of calls, one at a time, so that a script's thousands of calls do
// not each take and give back 64 KiB of the heap.
class ResultBuffer {
public:
  ResultBuffer();
  // The buffer, holding the empty string, for a callback to write into.
  char *Cleared();
  std::string Text() const { return bytes_.get(); }

private:
  std::unique_ptr<char[]> bytes_;
};

// Whether a plug-in can be given `text`: a callback reads a C string, and
// would see only the bytes before a NUL.
bool PluginCanRead(std::string_view text);

// The property text the parse callback writes for `directive`.
std::string CallParse(const KeywordHandler &handler,
                      const std::string &directive);
std::string CallParse(const KeywordHandler &handler,
                      const std::string &directive, ResultBuffer &out);

// The directive text the assemble callback writes for the handler's keyword
// and `properties`.
std::string CallAssemble(const KeywordHandler &handler,
                         const std::string &properties);
std::string CallAssemble(const KeywordHandler &handler,
                         const std::string &properties, ResultBuffer &out);

// Callbacks write the empty string both when they have no result and when
// theirs would not fit in DIRECTIVE_RESULT_CAPACITY bytes; the buffer looks
// the same either way. Their results carry the text they are given, with
// names and punctuation added, so an empty result for a text within
// kResultOverhead bytes of the capacity, or longer, may be one that did not
// fit. Shorter texts are taken at their word: they have no result.
inline constexpr std::size_t kResultOverhead = 1024;
bool MayNotHaveFit(std::string_view input, std::string_view result);

// The reason given for a line of `lineLength` bytes (its break not counted)
// for which the plug-in gave no `result` ("parse result", "rewrite") that
// MayNotHaveFit; `what` names the text when it is not a line of a script.
std::string CapacityReason(std::string_view result, std::size_t lineLength,
                           std::string_view what = "line");

// The lines of a property text, as LineReader reads them: CR, LF and CR LF
// each end a line, and a break at the very end adds no empty line.
std::vector<std::string> PropertyLines(std::string_view properties);

// The value of the first line of `properties` whose name (the text before
// its first '=') is `name`, compared with SameIgnoringCase; nullopt when no
// line has that name.
std::optional<std::string> PropertyValue(std::string_view properties,
                                         std::string_view name);

} // namespace directive_host
