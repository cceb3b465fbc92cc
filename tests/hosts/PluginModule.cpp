#include "PluginModule.h"

#include "platform/ModuleLoader.h"

#include <stdexcept>
#include <vector>

std::string PluginPath() {
  return directive_host::platform::PluginBesideExecutable();
}

PluginModule::PluginModule() {
  Registrations().clear();
  module_ = directive_host::platform::LoadModule(PluginPath(), error_);
}

PluginModule::~PluginModule() {
  Registrations().clear();
  directive_host::platform::UnloadModule(module_);
}

bool PluginModule::AutoRegister() {
  const auto autoRegister = reinterpret_cast<AutoRegisterProc>(
      directive_host::platform::FindExport(module_, DIRECTIVE_AUTO_REGISTER));
  if (autoRegister == nullptr) {
    return false;
  }
  autoRegister();
  return true;
}

const Registration &PluginModule::Find(const std::string &keyword) const {
  for (const Registration &registration : Registrations()) {
    if (registration.keyword == keyword) {
      return registration;
    }
  }
  throw std::runtime_error("not registered: " + keyword);
}

std::string PluginModule::Parse(const std::string &keyword,
                                const char *text) const {
  std::vector<char> out(DIRECTIVE_RESULT_CAPACITY, 'X');
  Find(keyword).parse(text, out.data(), 0xDEADBEEF);
  return out.data();
}

std::string PluginModule::Assemble(const std::string &keyword,
                                   const char *properties) const {
  std::vector<char> out(DIRECTIVE_RESULT_CAPACITY, 'X');
  Find(keyword).assemble(keyword.c_str(), properties, out.data());
  return out.data();
}
