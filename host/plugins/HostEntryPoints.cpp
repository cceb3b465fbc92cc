#include "plugins/HostEntryPoints.h"

#include <type_traits>
#include <utility>

namespace directive_host {

namespace {

// The entry points carry no context of their own, so the scope that is
// open while a module's AutoRegister runs is recorded here.
struct OpenScope {
  Registry *registry = nullptr;
  const std::string *module = nullptr;
  std::vector<RegistrationCall> *calls = nullptr;
  bool failed = false;
  std::vector<RegistrationCall> *late = nullptr;
};

OpenScope openScope;

} // namespace

RegistrationScope::RegistrationScope(Registry &registry,
                                     const std::string &module) {
  openScope.registry = &registry;
  openScope.module = &module;
  openScope.failed = false;
}

RegistrationScope::~RegistrationScope() {
  openScope.registry = nullptr;
  openScope.module = nullptr;
  openScope.failed = false;
}

bool RegistrationScope::Failed() const { return openScope.failed; }

std::optional<KeywordHandler> HandlerOf(const RegistrationCall &call,
                                        const std::string &module) {
  if (call.keyword == nullptr || call.parse == nullptr ||
      call.assemble == nullptr) {
    return std::nullopt;
  }
  return KeywordHandler{call.keyword, call.parse, call.assemble, module};
}

RegistrationRecording::RegistrationRecording(
    std::vector<RegistrationCall> &calls) {
  openScope.calls = &calls;
}

RegistrationRecording::~RegistrationRecording() { openScope.calls = nullptr; }

LateRegistrationRecording::LateRegistrationRecording(
    std::vector<RegistrationCall> &calls) {
  openScope.late = &calls;
}

LateRegistrationRecording::~LateRegistrationRecording() {
  openScope.late = nullptr;
}

} // namespace directive_host

extern "C" {

DIRECTIVE_HOST_EXPORT DirectiveBool DIRECTIVE_CALL RegisterParseAssemblePlugins(
    const char *keyword, ParseProc parse, AssembleProc assemble) {
  using directive_host::HandlerOf;
  using directive_host::KeywordHandler;
  using directive_host::openScope;
  if (openScope.calls != nullptr) {
    try {
      openScope.calls->push_back({keyword, parse, assemble});
    } catch (...) {
      return 0; // no exception may unwind into the plug-in
    }
    return 1;
  }
  if (openScope.registry == nullptr) {
    if (openScope.late != nullptr) {
      try {
        openScope.late->push_back({keyword, parse, assemble});
      } catch (...) {
        // Unrecorded for want of memory; nothing may unwind into the module.
      }
    }
    return 0;
  }
  // No exception may unwind into the plug-in: a registration that cannot be
  // recorded is refused, and the host reports it after AutoRegister.
  try {
    std::optional<KeywordHandler> handler =
        HandlerOf({keyword, parse, assemble}, *openScope.module);
    if (!handler) {
      return 0;
    }
    openScope.registry->Add(std::move(*handler));
  } catch (...) {
    openScope.failed = true;
    return 0;
  }
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
