#include "platform/StandardInput.h"

#include <windows.h>

namespace directive_host::platform {

std::size_t ReadStandardInput(char *buffer, std::size_t size) {
  DWORD got = 0;
  if (!ReadFile(GetStdHandle(STD_INPUT_HANDLE), buffer,
                static_cast<DWORD>(size), &got, nullptr)) {
    return 0;
  }
  return got;
}

bool StandardInputReady(int milliseconds) {
  const HANDLE input = GetStdHandle(STD_INPUT_HANDLE);
  // Only a pipe can be asked what it holds; a file or a console is taken
  // as always ready.
  if (GetFileType(input) != FILE_TYPE_PIPE) {
    return true;
  }
  const ULONGLONG until =
      GetTickCount64() + static_cast<ULONGLONG>(milliseconds);
  for (;;) {
    DWORD available = 0;
    if (!PeekNamedPipe(input, nullptr, 0, nullptr, &available, nullptr) ||
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
