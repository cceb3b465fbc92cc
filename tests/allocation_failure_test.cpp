// Out of memory inside a callback. The host's malloc refuses requests on
// demand; every call that allocates (in place, or with a property text of
// more lines than a list holds inline) must then write the empty string and
// return, with no exception crossing into the host, and no call may need
// more memory than a result can hold, however long its strings.
#include "hosts/FailingAllocator.h"
#include "hosts/PluginFixture.h"
#include "validate/InPlaceCall.h"

#include <sys/resource.h>
#include <unistd.h>

#include <fstream>
#include <optional>
#include <string>
#include <vector>

namespace {

class AllocationFailure : public PluginFixture {};

constexpr std::size_t kCapacity = DIRECTIVE_RESULT_CAPACITY;

// One call: a keyword's parse (no keyword text) or assemble, and where its
// strings lie: in out at an offset, or apart from it.
struct Call {
  std::string what;
  std::string keyword;
  std::string text; // the directive, or the property text of an assemble
  std::optional<std::ptrdiff_t> textAt;
  std::optional<std::string> keywordText; // an assemble's keyword
  std::optional<std::ptrdiff_t> keywordAt;
};

// `callback`, with `around` called before it and again, with false, after.
template <typename Callback, typename Around>
auto Wrapped(Callback callback, Around &around) {
  return [callback, &around](auto... arguments) {
    around(true);
    const DirectiveBool result = callback(arguments...);
    around(false);
    return result;
  };
}

// Makes `call` with `around` wrapped about the callback itself.
template <typename Around>
InPlaceResult Make(const PluginModule &plugin, const Call &call,
                   Around &around) {
  const Registration &registration = plugin.Find(call.keyword);
  if (call.keywordText) {
    return AssembleInPlace(Wrapped(registration.assemble, around),
                           *call.keywordText, call.text, call.textAt,
                           call.keywordAt);
  }
  if (call.textAt) {
    return ParseInPlace(Wrapped(registration.parse, around), call.text,
                        *call.textAt);
  }
  std::vector<char> out(kCapacity, 'X');
  Wrapped(registration.parse, around)(call.text.c_str(), out.data(), 0u);
  return {out.data(), true, true};
}

// Makes `call` while an AllocationRecord refuses from `failFrom` on.
InPlaceResult Recorded(const PluginModule &plugin, const Call &call,
                       std::size_t failFrom, Allocations &seen) {
  std::optional<AllocationRecord> record;
  auto around = [&](bool before) {
    if (before) {
      record.emplace(failFrom);
    } else {
      seen = record->Seen();
      record.reset();
    }
  };
  return Make(plugin, call, around);
}

std::string Lines(std::size_t count) {
  std::string text;
  for (std::size_t i = 0; i < count; ++i) {
    text += "other" + std::to_string(i) + "=x\r\n";
  }
  return text;
}

const std::string kIfProperties =
    "argument1=x\r\noperator===\r\nargument2=y\r\naction=goto\r\n"
    "actionvalue=done\r\n";

// Every call that allocates: each callback in place (its strings at out,
// out starting inside them, the keyword in out), on typical and on long
// strings, and the assembles with a spilled list, apart and in place.
std::vector<Call> AllocatingCalls() {
  const std::string far(1 << 20, ' ');
  // Far more lines than a list holds inline.
  const std::string spilled = Lines(20) + kIfProperties;
  return {
      {"if parse at out", "#IF", "#IF \"x\" == \"y\" goto done", 0, {}, {}},
      {"if parse, out inside",
       "#IF",
       "#IF \"a b\" = \"c d\" set x",
       -3,
       {},
       {}},
      {"if parse of 1 MiB", "#IF", "#IF x" + far + "= y goto z", 0, {}, {}},
      {"goto parse at out", "#GOTO", "#GOTO = \"end\"", 0, {}, {}},
      {"goto parse, out inside", "#GOTO", "#GOTO=end", -2, {}, {}},
      {"goto parse of 1 MiB", "#GOTO", "#GOTO =" + far + "far", 0, {}, {}},
      {"if assemble at out", "#IF", kIfProperties, 0, "#IF", {}},
      {"if assemble, keyword in out", "#IF", kIfProperties, {}, "#IF", 5},
      {"if assemble of 1 MiB",
       "#IF",
       far + "\n" + kIfProperties,
       -7,
       "#IF",
       {}},
      {"if assemble spilled", "#IF", spilled, {}, "#IF", {}},
      {"if assemble spilled at out", "#IF", spilled, 0, "#IF", {}},
      {"label assemble at out", "#LABEL", "label=start", 0, "#LABEL", {}},
      {"goto assemble, keyword in out", "#GOTO", "label=x", {}, "#GOTO", -1},
      {"goto assemble of 1 MiB", "#GOTO", far + "\nlabel=x", 1, "#GOTO", {}},
      {"goto assemble spilled", "#GOTO", spilled + "label=x", {}, "#GOTO", {}},
      {"goto assemble spilled, out inside", "#GOTO", spilled + "label=x", -9,
       "#GOTO", 9},
  };
}

TEST_F(AllocationFailure, EveryRefusedAllocationGivesTheEmptyString) {
  for (const Call &call : AllocatingCalls()) {
    Allocations seen;
    const InPlaceResult whole =
        Recorded(Plugin(), call, AllocationRecord::kNever, seen);
    ASSERT_TRUE(whole.terminated) << call.what;
    EXPECT_NE(whole.result, "") << call.what;
    // Else this case would test nothing.
    EXPECT_GT(seen.count, 0u) << call.what;
    EXPECT_LE(seen.largest, kCapacity) << call.what;
    const std::size_t allocations = seen.count;
    for (std::size_t failFrom = 0; failFrom < allocations; ++failFrom) {
      const std::string what =
          call.what + ", refused from allocation " + std::to_string(failFrom);
      InPlaceResult refused;
      EXPECT_NO_THROW(refused = Recorded(Plugin(), call, failFrom, seen))
          << what;
      EXPECT_TRUE(seen.refused) << what;
      // The call gives up at the refusal, throwing nothing even inside: a
      // throw asks for memory of its own, and where the C++ runtime came
      // with the module (a C host) the C library ends the process when it
      // gets none for the thread's exception state.
      EXPECT_EQ(seen.count, failFrom + 1) << what;
      EXPECT_TRUE(refused.keptToCapacity) << what;
      EXPECT_TRUE(refused.terminated) << what;
      EXPECT_EQ(refused.result, "") << what;
    }
  }
}

// Typical calls with separate buffers allocate nothing at all.
TEST_F(AllocationFailure, SeparateBuffersNeedNoMemory) {
  const Call calls[] = {
      {"if parse", "#IF", "#IF \"x\" == \"y\" goto done", {}, {}, {}},
      {"goto parse", "#GOTO", "#GOTO = end", {}, {}, {}},
      {"if assemble", "#IF", kIfProperties, {}, "#IF", {}},
      {"label assemble", "#LABEL", "label=start", {}, "#LABEL", {}},
  };
  for (const Call &call : calls) {
    Allocations seen;
    const InPlaceResult result = Recorded(Plugin(), call, 0, seen);
    EXPECT_EQ(seen.count, 0u) << call.what;
    EXPECT_NE(result.result, "") << call.what;
  }
}

// Bytes of address space the process has mapped.
std::size_t AddressSpaceBytes() {
  std::ifstream statm("/proc/self/statm");
  std::size_t pages = 0;
  statm >> pages;
  return pages * static_cast<std::size_t>(sysconf(_SC_PAGESIZE));
}

// The same without fault injection: a parse in place of a text far longer
// than a result, under an address-space limit that leaves less room than a
// copy of the text would need.
TEST_F(AllocationFailure, InPlaceParseFitsWhereACopyOfItsTextWouldNot) {
  constexpr std::size_t kLong = 32 << 20;
  constexpr std::size_t kRoom = 8 << 20;
  const Call calls[] = {
      {"goto", "#GOTO", "#GOTO =" + std::string(kLong, ' ') + "far", 0, {}, {}},
      {"if", "#IF", "#IF x" + std::string(kLong, '\t') + "= y", 0, {}, {}},
  };
  const char *const expected[] = {
      "label=far",
      "argument1=x\r\noperator==\r\nargument2=y\r\naction=\r\nactionvalue=\r\n",
  };
  for (std::size_t i = 0; i < std::size(calls); ++i) {
    rlimit saved{};
    ASSERT_EQ(getrlimit(RLIMIT_AS, &saved), 0);
    auto around = [&saved](bool before) {
      rlimit limit = saved;
      if (before) {
        limit.rlim_cur = AddressSpaceBytes() + kRoom;
      }
      ASSERT_EQ(setrlimit(RLIMIT_AS, &limit), 0);
    };
    InPlaceResult result;
    EXPECT_NO_THROW(result = Make(Plugin(), calls[i], around)) << calls[i].what;
    setrlimit(RLIMIT_AS, &saved);
    EXPECT_EQ(result.result, expected[i]) << calls[i].what;
  }
}

} // namespace
