// Counts the calls a loaded module makes into the system's locale
// comparison, by redirecting its imports of it through a counter: the
// module itself is measured as it is built. One implementation per platform.
#pragma once

namespace bench {

// Starts counting the calls of `module`, a module the measuring host loaded;
// false where this platform offers no count, or the module imports no
// comparison.
bool CountLocaleCalls(void *module);

// The calls counted since CountLocaleCalls.
unsigned long LocaleCallsCounted();

} // namespace bench
