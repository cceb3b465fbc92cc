// The registration entry points directive-host exports from its executable.
// Plug-ins call RegisterParseAssemblePlugins from AutoRegister; a
// RegistrationScope says where those registrations go.
#pragma once

#include "plugins/Registry.h"

#include <optional>
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

  // Whether a registration could not be recorded for want of memory. The
  // entry point tells the plug-in so (it returns 0) and throws nothing into
  // it; the host reports it once AutoRegister has returned.
  bool Failed() const;
};

// One call of RegisterParseAssemblePlugins exactly as the plug-in made it.
struct RegistrationCall {
  const char *keyword;
  ParseProc parse;
  AssembleProc assemble;
};

// The handler that `call` registers for `module`, or nullopt when it could
// never be used: it has no keyword, or lacks a callback.
std::optional<KeywordHandler> HandlerOf(const RegistrationCall &call,
                                        const std::string &module);

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

// While it lives, every call of RegisterParseAssemblePlugins made outside a
// RegistrationScope or RegistrationRecording (from inside a callback, say)
// is appended to `calls`; it is refused as ever.
class LateRegistrationRecording {
public:
  explicit LateRegistrationRecording(std::vector<RegistrationCall> &calls);
  ~LateRegistrationRecording();
  LateRegistrationRecording(const LateRegistrationRecording &) = delete;
  LateRegistrationRecording &
  operator=(const LateRegistrationRecording &) = delete;
};

} // namespace directive_host
