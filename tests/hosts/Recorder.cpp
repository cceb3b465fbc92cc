#include "Recorder.h"

std::vector<Registration> &Registrations() {
  static std::vector<Registration> registrations;
  return registrations;
}

std::array<int, 5> &OtherEntryPointCalls() {
  static std::array<int, 5> calls{};
  return calls;
}
