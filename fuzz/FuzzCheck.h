// What every fuzz target checks of a callback: the result fits the capacity,
// ends with its NUL, and depends on nothing but the input.
#pragma once

#include "directive_plugin.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

// Aborts with `what` on stderr unless `condition` holds, so that libFuzzer
// keeps the input as a crash.
void Require(bool condition, const char *what);

// The fuzz input as text; a host string made of it ends at its first NUL.
std::string TextOf(const std::uint8_t *data, std::size_t size);

// `text` (up to its first NUL) with its last byte repeated until it is a few
// bytes short of or past DIRECTIVE_RESULT_CAPACITY, `spread` choosing where;
// the empty string stays empty. Drives results across the capacity limit.
std::string Stretched(std::string_view text, std::size_t spread);

// Whether this input also runs stretched: one in `every` (16 unless given),
// chosen by a hash of its bytes, since one stretched run costs as much as
// hundreds of plain ones.
bool StretchThis(const std::uint8_t *data, std::size_t size,
                 std::uint32_t every = 16);

// Calls `parse` on `text` twice, into buffers of exactly the capacity with
// different fill, and once with a null buffer. Returns the result after
// checking that it is NUL-terminated within the capacity and the same both
// times.
std::string CheckedParse(ParseProc parse, const char *text);

// One call of `parse` into a buffer of exactly the capacity; the result after
// checking that it is NUL-terminated within it.
std::string ParseOnce(ParseProc parse, const char *text);

// As ParseOnce, for an assemble callback.
std::string AssembleOnce(AssembleProc assemble, const char *keyword,
                         const char *properties);

// As CheckedParse, for an assemble callback.
std::string CheckedAssemble(AssembleProc assemble, const char *keyword,
                            const char *properties);

// The fuzz input split at its first NUL: the keyword before it, the property
// text after it. Without a NUL the whole input is the keyword.
struct AssembleInput {
  std::string keyword;
  std::string properties;
};
AssembleInput SplitAssembleInput(const std::uint8_t *data, std::size_t size);

// One run of a parse target: `check` on the input as text and, for one input
// in 16, on it stretched across the capacity.
int FuzzParseInput(const std::uint8_t *data, std::size_t size,
                   void (*check)(const std::string &text));

// One run of an assemble target: `check` on the input split by
// SplitAssembleInput and, for one input in 16, with each half stretched.
int FuzzAssembleInput(const std::uint8_t *data, std::size_t size,
                      void (*check)(const std::string &keyword,
                                    const std::string &properties));
