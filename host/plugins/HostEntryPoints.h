// The registration entry points directive-host exports from its executable.
// Plug-ins call RegisterParseAssemblePlugins from AutoRegister; a
// RegistrationScope says where those registrations go.
#pragma once

#include "plugins/Registry.h"

#include <string>
#include <vector>

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

// One call of RegisterParseAssemblePlugins exactly as the plug-in made it.
struct RegistrationCall {
  const char *keyword;
  ParseProc parse;
  AssembleProc assemble;
};

// While it lives, every call of RegisterParseAssemblePlugins is appended to
// `calls`, null arguments included, and goes to no registry: what a
// validator of plug-ins needs to see.
class RegistrationRecording {
public:
  explicit RegistrationRecording(std::vector<RegistrationCall> &calls);
  ~RegistrationRecording();
  RegistrationRecording(const RegistrationRecording &) = delete;
  RegistrationRecording &operator=(const RegistrationRecording &) = delete;
};

} // namespace directive_host
