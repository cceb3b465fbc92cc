#include "plugins/HostEntryPoints.h"

#include <type_traits>

namespace directive_host {

namespace {

// The entry points carry no context of their own, so the scope that is
// open while a module's AutoRegister runs is recorded here.
struct OpenScope {
  Registry *registry = nullptr;
  const std::string *module = nullptr;
  std::vector<RegistrationCall> *calls = nullptr;
};

OpenScope openScope;

} // namespace

RegistrationScope::RegistrationScope(Registry &registry,
                                     const std::string &module) {
  openScope = {&registry, &module};
}

RegistrationScope::~RegistrationScope() { openScope = {}; }

RegistrationRecording::RegistrationRecording(
    std::vector<RegistrationCall> &calls) {
  openScope = {nullptr, nullptr, &calls};
}

RegistrationRecording::~RegistrationRecording() { openScope = {}; }

} // namespace directive_host

extern "C" {

DIRECTIVE_HOST_EXPORT DirectiveBool DIRECTIVE_CALL RegisterParseAssemblePlugins(
    const char *keyword, ParseProc parse, AssembleProc assemble) {
  using directive_host::openScope;
  if (openScope.calls != nullptr) {
    try {
      openScope.calls->push_back({keyword, parse, assemble});
    } catch (...) {
      return 0; // no exception may unwind into the plug-in
    }
    return 1;
  }
  // A registration without a keyword or a callback could never be used.
  if (openScope.registry == nullptr || keyword == nullptr || parse == nullptr ||
      assemble == nullptr) {
    return 0;
  }
  openScope.registry->Add({keyword, parse, assemble, *openScope.module});
  return 1;
}

// The plug-ins this host loads register nothing through these; they only
// need to exist.
DIRECTIVE_HOST_EXPORT void DIRECTIVE_CALL RegisterEditPlugin(void) {}
DIRECTIVE_HOST_EXPORT void DIRECTIVE_CALL RegisterValidatePlugin(void) {}
DIRECTIVE_HOST_EXPORT void DIRECTIVE_CALL RegisterTypeEditPlugin(void) {}
DIRECTIVE_HOST_EXPORT void DIRECTIVE_CALL RegisterTypeValidatePlugin(void) {}
DIRECTIVE_HOST_EXPORT void DIRECTIVE_CALL RegisterInclusion(void) {}

} // extern "C"

static_assert(
    std::is_same_v<decltype(&RegisterParseAssemblePlugins),
                   RegisterParseAssemblePluginsProc>,
    "the exported entry point must match the type plug-ins call it through");
static_assert(std::is_same_v<decltype(&RegisterInclusion), DirectiveHostProc>);
