#include "platform/ProcessStart_win32.h"
#include "platform/WidePath_win32.h"

namespace directive_host::platform {

namespace {

// Backslashes count only before a quote, where each one and the quote itself
// are escaped with a backslash.
std::wstring Quoted(const std::wstring &argument) {
  if (!argument.empty() &&
      argument.find_first_of(L" \t\n\v\"") == std::wstring::npos) {
    return argument;
  }
  std::wstring quoted = L"\"";
  std::size_t backslashes = 0;
  for (const wchar_t c : argument) {
    if (c == L'\\') {
      ++backslashes;
      continue;
    }
    quoted.append(c == L'"' ? 2 * backslashes + 1 : backslashes, L'\\');
    quoted += c;
    backslashes = 0;
  }
  quoted.append(2 * backslashes, L'\\');
  return quoted + L"\"";
}

} // namespace

std::wstring QuotedCommandLine(const std::string &program,
                               const std::vector<std::string> &arguments) {
  std::wstring line = Quoted(WideText(program));
  for (const std::string &argument : arguments) {
    line += L" " + Quoted(WideText(argument));
  }
  return line;
}

BOOL StartProcessRetrying(const std::function<BOOL()> &start) {
  BOOL started = start();
  for (int retry = 0;
       !started && retry < 3 && GetLastError() == ERROR_INTERNAL_ERROR;
       ++retry) {
    Sleep(100);
    started = start();
  }
  return started;
}

} // namespace directive_host::platform
