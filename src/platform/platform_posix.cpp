#include "platform.h"

#include <dlfcn.h>
#include <link.h>

#include <clocale>
#include <cstdlib>
#include <ctype.h>
#include <cwchar>
#include <cwctype>
#include <locale.h>
#include <wctype.h>

namespace platform {

// False until the user's locale is read, and where it cannot be.
bool detail::asciiFoldsPlainly = false;

std::array<std::uint8_t, kOwnNames.size()> detail::ownNameMatches{};

namespace {

char AsciiLower(char c) {
  return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

char AsciiUpper(char c) {
  return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
}

bool EqualsAsciiIgnoringCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) {
    return false;
  }
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (AsciiLower(a[i]) != AsciiLower(b[i])) {
      return false;
    }
  }
  return true;
}

// The user's default LC_CTYPE locale, as the environment names it. Made once
// when the module loads and freed when it unloads; the host's own process
// locale (setlocale) is never touched.
class UserLocale {
public:
  UserLocale() {
    handle_ = newlocale(LC_CTYPE_MASK, "", locale_t{});
    if (handle_ == locale_t{}) {
      handle_ = newlocale(LC_CTYPE_MASK, "C", locale_t{});
    }
    if (handle_ != locale_t{}) {
      ReadAsciiFolding();
    }
    detail::SettleOwnNameMatches(
        [this](std::string_view a, std::string_view b) { return Equal(a, b); });
  }
  ~UserLocale() {
    if (handle_ != locale_t{}) {
      freelocale(handle_);
    }
  }
  UserLocale(const UserLocale &) = delete;
  UserLocale &operator=(const UserLocale &) = delete;

  bool Equal(std::string_view a, std::string_view b) const {
    if (handle_ == locale_t{}) {
      return EqualsAsciiIgnoringCase(a, b);
    }
    return multibyte_ ? EqualWide(a, b) : EqualBytes(a, b);
  }

private:
  // Whether ASCII folds plainly, and whether a character may take more than
  // one byte.
  void ReadAsciiFolding() {
    const locale_t previous = uselocale(handle_);
    multibyte_ = MB_CUR_MAX > 1;
    uselocale(previous);
    // ASCII folds plainly where every ASCII character folds as in "C", both
    // as a wide character and as a byte: not so in a Turkish locale, for
    // example. Locale encodings keep ASCII bytes as whole characters.
    detail::asciiFoldsPlainly = true;
    for (int c = 0; c < 0x80; ++c) {
      const int lower = AsciiLower(static_cast<char>(c));
      const int upper = AsciiUpper(static_cast<char>(c));
      if (towlower_l(static_cast<wint_t>(c), handle_) !=
              static_cast<wint_t>(lower) ||
          towupper_l(static_cast<wint_t>(c), handle_) !=
              static_cast<wint_t>(upper) ||
          tolower_l(c, handle_) != lower || toupper_l(c, handle_) != upper) {
        detail::asciiFoldsPlainly = false;
      }
    }
  }

  bool SameLetter(wint_t a, wint_t b) const {
    return a == b || towlower_l(a, handle_) == towlower_l(b, handle_) ||
           towupper_l(a, handle_) == towupper_l(b, handle_);
  }

  bool EqualBytes(std::string_view a, std::string_view b) const {
    if (a.size() != b.size()) {
      return false;
    }
    for (std::size_t i = 0; i < a.size(); ++i) {
      const int ca = static_cast<unsigned char>(a[i]);
      const int cb = static_cast<unsigned char>(b[i]);
      if (ca != cb && tolower_l(ca, handle_) != tolower_l(cb, handle_) &&
          toupper_l(ca, handle_) != toupper_l(cb, handle_)) {
        return false;
      }
    }
    return true;
  }

  // Decodes one character at s[i]. A byte that does not start a valid
  // character stands for itself, kept apart from every real character.
  static wint_t NextCharacter(std::string_view s, std::size_t &i,
                              std::mbstate_t &state) {
    wchar_t wide = 0;
    const std::size_t length =
        std::mbrtowc(&wide, s.data() + i, s.size() - i, &state);
    if (length == static_cast<std::size_t>(-1) ||
        length == static_cast<std::size_t>(-2) || length == 0) {
      state = std::mbstate_t{};
      const wint_t raw = static_cast<unsigned char>(s[i]);
      ++i;
      return length == 0 ? 0 : 0x110000 + raw;
    }
    i += length;
    return static_cast<wint_t>(wide);
  }

  bool EqualWide(std::string_view a, std::string_view b) const {
    // mbrtowc follows the calling thread's locale; uselocale switches only
    // this thread, and only for the length of the comparison.
    const locale_t previous = uselocale(handle_);
    std::mbstate_t stateA{};
    std::mbstate_t stateB{};
    std::size_t i = 0;
    std::size_t j = 0;
    bool equal = true;
    while (equal && i < a.size() && j < b.size()) {
      equal =
          SameLetter(NextCharacter(a, i, stateA), NextCharacter(b, j, stateB));
    }
    uselocale(previous);
    return equal && i == a.size() && j == b.size();
  }

  locale_t handle_{};
  bool multibyte_ = false;
};

const UserLocale userLocale;

} // namespace

ModuleHandle AcquireHostModule() {
  // dlopen(NULL) names the main program and takes a reference to it.
  return dlopen(nullptr, RTLD_LAZY);
}

void *FindHostEntryPoint(ModuleHandle module, const char *name) {
  if (module == nullptr) {
    return nullptr;
  }
  // dlsym on the main program's handle searches the whole global scope, so
  // accept the symbol only when the executable itself defines it.
  void *address = dlsym(module, name);
  if (address == nullptr) {
    return nullptr;
  }
  link_map *executable = nullptr;
  if (dlinfo(module, RTLD_DI_LINKMAP, &executable) != 0) {
    return nullptr;
  }
  Dl_info info{};
  link_map *definer = nullptr;
  if (dladdr1(address, &info, reinterpret_cast<void **>(&definer),
              RTLD_DL_LINKMAP) == 0 ||
      definer != executable) {
    return nullptr;
  }
  return address;
}

void ReleaseHostModule(ModuleHandle module) {
  if (module != nullptr) {
    dlclose(module);
  }
}

bool EqualsIgnoringCase(std::string_view a, std::string_view b) {
  return userLocale.Equal(a, b);
}

} // namespace platform
