#include "PluginModule.h"

#include "ModuleLoader.h"

#include <stdexcept>
#include <vector>

std::string PluginPath() {
  const std::string executable = host::ExecutablePath();
  const std::size_t slash = executable.find_last_of("/\\");
  const std::string folder =
      slash == std::string::npos ? "." : executable.substr(0, slash);
  return folder + "/" + host::PluginFileName();
}

PluginModule::PluginModule() {
  Registrations().clear();
  module_ = host::LoadModule(PluginPath(), error_);
}

PluginModule::~PluginModule() {
  Registrations().clear();
  host::UnloadModule(module_);
}

bool PluginModule::AutoRegister() {
  const auto autoRegister = reinterpret_cast<AutoRegisterProc>(
      host::FindExport(module_, DIRECTIVE_AUTO_REGISTER));
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
