// Where directive-host finds the DirectivePlugin module when it is not
// named: the one search that loading plug-ins and validate both make.
#pragma once

#include <string>
#include <vector>

namespace directive_host {

// The installation's plug-in folder, relative to the executable's folder.
const char *InstalledPluginFolder();

// Where the default module is looked for, in order: beside the executable
// (the build tree) and in the installation's plug-in folder. None when the
// executable's own path is not known.
std::vector<std::string> DefaultPluginCandidates(const std::string &executable);

struct DefaultModule {
  std::vector<std::string> candidates;
  std::string path; // the first candidate that is a file, or ""
};

DefaultModule FindDefaultModule(const std::string &executable);

} // namespace directive_host
