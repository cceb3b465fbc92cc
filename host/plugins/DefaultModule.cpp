#include "plugins/DefaultModule.h"

#include "platform/HostFiles.h"
#include "platform/ModuleLoader.h"

#include <filesystem>
#include <system_error>

namespace directive_host {

namespace fs = std::filesystem;

const char *InstalledPluginFolder() { return DIRECTIVE_HOST_PLUGIN_DIR; }

std::vector<std::string>
DefaultPluginCandidates(const std::string &executable) {
  if (executable.empty()) {
    return {};
  }
  const fs::path folder = platform::FileSystemPath(executable).parent_path();
  return {platform::PathString(folder / platform::PluginFileName()),
          platform::PathString(
              (folder / DIRECTIVE_HOST_PLUGIN_DIR / platform::PluginFileName())
                  .lexically_normal())};
}

DefaultModule FindDefaultModule(const std::string &executable) {
  DefaultModule found{DefaultPluginCandidates(executable), {}};
  for (const std::string &path : found.candidates) {
    std::error_code error;
    if (fs::is_regular_file(platform::FileSystemPath(path), error)) {
      found.path = path;
      break;
    }
  }
  return found;
}

} // namespace directive_host
