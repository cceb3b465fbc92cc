#include "CommonPlugin.h"

namespace {

template <typename Proc>
Proc Lookup(platform::ModuleHandle module, const char *name) {
  return reinterpret_cast<Proc>(platform::FindHostEntryPoint(module, name));
}

HostEntryPoints Bind() {
  HostEntryPoints host;
  host.HostModule = platform::AcquireHostModule();
  host.RegisterEditPlugin = Lookup<DirectiveHostProc>(
      host.HostModule, DIRECTIVE_REGISTER_EDIT_PLUGIN);
  host.RegisterValidatePlugin = Lookup<DirectiveHostProc>(
      host.HostModule, DIRECTIVE_REGISTER_VALIDATE_PLUGIN);
  host.RegisterTypeEditPlugin = Lookup<DirectiveHostProc>(
      host.HostModule, DIRECTIVE_REGISTER_TYPE_EDIT_PLUGIN);
  host.RegisterTypeValidatePlugin = Lookup<DirectiveHostProc>(
      host.HostModule, DIRECTIVE_REGISTER_TYPE_VALIDATE_PLUGIN);
  host.RegisterInclusion =
      Lookup<DirectiveHostProc>(host.HostModule, DIRECTIVE_REGISTER_INCLUSION);
  host.RegisterParseAssemblePlugins = Lookup<RegisterParseAssemblePluginsProc>(
      host.HostModule, DIRECTIVE_REGISTER_PARSE_ASSEMBLE_PLUGINS);
  return host;
}

// Binds in its constructor, which runs when the module is loaded, and
// releases the host module in its destructor, which runs when it unloads.
class HostBinding {
public:
  HostBinding() : entryPoints_(Bind()) {}
  ~HostBinding() { platform::ReleaseHostModule(entryPoints_.HostModule); }
  HostBinding(const HostBinding &) = delete;
  HostBinding &operator=(const HostBinding &) = delete;

  const HostEntryPoints &EntryPoints() const { return entryPoints_; }

private:
  HostEntryPoints entryPoints_;
};

const HostBinding hostBinding;

} // namespace

const HostEntryPoints &BoundHostEntryPoints() {
  return hostBinding.EntryPoints();
}
