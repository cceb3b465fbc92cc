// directive-host: a host application for directive plug-ins, and a
// command-line tool to parse, assemble and reformat directives with them.
#include "CommandLine.h"
#include "Commands.h"
#include "Errors.h"
#include "FileIO.h"
#include "HelpText.h"
#include "HostFiles.h"
#include "Plugins.h"

#include <exception>
#include <string>
#include <vector>

namespace directive_host {
namespace {

int RunCommand(const Invocation &invocation, const Registry &registry) {
  const std::string &command = invocation.command;
  const std::vector<std::string> &operands = invocation.operands;
  if (command == "parse") {
    return RunParse(registry, operands[0]);
  }
  if (command == "assemble") {
    return RunAssemble(registry, operands[0],
                       operands.size() > 1 ? operands[1] : "-");
  }
  if (command == "format") {
    return RunFormat(registry, invocation.formatMode, operands);
  }
  if (command == "lint") {
    return RunLint(registry, operands);
  }
  return RunKeywords(registry);
}

int Run(const std::vector<std::string> &arguments) {
  const Invocation invocation = ParseCommandLine(arguments);
  if (invocation.version) {
    WriteOutput(VersionText());
  } else if (invocation.command.empty()) {
    WriteOutput(GeneralHelp());
  } else if (invocation.help) {
    WriteOutput(CommandHelp(invocation.command));
  } else if (invocation.command == "help") {
    WriteOutput(invocation.operands.empty()
                    ? GeneralHelp()
                    : CommandHelp(invocation.operands[0]));
  } else {
    const LoadedPlugins plugins(invocation.plugins);
    const int code = RunCommand(invocation, plugins.Keywords());
    FinishOutput();
    return code;
  }
  FinishOutput();
  return kExitSuccess;
}

} // namespace
} // namespace directive_host

int main(int argc, char **argv) {
  using namespace directive_host;
  host::UseBinaryStandardStreams();
  try {
    return Run(std::vector<std::string>(argv + 1, argv + argc));
  } catch (const UsageError &error) {
    WriteDiagnostic(std::string("directive-host: ") + error.what() +
                    " (see 'directive-host --help')");
    return kExitUsage;
  } catch (const std::exception &error) {
    WriteDiagnostic(std::string("directive-host: ") + error.what());
    return kExitFailure;
  }
}
