// Strings of a plug-in, which may hold any byte, written so that a person can
// read them and a C compiler would take them back.
#pragma once

#include <string>
#include <string_view>

namespace directive_host::validate {

// `bytes` as a C string literal: printable ASCII as it is, \" \\ \r \n \t,
// and \xHH for every other byte. A run of 16 or more of one byte is written
// as the literal `<N x 'c'>` between the quoted parts, so that an input of
// 64 KiB stays one readable line: "#GOTO = "<65527 x 'v'>.
std::string CLiteral(std::string_view bytes);

// `text` as a JSON string; bytes of 0x80 and above as \u0080 to \u00ff.
std::string JsonString(std::string_view text);

} // namespace directive_host::validate
