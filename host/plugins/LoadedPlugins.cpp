#include "plugins/LoadedPlugins.h"

#include "io/Errors.h"
#include "io/Output.h"
#include "platform/HostFiles.h"
#include "plugins/DefaultModule.h"
#include "plugins/HostEntryPoints.h"

#include <algorithm>
#include <filesystem>
#include <system_error>

namespace directive_host {

namespace fs = std::filesystem;

namespace {

std::string NoDefaultPlugin(const std::vector<std::string> &candidates) {
  if (candidates.empty()) {
    return std::string("no plug-in module: cannot tell where this program is, "
                       "so cannot find ") +
           platform::PluginFileName();
  }
  std::string message = "no plug-in module: found no " +
                        std::string(platform::PluginFileName()) + " at '" +
                        candidates.front() + "'";
  for (std::size_t i = 1; i < candidates.size(); ++i) {
    message += " or '" + candidates[i] + "'";
  }
  return message + " (load one with --plugin PATH)";
}

} // namespace

LoadedPlugins::LoadedPlugins(const std::vector<std::string> &extraModules) {
  const DefaultModule defaultModule =
      FindDefaultModule(platform::ExecutablePath());
  if (defaultModule.path.empty() && extraModules.empty()) {
    throw Failure(NoDefaultPlugin(defaultModule.candidates));
  }
  if (!defaultModule.path.empty()) {
    Load(defaultModule.path);
  }
  for (const std::string &path : extraModules) {
    Load(path);
  }
}

void LoadedPlugins::Load(const std::string &path) {
  // An absolute path keeps the system from searching its library folders
  // for a bare file name instead of taking it from the current folder.
  std::error_code ignored;
  const std::string module = platform::PathString(
      fs::absolute(platform::FileSystemPath(path), ignored).lexically_normal());
  std::string error;
  ModulePointer handle(platform::LoadModule(module, error));
  if (handle == nullptr) {
    throw Failure("cannot load plug-in module '" + path + "': " + error);
  }
  const bool alreadyLoaded =
      std::any_of(modules_.begin(), modules_.end(),
                  [&](const ModulePointer &m) { return m == handle; });
  if (alreadyLoaded) {
    return; // the handle drops the extra reference the load took
  }
  const auto autoRegister = reinterpret_cast<AutoRegisterProc>(
      platform::FindExport(handle.get(), DIRECTIVE_AUTO_REGISTER));
  if (autoRegister == nullptr) {
    throw Failure("plug-in module '" + path + "' does not export " +
                  DIRECTIVE_AUTO_REGISTER);
  }
  modules_.push_back(std::move(handle));
  const std::size_t before = registry_.Handlers().size();
  {
    const RegistrationScope scope(registry_, module);
    autoRegister();
    if (scope.Failed()) {
      throw Failure("not enough memory to record the keywords that plug-in "
                    "module '" +
                    path + "' registers");
    }
  }
  // A keyword registered again is shadowed by the first registration.
  const std::vector<KeywordHandler> &handlers = registry_.Handlers();
  for (std::size_t i = before; i < handlers.size(); ++i) {
    const KeywordHandler *used = registry_.Find(handlers[i].keyword);
    if (used != &handlers[i]) {
      WriteDiagnostic("directive-host: warning: '" + module + "' registers " +
                      handlers[i].keyword + " again; the " + used->keyword +
                      " that '" + used->module + "' registered first is used");
    }
  }
}

} // namespace directive_host
