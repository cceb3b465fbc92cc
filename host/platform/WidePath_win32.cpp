#include "platform/WidePath_win32.h"

#include <windows.h>

#include <vector>

namespace directive_host::platform {

std::wstring WideText(const std::string &text) {
  const int length = MultiByteToWideChar(
      CP_ACP, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
  std::wstring wide(static_cast<std::size_t>(length), L'\0');
  MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()),
                      wide.data(), length);
  return wide;
}

std::string AnsiText(const std::wstring &text) {
  const int length =
      WideCharToMultiByte(CP_ACP, 0, text.data(), static_cast<int>(text.size()),
                          nullptr, 0, nullptr, nullptr);
  std::string ansi(static_cast<std::size_t>(length), '\0');
  WideCharToMultiByte(CP_ACP, 0, text.data(), static_cast<int>(text.size()),
                      ansi.data(), length, nullptr, nullptr);
  return ansi;
}

std::wstring WidePath(const std::string &path) {
  const std::wstring wide = WideText(path);
  if (wide.size() < MAX_PATH || wide.starts_with(L"\\\\?\\")) {
    return wide;
  }
  // GetFullPathNameW resolves "." and "..", which the prefix passes through
  // as names, and turns '/' into '\'.
  std::vector<wchar_t> full(wide.size() + MAX_PATH);
  for (;;) {
    const DWORD length = GetFullPathNameW(
        wide.c_str(), static_cast<DWORD>(full.size()), full.data(), nullptr);
    if (length == 0) {
      return wide;
    }
    if (length < full.size()) {
      const std::wstring absolute(full.data(), length);
      if (absolute.starts_with(L"\\\\")) {
        return L"\\\\?\\UNC\\" + absolute.substr(2); // \\server\share\...
      }
      return L"\\\\?\\" + absolute;
    }
    full.resize(length);
  }
}

} // namespace directive_host::platform
