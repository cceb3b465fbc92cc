// The plug-in modules a run of directive-host loads and what they register.
#pragma once

#include "platform/ModuleLoader.h"
#include "plugins/Registry.h"

#include <memory>
#include <string>
#include <vector>

namespace directive_host {

// Loaded modules stay loaded, and their callbacks callable, while this lives.
class LoadedPlugins {
public:
  // Loads the default module, then each of `extraModules` in order, and calls
  // each one's AutoRegister. A module that is already loaded is not loaded
  // or registered again. Throws Failure naming the module that fails, or
  // naming where the default module was looked for when there is none to
  // load at all.
  explicit LoadedPlugins(const std::vector<std::string> &extraModules);

  const Registry &Keywords() const { return registry_; }

private:
  struct Unload {
    void operator()(platform::LoadedModuleHandle module) const {
      platform::UnloadModule(module);
    }
  };
  using ModulePointer = std::unique_ptr<void, Unload>;

  void Load(const std::string &path);

  std::vector<ModulePointer> modules_;
  Registry registry_;
};

} // namespace directive_host
