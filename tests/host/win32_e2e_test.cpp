// End-to-end tests of directive-host that rest on Windows: the counterparts
// of the POSIX-only cases.
#include "HostTest.h"

namespace {} // namespace
