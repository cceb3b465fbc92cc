// A small plug-in for the keyword "#NOTE" that keeps every promise of the ABI
// but the one its FAULT_* macro names, which it breaks as plug-ins are found
// to break it. Each build must fail that check of directive-host validate
// and pass all the others.
//   #NOTE some text   --parse-->   note=some text
#include "host_binding.h"

#include "directive_plugin.h"

#include <atomic>
#include <cstdlib>
#include <cstring>
#include <string>
#include <string_view>

namespace {

constexpr std::size_t kCapacity = DIRECTIVE_RESULT_CAPACITY;
constexpr std::string_view kName = "note=";

std::string_view Trimmed(std::string_view text) {
  const auto blank = [](char c) {
    return c != '\0' && static_cast<unsigned char>(c) <= ' ';
  };
  while (!text.empty() && blank(text.front())) {
    text.remove_prefix(1);
  }
  while (!text.empty() && blank(text.back())) {
    text.remove_suffix(1);
  }
  return text;
}

// The text after '#' and the keyword's letters, trimmed.
std::string_view Value(std::string_view directive) {
  std::size_t at = directive.starts_with('#') ? 1 : 0;
  while (at < directive.size() &&
         ((directive[at] | 0x20) >= 'a' && (directive[at] | 0x20) <= 'z')) {
    ++at;
  }
  return Trimmed(directive.substr(at));
}

#ifdef FAULT_DETERMINISM
// Remembers the last result by the address of its text: wrong once the host
// has put another directive in the same buffer.
std::atomic_flag lastLock = ATOMIC_FLAG_INIT;
const char *lastText = nullptr;
std::string lastResult;

struct Memo {
  Memo() {
    while (lastLock.test_and_set(std::memory_order_acquire)) {
    }
  }
  ~Memo() { lastLock.clear(std::memory_order_release); }
};
#endif

#ifdef FAULT_THREADS
// One scratch buffer for every call.
char scratch[kCapacity];
#endif

void Write(const std::string &result, char *out) {
#ifdef FAULT_TERMINATION
  if (result.empty()) {
    return; // "nothing to write", and no NUL either
  }
#endif
  if (result.size() >= kCapacity) {
    out[0] = '\0';
    return;
  }
#ifdef FAULT_CAPACITY
  // Ends the result with two NULs, as a list of strings is ended, though
  // only one is counted against the capacity.
  std::memcpy(out, result.c_str(), result.size() + 1);
  out[result.size() + 1] = '\0';
#elif defined(FAULT_THREADS)
  std::memcpy(scratch, result.c_str(), result.size() + 1);
  std::memcpy(out, scratch, std::strlen(scratch) + 1);
#else
  std::memcpy(out, result.c_str(), result.size() + 1);
#endif
}

DirectiveBool DIRECTIVE_CALL NoteParse(const char *text, char *out, uint32_t) {
  if (out == nullptr) {
    return 0;
  }
#ifdef FAULT_NULL_POINTERS
  const std::string_view directive(text); // a null text is not looked for
#else
  const std::string_view directive(text != nullptr ? text : "");
#endif
#ifdef FAULT_DETERMINISM
  if (text != nullptr) {
    const Memo memo;
    if (text != lastText) {
      const std::string_view value = Value(directive);
      lastText = text;
      lastResult = value.empty() ? "" : std::string(kName) + std::string(value);
    }
    Write(lastResult, out);
    return 0;
  }
#endif
  const std::string_view value = Value(directive);
#ifdef FAULT_IN_PLACE
  // The name written first, as if out could not be the text.
  if (!value.empty() && kName.size() + value.size() < kCapacity) {
    std::memcpy(out, kName.data(), kName.size());
    std::memmove(out + kName.size(), value.data(), value.size());
    out[kName.size() + value.size()] = '\0';
    return 0;
  }
#endif
  Write(value.empty() ? std::string() : std::string(kName) + std::string(value),
        out);
  return 0;
}

DirectiveBool DIRECTIVE_CALL NoteAssemble(const char *keyword,
                                          const char *properties, char *out) {
  if (out == nullptr) {
    return 0;
  }
  const std::string_view text(properties != nullptr ? properties : "");
  std::string result = keyword != nullptr ? keyword : "";
  for (std::size_t start = 0; start < text.size();) {
    std::size_t end = text.find_first_of("\r\n", start);
    end = end == std::string_view::npos ? text.size() : end;
    const std::string_view line = text.substr(start, end - start);
    if (line.size() >= kName.size() &&
        std::equal(kName.begin(), kName.end(), line.begin(),
                   [](char a, char b) { return a == (b | 0x20) || a == b; })) {
      result += " ";
      result += line.substr(kName.size());
      break;
    }
    start = end + 1;
  }
  Write(result, out);
  return 0;
}

#ifdef FAULT_UNLOAD
// Allocated with each load and never freed.
void *volatile leaked = [] {
  void *block = std::malloc(64 * 1024);
  if (block != nullptr) {
    std::memset(block, 1, 64 * 1024);
  }
  return block;
}();
#endif

void Register() {
#ifdef FAULT_REGISTRATION
  // Registers once per process, however often the host asks.
  static bool registered = false;
  if (registered) {
    return;
  }
  registered = true;
#endif
  if (const RegisterParseAssemblePluginsProc add = HostRegisterEntryPoint()) {
    add("#NOTE", NoteParse, NoteAssemble);
  }
}

} // namespace

#ifdef FAULT_EXPORTS
// Defined with C++ linkage, so that the name is mangled.
namespace faulty {
#ifdef _WIN32
__declspec(dllexport)
#else
__attribute__((visibility("default")))
#endif
void DIRECTIVE_CALL AutoRegister() {
  Register();
}
} // namespace faulty
#else
extern "C" DIRECTIVE_EXPORT void DIRECTIVE_CALL AutoRegister(void) {
  Register();
}
#endif
