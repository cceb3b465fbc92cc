// Wording that directive-host's messages share.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace directive_host {

// The items as a list in prose: "a", "a and b", "a, b and c".
std::string Enumerate(const std::vector<std::string_view> &items);

// `text` between single quotes, as messages name a file, a label or a name.
std::string Quoted(std::string_view text);

} // namespace directive_host
