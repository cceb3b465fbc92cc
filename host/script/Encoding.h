// Telling text that directive-host cannot read: scripts and property text
// are 8-bit text (UTF-8 or the ANSI code page), and a file in UTF-16 or
// UTF-32 would pass as lines of one odd character each.
#pragma once

#include <string>
#include <string_view>

namespace directive_host {

// "UTF-16LE", "UTF-16BE", "UTF-32LE" or "UTF-32BE" when `text` starts with
// that encoding's byte-order mark or, without one, its first 64 bytes have
// the NUL bytes of ASCII text in it; "" otherwise.
std::string_view WideEncoding(std::string_view text);

// Throws Failure naming `name` and the encoding when `text` is in one that
// WideEncoding names.
void RefuseWideText(const std::string &name, std::string_view text);

} // namespace directive_host
