#include "Plugins.h"

#include "Errors.h"
#include "FileIO.h"
#include "HostEntryPoints.h"
#include "HostFiles.h"

#include <algorithm>
#include <filesystem>
#include <system_error>

namespace directive_host {

namespace fs = std::filesystem;

namespace {

std::string FirstExisting(const std::vector<std::string> &paths) {
  for (const std::string &path : paths) {
    std::error_code error;
    if (fs::is_regular_file(host::FileSystemPath(path), error)) {
      return path;
    }
  }
  return {};
}

std::string NoDefaultPlugin(const std::vector<std::string> &candidates) {
  if (candidates.empty()) {
    return std::string("no plug-in module: cannot tell where this program is, "
                       "so cannot find ") +
           host::PluginFileName();
  }
  std::string message = "no plug-in module: found no " +
                        std::string(host::PluginFileName()) + " at '" +
                        candidates.front() + "'";
  for (std::size_t i = 1; i < candidates.size(); ++i) {
    message += " or '" + candidates[i] + "'";
  }
  return message + " (load one with --plugin PATH)";
}

} // namespace

std::vector<std::string>
DefaultPluginCandidates(const std::string &executable) {
  if (executable.empty()) {
    return {};
  }
  const fs::path folder = host::FileSystemPath(executable).parent_path();
  return {host::PathString(folder / host::PluginFileName()),
          host::PathString(
              (folder / DIRECTIVE_HOST_PLUGIN_DIR / host::PluginFileName())
                  .lexically_normal())};
}

LoadedPlugins::LoadedPlugins(const std::vector<std::string> &extraModules) {
  const std::vector<std::string> candidates =
      DefaultPluginCandidates(host::ExecutablePath());
  const std::string defaultModule = FirstExisting(candidates);
  if (defaultModule.empty() && extraModules.empty()) {
    throw Failure(NoDefaultPlugin(candidates));
  }
  if (!defaultModule.empty()) {
    Load(defaultModule);
  }
  for (const std::string &path : extraModules) {
    Load(path);
  }
}

void LoadedPlugins::Load(const std::string &path) {
  // An absolute path keeps the system from searching its library folders
  // for a bare file name instead of taking it from the current folder.
  std::error_code ignored;
  const std::string module = host::PathString(
      fs::absolute(host::FileSystemPath(path), ignored).lexically_normal());
  std::string error;
  ModulePointer handle(host::LoadModule(module, error));
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
      host::FindExport(handle.get(), DIRECTIVE_AUTO_REGISTER));
  if (autoRegister == nullptr) {
    throw Failure("plug-in module '" + path + "' does not export " +
                  DIRECTIVE_AUTO_REGISTER);
  }
  modules_.push_back(std::move(handle));
  const std::size_t before = registry_.Handlers().size();
  {
    const RegistrationScope scope(registry_, module);
    autoRegister();
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
