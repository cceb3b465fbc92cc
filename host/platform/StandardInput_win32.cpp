#include "platform/StandardInput.h"

#include <windows.h>

namespace directive_host::platform {

namespace {

HANDLE Input() { return GetStdHandle(STD_INPUT_HANDLE); }

} // namespace

StandardInput::StandardInput() { setg(buffer_, buffer_, buffer_); }

StandardInput::int_type StandardInput::underflow() {
  if (gptr() < egptr()) {
    return traits_type::to_int_type(*gptr());
  }
  DWORD got = 0;
  if (!ReadFile(Input(), buffer_, sizeof buffer_, &got, nullptr) || got == 0) {
    return traits_type::eof();
  }
  setg(buffer_, buffer_, buffer_ + got);
  return traits_type::to_int_type(*gptr());
}

std::streamsize StandardInput::showmanyc() { return egptr() - gptr(); }

bool StandardInput::Waiting(int milliseconds) {
  if (gptr() < egptr()) {
    return true;
  }
  // Only a pipe can be asked what it holds; a file or a console is taken
  // as always ready.
  if (GetFileType(Input()) != FILE_TYPE_PIPE) {
    return true;
  }
  const ULONGLONG until =
      GetTickCount64() + static_cast<ULONGLONG>(milliseconds);
  for (;;) {
    DWORD available = 0;
    if (!PeekNamedPipe(Input(), nullptr, 0, nullptr, &available, nullptr) ||
        available > 0) {
      return true; // bytes, or a closed pipe whose end the next read gives
    }
    if (GetTickCount64() >= until) {
      return false;
    }
    Sleep(1);
  }
}

} // namespace directive_host::platform
