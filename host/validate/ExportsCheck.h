// The verdict of the exports check on a module's export list, apart from
// reading it, so that it can be tried on any list.
#pragma once

#include "validate/CheckResult.h"
#include "validate/ModuleExports.h"

namespace directive_host::validate {

CheckResult JudgeExports(const ExportList &list);

} // namespace directive_host::validate
