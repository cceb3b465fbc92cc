#include "validate/InputGenerator.h"

#include "plugins/Registry.h"
#include "validate/CrashNote.h"

#include <algorithm>
#include <functional>
#include <set>

namespace directive_host::validate {

namespace {

constexpr std::size_t kCapacity = DIRECTIVE_RESULT_CAPACITY;
constexpr std::size_t kLarge = 4096;
constexpr char kPad = 'v';
// Bytes a module may escape, and so lengthen, at the end of a long value: a
// module that counts the result without its escapes overflows only there.
constexpr const char *kTails[] = {"", "\"\\"};

std::string Lower(std::string text) {
  for (char &c : text) {
    c = c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
  }
  return text;
}

// Pieces of directives and property text, plain and awkward.
constexpr const char *kTokens[] = {" ",        "  ",
                                   "\t",       "=",
                                   "==",       "<>",
                                   "\"",       "\"\"",
                                   "x",        "start",
                                   "a b",      "goto",
                                   "set",      "12",
                                   "\x80",     "\xff",
                                   "\xc3\xa9", "\r\n",
                                   "\n",       "\r",
                                   "#",        "'",
                                   "\\",       "name=value",
                                   ";",        "  \"quoted value\"  "};

class Generator {
public:
  Generator(const std::vector<KeywordHandler> &keywords, std::uint64_t seed,
            int iterations)
      : keywords_(keywords), random_(seed),
        iterations_(static_cast<std::size_t>(std::max(iterations, 1))) {}

  GeneratedCalls Run() {
    for (std::size_t k = 0; k < keywords_.size(); ++k) {
      AddParseCalls(k);
    }
    for (std::size_t k = 0; k < keywords_.size(); ++k) {
      AddAssembleCalls(k);
    }
    return std::move(generated_);
  }

private:
  void Add(Call call) {
    if (!seen_.insert(Key(call)).second) {
      return;
    }
    const std::size_t size =
        (call.text ? call.text->size() : 0) +
        (call.keywordArgument ? call.keywordArgument->size() : 0);
    generated_.large.push_back(size > kLarge);
    generated_.calls.push_back(std::move(call));
  }

  static std::string Key(const Call &call) {
    return std::to_string(static_cast<int>(call.kind)) + ':' +
           std::to_string(call.keyword) + ':' +
           call.keywordArgument.value_or("") + '\0' + call.text.value_or("");
  }

  void AddParse(std::size_t k, std::string text) {
    Add({Call::Kind::kParse, k, std::move(text), std::nullopt});
  }
  void AddAssemble(std::size_t k, std::string keyword, std::string text) {
    Add({Call::Kind::kAssemble, k, std::move(text), std::move(keyword)});
  }

  std::optional<std::string> Parse(std::size_t k, const std::string &text) {
    return Result({Call::Kind::kParse, k, text, std::nullopt});
  }
  std::optional<std::string> Assemble(std::size_t k, const std::string &text) {
    return Result({Call::Kind::kAssemble, k, text, keywords_[k].keyword});
  }
  std::optional<std::string> Result(const Call &call) {
    note_.Set("while the inputs were made", Describe(call, keywords_));
    return ResultOf(call, keywords_, buffer_);
  }

  std::string RandomTokens(std::size_t most) {
    std::string text;
    for (std::size_t n = random_.Below(most + 1); n > 0; --n) {
      text += kTokens[random_.Below(std::size(kTokens))];
    }
    return text;
  }

  // The largest n for which make(n) still has a non-empty result, when
  // make(0) has one and make(kCapacity) has none: there the result is
  // about to outgrow the buffer.
  std::optional<std::size_t> LastFitting(
      const std::function<std::optional<std::string>(std::size_t)> &resultOf) {
    const auto fits = [&](std::size_t n) {
      const auto result = resultOf(n);
      return result && !result->empty();
    };
    if (!fits(0) || fits(kCapacity)) {
      return std::nullopt;
    }
    std::size_t low = 0;
    std::size_t high = kCapacity;
    while (high - low > 1) {
      const std::size_t middle = low + (high - low) / 2;
      (fits(middle) ? low : high) = middle;
    }
    return low;
  }

  void AddAround(std::size_t n, const std::function<void(std::size_t)> &add) {
    for (std::size_t m = n > 0 ? n - 1 : 0; m <= n + 2; ++m) {
      add(m);
    }
  }

  void AddParseCalls(std::size_t k) {
    const std::string &name = keywords_[k].keyword;
    for (const std::string &text :
         {std::string(), std::string(" "), std::string("\t"), std::string("#"),
          name, name + " ", Lower(name) + " x", name + " = \"x\"",
          name + " \"a b\"", name + " \"", name + " \"\"", name + "=x",
          name + " x\r\ny", name + " \x80\xff\xc3\xa9",
          name + std::string(300, ' ') + "x"}) {
      AddParse(k, text);
    }
    for (std::size_t i = 0; i < iterations_; ++i) {
      const std::size_t shape = random_.Below(8);
      const std::string head = shape < 6   ? name
                               : shape < 7 ? Lower(name)
                                           : RandomTokens(1);
      AddParse(k, head + RandomTokens(12));
    }
    // Texts longer than any result, and texts whose results come to the
    // capacity.
    AddParse(k, name + " " + std::string(kCapacity + 1000, kPad));
    for (const std::string &before :
         {name + " ", name + " = \"", name + " \""}) {
      for (const std::string tail : kTails) {
        const auto make = [&](std::size_t n) {
          return before + std::string(n, kPad) + tail +
                 (before.back() == ' ' ? "" : "\"");
        };
        if (const auto n =
                LastFitting([&](std::size_t n) { return Parse(k, make(n)); })) {
          AddAround(*n, [&](std::size_t m) { AddParse(k, make(m)); });
        }
      }
    }
  }

  // Property names the module's parse results use, in the order met.
  std::vector<std::string> NamesIn(const std::vector<std::string> &texts) {
    std::vector<std::string> names;
    for (const std::string &text : texts) {
      std::size_t start = 0;
      while (start < text.size()) {
        std::size_t end = text.find_first_of("\r\n", start);
        end = end == std::string::npos ? text.size() : end;
        const std::size_t equals = text.find('=', start);
        if (equals < end && equals > start) {
          std::string name = text.substr(start, equals - start);
          if (std::find(names.begin(), names.end(), name) == names.end()) {
            names.push_back(std::move(name));
          }
        }
        start = end + 1;
      }
    }
    return names;
  }

  static std::string Replaced(std::string text, const std::string &from,
                              const std::string &to) {
    for (std::size_t at = 0; (at = text.find(from, at)) != std::string::npos;
         at += to.size()) {
      text.replace(at, from.size(), to);
    }
    return text;
  }

  void AddAssembleCalls(std::size_t k) {
    const std::string &name = keywords_[k].keyword;
    // The module's own results: every parse result of this keyword.
    std::vector<std::string> results;
    for (const Call &call : generated_.calls) {
      if (call.kind == Call::Kind::kParse && call.keyword == k &&
          call.text->size() <= kLarge) {
        const auto result = Parse(k, *call.text);
        if (result && !result->empty() &&
            std::find(results.begin(), results.end(), *result) ==
                results.end()) {
          results.push_back(*result);
        }
      }
    }
    if (results.size() > iterations_) {
      results.resize(iterations_);
    }
    for (const std::string &result : results) {
      AddAssemble(k, name, result);
    }
    // The same in other spellings: other line breaks, another letter case,
    // another order.
    for (std::size_t i = 0; i < results.size() && i < 10; ++i) {
      const std::string &result = results[i];
      AddAssemble(k, name, Replaced(result, "\r\n", "\n"));
      AddAssemble(k, name, Replaced(result, "\r\n", "\r"));
      AddAssemble(k, Lower(name), result);
      AddAssemble(k, "", result);
      AddAssemble(k, name, AsciiUpper(result));
      AddAssemble(k, name, result + result);
    }
    std::vector<std::string> names = NamesIn(results);
    names.push_back("x");
    for (const std::string &text :
         {std::string(), std::string("="), std::string("\r\n"),
          std::string("name"), std::string("=value"),
          std::string("\x80=\xff")}) {
      AddAssemble(k, name, text);
    }
    for (std::size_t i = 0; i < iterations_; ++i) {
      std::string text;
      for (std::size_t line = random_.Below(6); line > 0; --line) {
        std::string property = names[random_.Below(names.size())];
        if (random_.Below(4) == 0) {
          property = Lower(property);
        }
        text += property + "=" + RandomTokens(3) +
                (random_.Below(3) == 0 ? "\n" : "\r\n");
      }
      AddAssemble(k, name, text);
    }
    // Values whose directive comes to the capacity, and values past it.
    for (std::size_t i = 0; i + 1 < names.size() && i < 6; ++i) {
      const std::string before = names[i] + "=";
      AddAssemble(k, name, before + std::string(kCapacity + 100, kPad));
      for (const std::string tail : kTails) {
        const auto make = [&](std::size_t n) {
          return before + std::string(n, kPad) + tail;
        };
        if (const auto n = LastFitting(
                [&](std::size_t n) { return Assemble(k, make(n)); })) {
          AddAround(*n, [&](std::size_t m) { AddAssemble(k, name, make(m)); });
        }
      }
    }
  }

  const std::vector<KeywordHandler> &keywords_;
  Random random_;
  std::size_t iterations_;
  OutBuffer buffer_;
  CrashNote note_;
  GeneratedCalls generated_;
  std::set<std::string> seen_;
};

} // namespace

std::uint64_t Random::Next() {
  // splitmix64
  std::uint64_t z = (state_ += 0x9e3779b97f4a7c15ull);
  z = (z ^ (z >> 30)) * 0xbf58476d1ce4e5b9ull;
  z = (z ^ (z >> 27)) * 0x94d049bb133111ebull;
  return z ^ (z >> 31);
}

GeneratedCalls GenerateCalls(const std::vector<KeywordHandler> &keywords,
                             std::uint64_t seed, int iterations) {
  return Generator(keywords, seed, iterations).Run();
}

} // namespace directive_host::validate
