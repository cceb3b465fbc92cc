#include "commands/InputLoop.h"

#include "io/Errors.h"
#include "io/FileIO.h"
#include "io/Output.h"

#include <new>

namespace directive_host {

int ForEachInput(const std::vector<std::string> &paths,
                 const std::function<bool(const std::string &)> &handle) {
  const std::vector<std::string> inputs =
      paths.empty() ? std::vector<std::string>{"-"} : paths;
  bool found = false;
  bool failed = false;
  for (const std::string &path : inputs) {
    try {
      found = handle(path) || found;
    } catch (const Failure &failure) {
      WriteDiagnostic(std::string("directive-host: ") + failure.what());
      failed = true;
    } catch (const std::bad_alloc &) {
      // What the file needed is freed by now; the next may need less.
      WriteDiagnostic("directive-host: not enough memory for '" +
                      DisplayName(path) + "'; left as it is");
      failed = true;
    }
  }
  if (failed) {
    return kExitFailure;
  }
  return found ? kExitFound : kExitSuccess;
}

} // namespace directive_host
