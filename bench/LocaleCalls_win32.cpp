#include "LocaleCalls.h"

#include "support/ImportRedirect_win32.h"

#include <windows.h>

namespace {

using CompareStringAProc = int(WINAPI *)(LCID, DWORD, LPCSTR, int, LPCSTR, int);

CompareStringAProc compareStringA = nullptr;
unsigned long counted = 0;

int WINAPI CountedCompareStringA(LCID locale, DWORD flags, LPCSTR a,
                                 int aLength, LPCSTR b, int bLength) {
  ++counted;
  return compareStringA(locale, flags, a, aLength, b, bLength);
}

} // namespace

bool bench::CountLocaleCalls(void *module) {
  compareStringA = reinterpret_cast<CompareStringAProc>(
      RedirectKernel32Import(static_cast<HMODULE>(module), "CompareStringA",
                             reinterpret_cast<void *>(&CountedCompareStringA)));
  counted = 0;
  return compareStringA != nullptr;
}

unsigned long bench::LocaleCallsCounted() { return counted; }
