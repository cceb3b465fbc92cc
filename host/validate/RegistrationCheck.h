// The rules of registration, judged on what a module's AutoRegister did, apart
// from running it, so that they can be tried on any record.
#pragma once

#include "plugins/HostEntryPoints.h"

#include <string>
#include <vector>

namespace directive_host::validate {

struct RegistrationRun {
  std::vector<RegistrationCall> first; // the first AutoRegister's calls
  // Each keyword's text as registered ("" for null), and as the same
  // pointers read after the callbacks were used and AutoRegister ran again.
  std::vector<std::string> firstKeywords;
  std::vector<std::string> laterKeywords;
  std::vector<RegistrationCall> second; // the second AutoRegister's calls
  // Registrations made from inside a callback: the keyword ("" for null)
  // and the call, as a report shows it, that made it.
  struct Late {
    std::string keyword;
    std::string call;
  };
  std::vector<Late> late;
};

// The first rule the run breaks, as a sentence; "" when it keeps them all.
std::string RegistrationFault(const RegistrationRun &run);

} // namespace directive_host::validate
