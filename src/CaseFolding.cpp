#include "CaseFolding.h"

bool case_folding::EqualsLongAsciiIgnoringCase(std::string_view a,
                                               std::string_view b) {
  // The last word overlaps the one before it.
  const std::size_t size = a.size();
  for (std::size_t i = 0; i + 8 < size; i += 8) {
    if (!FoldedWord(Word(b.data() + i)).Matches(Word(a.data() + i))) {
      return false;
    }
  }
  return FoldedWord(Word(b.data() + size - 8))
      .Matches(Word(a.data() + size - 8));
}

bool CaseInsensitiveName::ByLocaleNotSettled(std::string_view name,
                                             std::string_view other,
                                             bool asciiFoldsPlainly) {
  using namespace case_folding;
  if (other == name) {
    return true;
  }
  if (asciiFoldsPlainly) {
    for (std::size_t i = 0;; ++i) {
      if (i == other.size() || i == name.size()) {
        // Else the other has a character more.
        return other.size() == name.size();
      }
      if (!IsAscii(static_cast<char>(other[i] | name[i]))) {
        break;
      }
      if (other[i] != name[i] && AsciiLower(other[i]) != AsciiLower(name[i])) {
        return false;
      }
    }
  }
  return platform::EqualsIgnoringCase(other, name);
}

bool CaseInsensitiveName::ByLocaleOutOfLine(std::string_view name,
                                            std::size_t own,
                                            std::string_view other,
                                            bool asciiFoldsPlainly) {
  return ByLocale(name, own, other, asciiFoldsPlainly);
}
