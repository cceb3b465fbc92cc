#include "platform/TextEncoding.h"

#include <windows.h>

namespace directive_host::platform {

namespace {

std::wstring Wide(UINT codePage, std::string_view text) {
  const int size = static_cast<int>(text.size());
  const int length =
      MultiByteToWideChar(codePage, 0, text.data(), size, nullptr, 0);
  std::wstring wide(static_cast<std::size_t>(length), L'\0');
  MultiByteToWideChar(codePage, 0, text.data(), size, wide.data(), length);
  return wide;
}

// `lossy` is null for code pages that cannot report a missing character
// (UTF-8 among them).
std::string Narrow(UINT codePage, const std::wstring &wide, DWORD flags,
                   BOOL *lossy) {
  const int size = static_cast<int>(wide.size());
  const int length = WideCharToMultiByte(codePage, flags, wide.data(), size,
                                         nullptr, 0, nullptr, lossy);
  std::string narrow(static_cast<std::size_t>(length), '\0');
  WideCharToMultiByte(codePage, flags, wide.data(), size, narrow.data(), length,
                      nullptr, lossy);
  return narrow;
}

} // namespace

std::string NarrowFromUtf8(std::string_view utf8, bool &exact) {
  exact = true;
  if (GetACP() == CP_UTF8) {
    return std::string(utf8);
  }
  // Without WC_NO_BEST_FIT_CHARS a missing letter would quietly become a
  // look-alike ('Ω' -> 'O') and be reported as converted.
  BOOL lossy = FALSE;
  std::string narrow =
      Narrow(CP_ACP, Wide(CP_UTF8, utf8), WC_NO_BEST_FIT_CHARS, &lossy);
  exact = !lossy;
  return narrow;
}

std::string Utf8FromNarrow(std::string_view narrow) {
  if (GetACP() == CP_UTF8) {
    return std::string(narrow);
  }
  return Narrow(CP_UTF8, Wide(CP_ACP, narrow), 0, nullptr);
}

unsigned NarrowCodePage() { return GetACP(); }

} // namespace directive_host::platform
