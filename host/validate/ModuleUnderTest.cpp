#include "validate/ModuleUnderTest.h"

#include "platform/CallWatch.h"
#include "platform/HostFiles.h"
#include "platform/ModuleLoader.h"
#include "validate/CrashNote.h"
#include "validate/ModuleExports.h"

#include <filesystem>
#include <system_error>

namespace directive_host::validate {

std::string AutoRegisterExport(const std::vector<std::string> &exportNames) {
  for (const std::string &name : exportNames) {
    if (name == DIRECTIVE_AUTO_REGISTER) {
      return name;
    }
  }
  for (const std::string &name : exportNames) {
    if (name.find(DIRECTIVE_AUTO_REGISTER) != std::string::npos) {
      return name;
    }
  }
  return {};
}

ModuleUnderTest::ModuleUnderTest(const std::string &path) {
  // An absolute path keeps the system from searching its library folders.
  std::error_code ignored;
  const std::string absolute = platform::PathString(
      std::filesystem::absolute(platform::FileSystemPath(path), ignored)
          .lexically_normal());
  std::string error;
  {
    // Loading runs the module's own initialisation.
    CrashNote note;
    note.Set("while it was loaded");
    const platform::CallUnderWay watched;
    handle_ = platform::LoadModule(absolute, error);
  }
  if (handle_ == nullptr) {
    throw NotLoaded(LoadFailure(absolute, error));
  }
  autoRegister_ = reinterpret_cast<AutoRegisterProc>(
      platform::FindExport(handle_, DIRECTIVE_AUTO_REGISTER));
  if (autoRegister_ != nullptr) {
    autoRegisterName_ = DIRECTIVE_AUTO_REGISTER;
    return;
  }
  std::vector<std::string> names;
  for (const ModuleExport &entry : ReadExportsOfFile(absolute).exports) {
    names.push_back(entry.name);
  }
  autoRegisterName_ = AutoRegisterExport(names);
  if (!autoRegisterName_.empty()) {
    autoRegister_ = reinterpret_cast<AutoRegisterProc>(
        platform::FindExport(handle_, autoRegisterName_.c_str()));
  }
  if (autoRegister_ == nullptr) {
    autoRegisterName_.clear();
  }
}

ModuleUnderTest::~ModuleUnderTest() { platform::UnloadModule(handle_); }

std::vector<RegistrationCall> ModuleUnderTest::Register() const {
  std::vector<RegistrationCall> calls;
  if (autoRegister_ != nullptr) {
    const RegistrationRecording recording(calls);
    CrashNote note;
    note.Set("in AutoRegister", "AutoRegister()");
    const platform::CallUnderWay watched;
    try {
      autoRegister_();
    } catch (...) {
      RethrowFromModule("AutoRegister()");
    }
  }
  return calls;
}

std::vector<KeywordHandler>
Callable(const std::vector<RegistrationCall> &calls) {
  std::vector<KeywordHandler> keywords;
  for (const RegistrationCall &call : calls) {
    if (std::optional<KeywordHandler> handler = HandlerOf(call, {})) {
      keywords.push_back(std::move(*handler));
    }
  }
  return keywords;
}

} // namespace directive_host::validate
