// The built plug-in module, loaded from next to the test executable as a host
// loads it, with its registered callbacks at hand.
#pragma once

#include "Recorder.h"

#include <string>

class PluginModule {
public:
  PluginModule();
  ~PluginModule();
  PluginModule(const PluginModule &) = delete;
  PluginModule &operator=(const PluginModule &) = delete;

  bool Loaded() const { return module_ != nullptr; }
  const std::string &Error() const { return error_; }

  // Calls the module's AutoRegister; false when it has no such export. The
  // record of registrations starts empty with each PluginModule.
  bool AutoRegister();

  // The registration of `keyword` recorded by AutoRegister; throws when the
  // keyword was not registered.
  const Registration &Find(const std::string &keyword) const;

  // Calls a keyword's callback with a buffer of DIRECTIVE_RESULT_CAPACITY
  // bytes and returns what it wrote.
  std::string Parse(const std::string &keyword, const char *text) const;
  std::string Assemble(const std::string &keyword,
                       const char *properties) const;

private:
  void *module_ = nullptr;
  std::string error_;
};

// Path of the plug-in module beside the running executable.
std::string PluginPath();
