// A watchdog over the calls of a module's code: a call that hangs ends the
// process with the current crash note, so that the hang is reported with
// the call that hung instead of waiting out a whole check's time limit.
#pragma once

namespace directive_host::platform {

// From now on, when calls are under way (on any thread) and none has started
// or ended for `seconds`, ends the process through EndHungProcess.
void WatchCalls(double seconds);

// While it lives, a call of the module's code is under way.
class CallUnderWay {
public:
  CallUnderWay();
  ~CallUnderWay();
  CallUnderWay(const CallUnderWay &) = delete;
  CallUnderWay &operator=(const CallUnderWay &) = delete;
};

} // namespace directive_host::platform
