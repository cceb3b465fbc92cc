// The registration entry points directive-host exports from its executable.
// Plug-ins call RegisterParseAssemblePlugins from AutoRegister; a
// RegistrationScope says where those registrations go.
#pragma once

#include "Registry.h"

#include <string>

namespace directive_host {

// While it lives, registrations are added to `registry` as coming from
// `module`. Registrations made outside any scope are ignored.
class RegistrationScope {
public:
  RegistrationScope(Registry &registry, const std::string &module);
  ~RegistrationScope();
  RegistrationScope(const RegistrationScope &) = delete;
  RegistrationScope &operator=(const RegistrationScope &) = delete;
};

} // namespace directive_host
