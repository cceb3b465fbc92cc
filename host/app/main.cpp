// directive-host: a host application for directive plug-ins, and a
// command-line tool to parse, assemble and reformat directives with them.
#include "app/CommandLine.h"
#include "app/CommandTable.h"
#include "app/HelpText.h"
#include "io/Errors.h"
#include "io/Output.h"
#include "platform/HostFiles.h"
#include "plugins/LoadedPlugins.h"

#include <exception>
#include <new>
#include <string>
#include <vector>

namespace directive_host {
namespace {

int RunCommand(const Invocation &invocation) {
  const Command &command = *FindCommand(invocation.command);
  if (!command.loadsPlugins) {
    return command.run(invocation, Registry());
  }
  const LoadedPlugins plugins(invocation.plugins);
  return command.run(invocation, plugins.Keywords());
}

int Run(const std::vector<std::string> &arguments) {
  const Invocation invocation = ParseCommandLine(arguments);
  int code = kExitSuccess;
  if (invocation.version) {
    WriteOutput(VersionText());
  } else if (invocation.command.empty()) {
    WriteOutput(GeneralHelp());
  } else if (invocation.help) {
    WriteOutput(CommandHelp(invocation.command));
  } else {
    code = RunCommand(invocation);
  }
  FinishOutput();
  return code;
}

} // namespace
} // namespace directive_host

int main(int argc, char **argv) {
  using namespace directive_host;
  platform::UseBinaryStandardStreams();
  try {
    return Run(std::vector<std::string>(argv + 1, argv + argc));
  } catch (const UsageError &error) {
    WriteDiagnostic(std::string("directive-host: ") + error.what() +
                    " (see 'directive-host --help')");
    return kExitUsage;
  } catch (const std::bad_alloc &) {
    WriteDiagnostic("directive-host: not enough memory");
    return kExitFailure;
  } catch (const std::exception &error) {
    WriteDiagnostic(std::string("directive-host: ") + error.what());
    return kExitFailure;
  }
}
