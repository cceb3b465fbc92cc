// A PropertyList driven through any sequence of FromText, PutValue, ValueOf
// and ToText, checking after each step what must hold of it.
#include "FuzzCheck.h"
#include "properties.h"
#include "support/PropertyListText.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <algorithm>
#include <deque>
#include <limits>
#include <vector>

namespace {

bool HasBreakOrNul(std::string_view line) {
  return line.find_first_of(std::string_view("\r\n\0", 3)) !=
         std::string_view::npos;
}

// ToText writes every line followed by CR LF and nothing else; where no line
// holds a break or NUL, FromText reads the same lines back.
void CheckText(const PropertyList &list) {
  const std::string text = ToText(list);
  std::size_t size = 0;
  for (const std::string &line : LinesOf(list)) {
    size += line.size() + 2;
  }
  if (size >= DIRECTIVE_RESULT_CAPACITY) {
    Require(text.empty(), "ToText past the capacity is not empty");
    return;
  }
  std::size_t pos = 0;
  bool clean = true;
  for (const std::string &line : LinesOf(list)) {
    Require(text.compare(pos, line.size(), line) == 0, "ToText lost a line");
    pos += line.size();
    Require(text.compare(pos, 2, "\r\n") == 0, "line not ended by CR LF");
    pos += 2;
    clean = clean && !HasBreakOrNul(line);
  }
  Require(pos == text.size(), "ToText wrote more than the lines");
  if (clean) {
    PropertyList again;
    again.FromText(text);
    Require(LinesOf(again) == LinesOf(list), "FromText(ToText()) differs");
  }
}

void FromText(PropertyList &list, const std::string &text) {
  list.FromText(text);
  for (const std::string &line : LinesOf(list)) {
    Require(!HasBreakOrNul(line), "FromText kept a break or NUL in a line");
  }
  // Every line and every break but a trailing one comes from the text.
  std::size_t size = 0;
  for (const std::string &line : LinesOf(list)) {
    size += line.size() + 1;
  }
  Require(size <= text.size() + 1, "FromText made more text than it read");
}

void PutValue(PropertyList &list, const std::string &name,
              const std::string &value) {
  const Lines before = LinesOf(list);
  const std::optional<std::size_t> found = list.FindName(name);
  list.PutValue(name, value);
  Lines expected = before;
  if (value.empty()) {
    if (found) {
      expected.erase(expected.begin() + static_cast<std::ptrdiff_t>(*found));
    }
  } else if (found) {
    expected[*found] = name + "=" + value;
  } else {
    expected.push_back(name + "=" + value);
  }
  Require(LinesOf(list) == expected, "PutValue changed the wrong lines");
  if (!value.empty()) {
    Require(list.ValueOf(name) == value, "ValueOf lost what PutValue put");
  }
}

void ValueOf(const PropertyList &list, const std::string &name) {
  const std::string_view value = list.ValueOf(name);
  const std::optional<std::size_t> found = list.FindName(name);
  if (!found) {
    Require(value.empty(), "ValueOf of a missing name is not empty");
    return;
  }
  const std::string line = TextOf(list.Lines()[*found]);
  Require(line.find('=') != std::string::npos, "matched a line sans =");
  Require(value == line.substr(line.find('=') + 1),
          "ValueOf is not the text after the first =");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data,
                                      std::size_t size) {
  FuzzedDataProvider input(data, size);
  // The list views the strings it is given; a deque never moves them.
  std::deque<std::string> texts;
  const auto keep = [&texts](std::string text) -> const std::string & {
    return texts.emplace_back(std::move(text));
  };
  // Texts as a host passes them, up to their first NUL: the callbacks hand
  // the list nothing else, and ToText's result is read back as a host
  // string.
  const auto hostText = [&input](std::size_t maxLength) {
    const std::string text = input.ConsumeRandomLengthString(maxLength);
    return text.substr(0, text.find('\0'));
  };
  PropertyList list;
  while (input.remaining_bytes() > 0) {
    switch (input.ConsumeIntegralInRange<int>(0, 3)) {
    case 0:
      FromText(list, keep(hostText(std::numeric_limits<std::size_t>::max())));
      break;
    case 1: {
      // A name holds no '=' (PutValue's contract): the callbacks put only
      // their own names.
      std::string nameText = hostText(64);
      std::erase(nameText, '=');
      const std::string &name = keep(std::move(nameText));
      PutValue(list, name,
               keep(hostText(std::numeric_limits<std::size_t>::max())));
      break;
    }
    case 2:
      ValueOf(list, input.ConsumeRandomLengthString(64));
      break;
    default:
      CheckText(list);
      break;
    }
  }
  CheckText(list);
  return 0;
}
