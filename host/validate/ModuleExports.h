// The names a module file exports, read from the file itself: the dynamic
// symbols of an ELF shared object, or the export table of a PE DLL; and the
// machine it is built for. Portable: either format is read on any platform.
#pragma once

#include <optional>
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

// "an AArch64 module; this validator is x86-64" when the image's ELF or PE
// header names a machine other than the one this validator is built for;
// nullopt when it names that one or is neither.
std::optional<std::string> ForeignMachine(std::string_view image);

// Why the module at `path` did not load: that it is of another machine when
// its header says so, which loaders report poorly, else `loaderError`.
std::string LoadFailure(const std::string &path,
                        const std::string &loaderError);

} // namespace directive_host::validate
