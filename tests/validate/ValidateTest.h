// What the validator's tests share: the built programs and modules, and the
// faulty modules by the check each one breaks.
#pragma once

#include <filesystem>
#include <string>
#include <utility>
#include <vector>

// A file of the build as this platform names it (for a Windows build under
// Wine the build passes Unix paths).
inline std::string BuiltFile(const std::string &path) {
  return std::filesystem::absolute(path).make_preferred().string();
}

inline const std::string kHost = BuiltFile(DIRECTIVE_HOST_PATH);
inline const std::string kDefaultPlugin = BuiltFile(DEFAULT_PLUGIN_PATH);
inline const std::string kEchoPlugin = BuiltFile(ECHO_PLUGIN_PATH);

// (name, module) for each "name=path" of `list`, separated by '|'.
inline std::vector<std::pair<std::string, std::string>>
ModuleList(const std::string &list) {
  std::vector<std::pair<std::string, std::string>> modules;
  for (std::size_t start = 0; start < list.size();) {
    std::size_t end = list.find('|', start);
    end = end == std::string::npos ? list.size() : end;
    const std::string entry = list.substr(start, end - start);
    const std::size_t equals = entry.find('=');
    modules.emplace_back(entry.substr(0, equals),
                         BuiltFile(entry.substr(equals + 1)));
    start = end + 1;
  }
  return modules;
}

// (check, module) for each faulty module.
inline std::vector<std::pair<std::string, std::string>> FaultyModules() {
  return ModuleList(FAULTY_MODULES);
}

// The module of `shape` ("slow", "hang", "abort"), built with SHAPE_<SHAPE>.
inline std::string ShapedModule(const std::string &shape) {
  for (const auto &[name, module] : ModuleList(SHAPED_MODULES)) {
    if (name == shape) {
      return module;
    }
  }
  return {};
}

// The test program itself, which ValidateTestMain.cpp turns into a child
// that crashes, hangs or prints when given --child-*.
extern std::string testProgram;
