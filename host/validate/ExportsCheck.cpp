#include "validate/ExportsCheck.h"

#include "validate/Checks.h"
#include "validate/Escape.h"
#include "validate/ModuleUnderTest.h"
#include "validate/Subject.h"

namespace directive_host::validate {

namespace {

std::string NameList(const std::vector<std::string> &names) {
  std::string text;
  for (std::size_t i = 0; i < names.size(); ++i) {
    text += (i > 0 ? ", " : "") + CLiteral(names[i]);
  }
  return text;
}

} // namespace

CheckResult JudgeExports(const ExportList &list) {
  std::vector<std::string> names;
  std::vector<std::string> others;
  const ModuleExport *autoRegister = nullptr;
  for (const ModuleExport &entry : list.exports) {
    names.push_back(entry.name);
    if (entry.name == DIRECTIVE_AUTO_REGISTER) {
      autoRegister = &entry;
    } else {
      others.push_back(entry.name);
    }
  }
  if (autoRegister == nullptr) {
    const std::string near = AutoRegisterExport(names);
    if (!near.empty()) {
      return Failed("exports no AutoRegister but " + CLiteral(near) +
                    ", which hosts do not look up: export it with C linkage "
                    "(extern \"C\") and undecorated (on 32-bit Windows a .def "
                    "file maps AutoRegister = AutoRegister@0)");
    }
    return Failed(names.empty()
                      ? "exports nothing: hosts look up AutoRegister"
                      : "exports no AutoRegister, only " + NameList(names));
  }
  if (!autoRegister->function) {
    return Failed("exports AutoRegister as data, not as a function");
  }
  std::string detail = "exports AutoRegister";
  if (!others.empty()) {
    detail += "; note: it also exports " + NameList(others) +
              ", which hosts do not use";
  }
  return Passed(detail);
}

CheckResult CheckExports(const CheckContext &context) {
  const ExportList list = ReadExportsOfFile(context.module);
  // Loaded too, so that a module the system cannot load is told apart, and
  // so that an unreadable table can still be judged by the loader's lookup.
  const ModuleUnderTest module(context.module);
  if (list.error.empty()) {
    return JudgeExports(list);
  }
  const std::string why = "its export table was not read: " + list.error;
  if (module.AutoRegisterName() == DIRECTIVE_AUTO_REGISTER) {
    return Passed("exports AutoRegister (" + why + ")");
  }
  return Failed("exports no AutoRegister that the loader finds (" + why + ")");
}

} // namespace directive_host::validate
