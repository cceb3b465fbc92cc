// The plug-in modules a run of directive-host loads and what they register.
#pragma once

#include "ModuleLoader.h"
#include "Registry.h"

#include <memory>
#include <string>
#include <vector>

namespace directive_host {

// Where the default DirectivePlugin module is looked for, in order: beside
// the executable (the build tree) and in the installation's plug-in folder.
std::vector<std::string> DefaultPluginCandidates(const std::string &executable);

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
    void operator()(host::LoadedModuleHandle module) const {
      host::UnloadModule(module);
    }
  };
  using ModulePointer = std::unique_ptr<void, Unload>;

  void Load(const std::string &path);

  std::vector<ModulePointer> modules_;
  Registry registry_;
};

} // namespace directive_host
