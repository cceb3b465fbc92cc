// A plug-in module loaded for validation: its AutoRegister, however it is
// exported, and the registrations exactly as it makes them.
#pragma once

#include "plugins/HostEntryPoints.h"
#include "validate/Calls.h"

#include <stdexcept>
#include <string>
#include <vector>

namespace directive_host::validate {

// The module could not be loaded; what() is the system's reason.
class NotLoaded : public std::runtime_error {
public:
  using std::runtime_error::runtime_error;
};

// The name hosts look up, or else the first export that holds it decorated
// or mangled ("AutoRegister@0", "_Z12AutoRegisterv"), so that the checks
// after `exports` can still run; "" when there is none.
std::string AutoRegisterExport(const std::vector<std::string> &exportNames);

class ModuleUnderTest {
public:
  // Loads the module at `path`; throws NotLoaded.
  explicit ModuleUnderTest(const std::string &path);
  ~ModuleUnderTest();
  ModuleUnderTest(const ModuleUnderTest &) = delete;
  ModuleUnderTest &operator=(const ModuleUnderTest &) = delete;

  // The export called as AutoRegister; "" when the module has none.
  const std::string &AutoRegisterName() const { return autoRegisterName_; }

  // Calls AutoRegister and returns its calls of RegisterParseAssemblePlugins.
  std::vector<RegistrationCall> Register() const;

private:
  void *handle_ = nullptr;
  std::string autoRegisterName_;
  AutoRegisterProc autoRegister_ = nullptr;
};

// The registrations the checks can call: a keyword and both callbacks.
std::vector<KeywordHandler>
Callable(const std::vector<RegistrationCall> &calls);

} // namespace directive_host::validate
