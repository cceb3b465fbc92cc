// Recognising a keyword in text and calling a keyword's callbacks.
#pragma once

#include "Registry.h"

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace directive_host {

// Length of the keyword at the start of `text`: '#' and the ASCII letters
// after it. 0 when `text` does not start with '#' and a letter.
std::size_t KeywordLength(std::string_view text);

// Keywords compare ignoring the case of ASCII letters.
bool SameKeyword(std::string_view a, std::string_view b);

// The handler of the keyword `text` starts with, or null when it starts with
// none or with one that no module registered.
const KeywordHandler *FindLeadingKeyword(const Registry &registry,
                                         std::string_view text);

// The property text the parse callback writes for `directive`.
std::string CallParse(const KeywordHandler &handler,
                      const std::string &directive);

// The directive text the assemble callback writes for the handler's keyword
// and `properties`.
std::string CallAssemble(const KeywordHandler &handler,
                         const std::string &properties);

// The lines of a property text; CR, LF and CR LF each end a line, and a
// break at the very end adds no empty line.
std::vector<std::string> PropertyLines(std::string_view properties);

} // namespace directive_host
