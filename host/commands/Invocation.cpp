#include "commands/Invocation.h"

namespace directive_host {

const GivenOption *Invocation::Find(std::string_view name) const {
  for (auto it = options.rbegin(); it != options.rend(); ++it) {
    if (it->name == name) {
      return &*it;
    }
  }
  return nullptr;
}

} // namespace directive_host
