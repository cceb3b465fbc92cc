// Host binding shared by the plug-ins of this host: the host executable's
// module and its six registration entry points, bound when the module loads
// and released when it unloads.
#pragma once

#include "directive_plugin.h"
#include "platform/platform.h"

struct HostEntryPoints {
  platform::ModuleHandle HostModule = nullptr;
  DirectiveHostProc RegisterEditPlugin = nullptr;
  DirectiveHostProc RegisterValidatePlugin = nullptr;
  DirectiveHostProc RegisterTypeEditPlugin = nullptr;
  DirectiveHostProc RegisterTypeValidatePlugin = nullptr;
  DirectiveHostProc RegisterInclusion = nullptr;
  RegisterParseAssemblePluginsProc RegisterParseAssemblePlugins = nullptr;
};

// The record bound at load: written once before the host can call in, read
// only afterwards, so no lock is needed. Absent entry points are null.
const HostEntryPoints &BoundHostEntryPoints();
