// The scripts the end-to-end tests format and lint. Checks that must hold
// for every script, such as the --diff round trip, run over AllScripts().
#pragma once

#include <string>
#include <vector>

struct TestScript {
  std::string name;
  std::string bytes;
};

// Directives of every kind, and lines that only look like them.
extern const std::string kMixedScript;
extern const std::string kMixedFormatted;
extern const std::string kCrLfScript;

// Directives that format must leave as they are, and why.
struct UnsafeCase {
  std::string directive;
  std::string reason;
};
extern const std::vector<UnsafeCase> kUnsafeCases;
std::string UnsafeScript(const std::string &directive);

// Scripts that start with a UTF-8 byte-order mark, or hold one elsewhere,
// and how format prints them.
extern const std::vector<TestScript> kBomScripts;
extern const std::vector<std::string> kBomFormatted;

// A #GOTO line of `length` bytes: the keyword, " = " and a long label.
std::string LongGoto(std::size_t length);

// Scripts with each fault lint reports, and how it reports them (with the
// file name s.txt); and one without faults.
extern const std::string kFaultyScript;
extern const std::string kFaultyFindings;
extern const std::string kCleanScript;

// Every script above, those of the small cases of the tests, and the
// example scripts of the repository.
std::vector<TestScript> AllScripts();
