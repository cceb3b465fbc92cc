// The inputs that the benchmarks and the instruction counts share: typical
// directives of each keyword and "#IF" directives of any size.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

enum class CallbackKind { Parse, Assemble };

struct BenchCase {
  std::string id;       // short name for command lines and tables
  std::string callback; // the plug-in function that the case calls
  std::string keyword;  // the keyword the callback is registered for
  CallbackKind kind;
  std::string input; // directive text to parse or property text to assemble
};

// The worked examples: one parse and one assemble each of «#LABEL», «#GOTO»
// and «#IF», and the quoted-action form of «#IF».
std::vector<BenchCase> TypicalCases();

// Sizes in bytes of the "#IF" directives that show how IfParse scales.
std::vector<std::size_t> IfParseSizes();

// IfParse of a well-formed «#IF "..." == "..." goto done» of exactly `size`
// bytes (at least 16), its quoted arguments padded with words; id
// "if-parse-<size>".
BenchCase SizedIfParseCase(std::size_t size);

// IfParse of «#IF wwww... = b goto done» of exactly `size` bytes (at least
// 19): one long unquoted argument, which the scanner reads a character at a
// time; id "if-parse-word-<size>".
BenchCase SizedIfParseWordCase(std::size_t size);

// The typical case, "if-parse-<size>" or "if-parse-word-<size>" named `id`;
// false when there is none.
bool FindCase(const std::string &id, BenchCase &found);
