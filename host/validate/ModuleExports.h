// The names a module file exports, read from the file itself: the dynamic
// symbols of an ELF shared object, or the export table of a PE DLL. Portable:
// either format is read on any platform.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace directive_host::validate {

struct ModuleExport {
  std::string name;
  bool function = true; // false for data (an ELF object, a PE forwarder)
};

struct ExportList {
  std::vector<ModuleExport> exports; // in the file's order
  std::string error; // why the file could not be read; empty when it could
};

// The exports of a module whose bytes are `image`.
ExportList ReadExports(std::string_view image);

// The exports of the module file at `path`.
ExportList ReadExportsOfFile(const std::string &path);

} // namespace directive_host::validate
