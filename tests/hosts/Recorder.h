// What a test host's exported entry points were called with.
#pragma once

#include "directive_plugin.h"

#include <array>
#include <string>
#include <vector>

struct Registration {
  std::string keyword;
  ParseProc parse;
  AssembleProc assemble;
};

// Calls of RegisterParseAssemblePlugins, in order.
std::vector<Registration> &Registrations();

// Calls of the five entry points the plug-in must never call, in the order
// RegisterEditPlugin, RegisterValidatePlugin, RegisterTypeEditPlugin,
// RegisterTypeValidatePlugin, RegisterInclusion.
std::array<int, 5> &OtherEntryPointCalls();
