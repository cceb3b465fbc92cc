// The validator's units, in this process: how it escapes, reads exports,
// judges exports and registrations, tells a child's end, and generates its
// calls; and what it takes of the host's process state.
#include "ValidateTest.h"

#include "platform/HostState.h"

#include "validate/CheckRunner.h"
#include "validate/Escape.h"
#include "validate/ExportsCheck.h"
#include "validate/InputGenerator.h"
#include "validate/ModuleExports.h"
#include "validate/ModuleUnderTest.h"
#include "validate/RegistrationCheck.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cfenv>
#include <clocale>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <stdexcept>

namespace directive_host::validate {
namespace {

void IgnoreInterrupt(int) {}

// A locale other than "C" that every test machine has.
#ifdef _WIN32
constexpr const char *kOtherLocale = "English_United States.1252";
#else
constexpr const char *kOtherLocale = "C.UTF-8";
#endif

// Each change a module may make shows in the part of the state it belongs
// to, and undone, leaves the state as it was.
TEST(HostState, EachChangeShowsInItsPart) {
  const std::filesystem::path folder = std::filesystem::current_path();
  std::FILE *file = nullptr;
  // Set as the undo sets it, flags and all.
  std::signal(SIGINT, SIG_DFL);
  const struct {
    const char *part; // a prefix of the part's name
    std::function<void()> change;
    std::function<void()> undo;
  } cases[] = {
    {"locale LC_NUMERIC", [] { std::setlocale(LC_NUMERIC, ""); },
     [] { std::setlocale(LC_NUMERIC, "C"); }},
    {"floating-point", [] { std::fesetround(FE_UPWARD); },
     [] { std::fesetround(FE_TONEAREST); }},
    {"signal SIGINT", [] { std::signal(SIGINT, IgnoreInterrupt); },
     [] { std::signal(SIGINT, SIG_DFL); }},
    {"working folder",
     [&] { std::filesystem::current_path(folder.parent_path()); },
     [&] { std::filesystem::current_path(folder); }},
#ifdef _WIN32
    {"lowest free descriptor",
#else
    {"descriptor ",
#endif
     [&] { file = std::fopen(kEchoPlugin.c_str(), "rb"); },
     [&] { std::fclose(file); }},
  };
  for (const auto &c : cases) {
    const platform::ProcessState before = platform::HostProcessState();
    c.change();
    const platform::ProcessState after = platform::HostProcessState();
    c.undo();
    EXPECT_EQ(platform::HostProcessState(), before) << c.part;
    std::vector<std::string> changed;
    for (const auto &[name, value] : after) {
      const auto was = before.find(name);
      if (was == before.end() || was->second != value) {
        changed.push_back(name);
      }
    }
    // One part, or for the locale one category and the whole after it.
    ASSERT_FALSE(changed.empty()) << c.part;
    EXPECT_LE(changed.size(), 2u) << c.part;
    EXPECT_TRUE(changed[0].starts_with(c.part)) << changed[0];
  }
}

TEST(HostState, CapturedOutputHoldsBothStreams) {
  std::string bytes;
  {
    const platform::CapturedOutput output;
    EXPECT_EQ(output.Bytes(), "");
    std::fputs("out ", stdout);
    std::fputs("err", stderr);
    bytes = output.Bytes();
    std::fputs("!", stdout);
    EXPECT_EQ(output.Bytes(), bytes + "!");
  }
  // Standard error is unbuffered: its bytes may come first.
  EXPECT_EQ(bytes.size(), 7u) << bytes;
  EXPECT_NE(bytes.find("out "), std::string::npos) << bytes;
  EXPECT_NE(bytes.find("err"), std::string::npos) << bytes;
}

TEST(Escape, QuotedAndJson) {
  const struct {
    std::string bytes;
    std::string quoted;
  } cases[] = {
      {"", "\"\""},
      {"a\"b\\'", "\"a\\\"b\\\\'\""},
      {"\r\n\t", "\"\\r\\n\\t\""},
      {"\x80\xff", "\"\\x80\\xff\""},
      // A digit after a hex escape would join it.
      {"\x80"
       "1",
       "\"\\x80\"\"1\""},
      {std::string(15, 'v'), "\"" + std::string(15, 'v') + "\""},
      {std::string(16, 'v'), "<16 x 'v'>"},
      {"ab" + std::string(20, '\'') + "c", "\"ab\"<20 x '\\''>\"c\""},
      {std::string(17, '\0'), "<17 x '\\x00'>"},
  };
  for (const auto &c : cases) {
    EXPECT_EQ(CLiteral(c.bytes), c.quoted) << c.quoted;
  }
  EXPECT_EQ(JsonString("a\"\\\n\x01\xe9"), "\"a\\\"\\\\\\n\\u0001\\u00e9\"");
}

TEST(Exports, Judged) {
  const struct {
    ExportList list;
    CheckStatus status;
    std::string fragment;
  } cases[] = {
      {{{{"AutoRegister", true}}, ""},
       CheckStatus::kPassed,
       "exports AutoRegister"},
      {{{{"AutoRegister", true}, {"Helper", true}}, ""},
       CheckStatus::kPassed,
       "note: it also exports \"Helper\""},
      {{{{"AutoRegister@0", true}}, ""},
       CheckStatus::kFailed,
       "\"AutoRegister@0\""},
      {{{{"_Z12AutoRegisterv", true}}, ""},
       CheckStatus::kFailed,
       "extern \"C\""},
      {{{{"AutoRegister", false}}, ""}, CheckStatus::kFailed, "as data"},
      {{{{"Register", true}}, ""}, CheckStatus::kFailed, "only \"Register\""},
      {{{}, ""}, CheckStatus::kFailed, "exports nothing"},
  };
  for (const auto &c : cases) {
    const CheckResult result = JudgeExports(c.list);
    EXPECT_EQ(result.status, c.status) << c.fragment;
    EXPECT_NE(result.detail.find(c.fragment), std::string::npos)
        << result.detail;
  }
}

std::string FileBytes(const std::string &path) {
  std::ifstream file(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(file), {}};
}

std::vector<std::string> Names(const ExportList &list) {
  std::vector<std::string> names;
  for (const ModuleExport &entry : list.exports) {
    names.push_back(entry.name);
  }
  return names;
}

// This platform's modules (ELF or PE), read from their files: ours exports
// AutoRegister alone, the example too, the faulty one a mangled name.
TEST(Exports, ReadFromModuleFiles) {
  for (const std::string &module : {kDefaultPlugin, kEchoPlugin}) {
    const ExportList list = ReadExportsOfFile(module);
    EXPECT_EQ(list.error, "") << module;
    EXPECT_EQ(Names(list), std::vector<std::string>{"AutoRegister"}) << module;
  }
  for (const auto &[check, module] : FaultyModules()) {
    const std::vector<std::string> names = Names(ReadExportsOfFile(module));
    const std::string found = AutoRegisterExport(names);
    if (check == "exports") {
      EXPECT_NE(found.find("AutoRegister"), std::string::npos);
      EXPECT_NE(found, "AutoRegister");
    } else {
      EXPECT_EQ(found, "AutoRegister") << module;
    }
  }
  EXPECT_NE(ReadExports("not a module").error, "");
  EXPECT_NE(ReadExportsOfFile(kDefaultPlugin + ".missing").error, "");
}

// A module cut short anywhere reads as an error or as fewer exports, never
// as names it does not have, and never crashes.
TEST(Exports, TruncatedModulesAreReadSafely) {
  const std::string image = FileBytes(kDefaultPlugin);
  ASSERT_GT(image.size(), 1000u);
  for (std::size_t length = 0; length < image.size();
       length += 1 + length / 7) {
    const ExportList list =
        ReadExports(std::string_view(image).substr(0, length));
    for (const std::string &name : Names(list)) {
      EXPECT_EQ(name, "AutoRegister") << "cut at " << length;
    }
  }
}

// A module for another machine is reported as such, from its header, where
// the system's loader says only that it cannot load it.
TEST(Exports, ForeignMachineIsNamed) {
  const bool wide = sizeof(void *) == 8;
  // The ELF header up to e_machine, little-endian, of an AArch64 module.
  std::string elf = std::string("\x7f"
                                "ELF\x02\x01\x01",
                                7) +
                    std::string(11, '\0') + std::string("\xb7\x00", 2);
  // An MZ stub pointing at a PE header for the other x86 width.
  std::string pe(0x48, '\0');
  pe.replace(0, 2, "MZ");
  pe[0x3c] = 0x40;
  pe.replace(0x40, 4, std::string("PE\0\0", 4));
  pe.replace(0x44, 2, wide ? std::string("\x4c\x01", 2) : "\x64\x86");
  const struct {
    std::string image;
    std::optional<std::string> foreign;
  } cases[] = {
      {elf, std::string("an AArch64 module; this validator is ") +
                (wide ? "x86-64" : "x86 (32-bit)")},
      {pe, wide ? "a 32-bit module; this validator is 64-bit"
                : "a 64-bit module; this validator is 32-bit"},
      {FileBytes(kDefaultPlugin), std::nullopt},
      {elf.substr(0, 19), std::nullopt},
      {pe.substr(0, 0x45), std::nullopt},
      {"not a module", std::nullopt},
  };
  for (const auto &c : cases) {
    EXPECT_EQ(ForeignMachine(c.image), c.foreign) << c.foreign.value_or("");
  }
  // Loading it fails with that reason, not the loader's.
  const std::string path =
      (std::filesystem::temp_directory_path() / "directive-foreign.so")
          .string();
  std::ofstream(path, std::ios::binary) << elf << std::string(64, '\0');
  try {
    const ModuleUnderTest module(path);
    ADD_FAILURE() << "an AArch64 module loaded";
  } catch (const NotLoaded &error) {
    EXPECT_EQ(std::string(error.what()), "it is " + *cases[0].foreign);
  }
  std::filesystem::remove(path);
  EXPECT_EQ(LoadFailure(path, "the loader's"), "the loader's");
}

// A parse call with an extra shows it; one with 0, as most calls, does not.
TEST(Calls, DescribedWithTheirExtra) {
  const std::vector<KeywordHandler> keywords = {{"#A", nullptr, nullptr}};
  Call call{Call::Kind::kParse, 0, "#A x", std::nullopt};
  EXPECT_EQ(Describe(call, keywords), "\"#A\" parse(\"#A x\")");
  call.extra = 0xffffffff;
  EXPECT_EQ(Describe(call, keywords),
            "\"#A\" parse(\"#A x\", extra 0xffffffff)");
  call.extra = 1;
  EXPECT_EQ(Describe(call, keywords), "\"#A\" parse(\"#A x\", extra 1)");
}

DirectiveBool DIRECTIVE_CALL ParseA(const char *, char *, uint32_t) {
  return 0;
}
DirectiveBool DIRECTIVE_CALL ParseB(const char *, char *, uint32_t) {
  return 0;
}
DirectiveBool DIRECTIVE_CALL AssembleA(const char *, const char *, char *) {
  return 0;
}

TEST(Registration, EachRuleIsJudged) {
  static const char kGood[] = "#A";
  const RegistrationCall good{kGood, ParseA, AssembleA};
  const auto run = [](std::vector<RegistrationCall> first,
                      std::vector<std::string> later = {},
                      std::vector<RegistrationCall> second = {}) {
    RegistrationRun r;
    r.first = first;
    for (const RegistrationCall &call : first) {
      r.firstKeywords.push_back(call.keyword != nullptr ? call.keyword : "");
    }
    r.laterKeywords = later.empty() ? r.firstKeywords : later;
    r.second = second.empty() && !first.empty() ? first : second;
    return r;
  };
  const struct {
    RegistrationRun run;
    std::string fragment; // "" when the run keeps every rule
  } cases[] = {
      {run({good}), ""},
      {run({good, {"#B", ParseB, AssembleA}}), ""},
      {run({}), "registers no keyword"},
      {run({{nullptr, ParseA, AssembleA}}), "null keyword"},
      {run({{"", ParseA, AssembleA}}), "empty keyword"},
      {run({{"A", ParseA, AssembleA}}), "does not start with '#'"},
      {run({{"#A B", ParseA, AssembleA}}), "holds whitespace"},
      {run({{"#A\t", ParseA, AssembleA}}), "holds whitespace"},
      {run({{"#A", nullptr, AssembleA}}), "null parse callback"},
      {run({{"#A", ParseA, nullptr}}), "null assemble callback"},
      {run({good}, {"#Z"}), "reads \"#Z\" after later calls"},
      {run({good}, {}, {good, good}),
       "makes 2 registrations, the first made 1"},
      {run({good}, {}, {{"#B", ParseA, AssembleA}}),
       "\"#B\" instead of \"#A\""},
      {run({good}, {}, {{kGood, ParseB, AssembleA}}), "with other callbacks"},
      {run({good, {"#B", ParseB, AssembleA}, {"#A", ParseB, AssembleA}}),
       "registration 3, \"#A\", registers again the keyword of registration "
       "1, \"#A\": the host"},
      {run({good, {"#a", ParseB, AssembleA}}),
       "\"#a\", registers again the keyword of registration 1, \"#A\" "
       "(keywords are compared without regard to ASCII case)"},
      {run({good,
            {"#\xc3\xa9", ParseB, AssembleA},
            {"#\xc3\x89", ParseB, AssembleA}}),
       ""},
  };
  RegistrationRun late = run({good});
  late.late.push_back({"#L", "\"#A\" parse(\"x\")"});
  EXPECT_EQ(RegistrationFault(late),
            "a registration of \"#L\" came from inside \"#A\" "
            "parse(\"x\"), not from AutoRegister: hosts ignore it");
  for (const auto &c : cases) {
    const std::string fault = RegistrationFault(c.run);
    if (c.fragment.empty()) {
      EXPECT_EQ(fault, "");
    } else {
      EXPECT_NE(fault.find(c.fragment), std::string::npos)
          << "expected '" << c.fragment << "' in '" << fault << "'";
    }
  }
}

TEST(ChildResult, ReadFromHowTheChildEnded) {
  using End = directive_host::platform::ChildOutcome::End;
  const CheckResult failed{CheckStatus::kFailed, "it broke\nbadly",
                           "the \"input\""};
  const std::string note =
      std::string(directive_host::platform::kCrashNoteMarker) +
      "in a callback\nparse(\"x\")";
  const struct {
    directive_host::platform::ChildOutcome outcome;
    CheckStatus status;
    std::string detail;
    std::string input;
  } cases[] = {
      {{End::kExited, 0, "", "noise" + ResultRecord(failed)},
       CheckStatus::kFailed,
       failed.detail,
       failed.input},
      {{End::kExited, 0, "",
        ResultRecord({CheckStatus::kNotLoaded, "gone", ""})},
       CheckStatus::kNotLoaded,
       "gone",
       ""},
      {{End::kCrashed, -1, "signal 11 (Segmentation fault)", note},
       CheckStatus::kCrashed,
       "crashed: signal 11 (Segmentation fault) in a callback",
       "parse(\"x\")"},
      {{End::kExited, 124, "",
        std::string(directive_host::platform::kHangNoteMarker) +
            "while the inputs were made\nparse(\"\\\\\")"},
       CheckStatus::kTimedOut,
       "a call did not return within 3 s: while the inputs were made",
       "parse(\"\\\\\")"},
      {{End::kCrashed, -1, "access violation (0xc0000005)", ""},
       CheckStatus::kCrashed,
       "crashed: access violation (0xc0000005)",
       ""},
      {{End::kTimedOut, -1, "", ""},
       CheckStatus::kTimedOut,
       "did not end within 2.5 s",
       ""},
      // abort() on Windows, after its note.
      {{End::kExited, 3, "", note},
       CheckStatus::kCrashed,
       "crashed: aborted (exit code 3) in a callback",
       "parse(\"x\")"},
      {{End::kExited, 3, "", "half a record"},
       CheckStatus::kCrashed,
       "ended with exit code 3 before it had a result",
       ""},
      {{End::kExited, 0, "", ResultRecord(failed).substr(0, 50)},
       CheckStatus::kCrashed,
       "ended with exit code 0 before it had a result",
       ""},
      {{End::kNotStarted, -1, "no such file", ""},
       CheckStatus::kFailed,
       "the validator could not start a process for it: no such file",
       ""},
  };
  for (const auto &c : cases) {
    const CheckResult result = ResultOfChild(c.outcome, 2.5, 3);
    EXPECT_EQ(result.status, c.status) << c.detail;
    EXPECT_EQ(result.detail, c.detail);
    EXPECT_EQ(result.input, c.input);
  }
}

// Callbacks that let an exception leave the module.
DirectiveBool DIRECTIVE_CALL ThrowingParse(const char *, char *, uint32_t) {
  throw std::length_error("too long");
}
DirectiveBool DIRECTIVE_CALL ThrowingAssemble(const char *, const char *,
                                              char *) {
  throw 7;
}
const std::vector<KeywordHandler> kThrowing = {
    {"#T", ThrowingParse, ThrowingAssemble}};

CheckResult AssembleThrowing(const CheckContext &) {
  OutBuffer buffer;
  ResultOf({Call::Kind::kAssemble, 0, "a=b", "#T"}, kThrowing, buffer);
  return {CheckStatus::kPassed, "the exception was lost", ""};
}

TEST(ModuleThrew, FailsTheCheckWithTheCallThatThrew) {
  const struct {
    Call call;
    std::string message;
  } cases[] = {
      {{Call::Kind::kParse, 0, "#T \x80", std::nullopt}, "too long"},
      {{Call::Kind::kAssemble, 0, std::nullopt, "#T"},
       "not derived from std::exception"},
  };
  for (const auto &c : cases) {
    try {
      Perform(c.call, kThrowing, nullptr);
      ADD_FAILURE() << "no exception: " << c.message;
    } catch (const ModuleThrew &error) {
      EXPECT_NE(std::string(error.what()).find(c.message), std::string::npos)
          << error.what();
      EXPECT_EQ(error.input(), Describe(c.call, kThrowing));
    }
  }
  const CheckResult result = RunHere({"x", false, AssembleThrowing}, {});
  EXPECT_EQ(result.status, CheckStatus::kFailed);
  EXPECT_NE(result.detail.find("an exception left the module: "),
            std::string::npos)
      << result.detail;
  EXPECT_EQ(result.input, "\"#T\" assemble(\"#T\", \"a=b\")");
}

TEST(ChildProcess, TellsExitCrashAndHang) {
  const directive_host::platform::ChildOutcome printed =
      directive_host::platform::RunChild(testProgram, {"--child-print"}, 60);
  EXPECT_EQ(printed.end, directive_host::platform::ChildOutcome::End::kExited);
  EXPECT_EQ(printed.exitCode, 7);
  EXPECT_EQ(printed.output, "printed");

  const directive_host::platform::ChildOutcome crashed =
      directive_host::platform::RunChild(testProgram, {"--child-crash"}, 60);
  EXPECT_EQ(crashed.end, directive_host::platform::ChildOutcome::End::kCrashed)
      << crashed.exitCode;
  EXPECT_NE(crashed.reason, "");
  EXPECT_EQ(crashed.output,
            std::string(directive_host::platform::kCrashNoteMarker) +
                "in the test\nthe input");

  const directive_host::platform::ChildOutcome hung =
      directive_host::platform::RunChild(testProgram, {"--child-hang"}, 1);
  EXPECT_EQ(hung.end, directive_host::platform::ChildOutcome::End::kTimedOut);

  const directive_host::platform::ChildOutcome missing =
      directive_host::platform::RunChild(testProgram + ".missing", {}, 60);
  EXPECT_EQ(missing.end,
            directive_host::platform::ChildOutcome::End::kNotStarted);
  EXPECT_NE(missing.reason, "");
}

// The calls for our own module: the same for the same seed, other for
// another, with results near the capacity and parse results fed to assemble.
TEST(Generator, MakesTheCallsTheChecksNeed) {
  const ModuleUnderTest module(kDefaultPlugin);
  const std::vector<KeywordHandler> keywords = Callable(module.Register());
  ASSERT_EQ(keywords.size(), 3u);
  const GeneratedCalls calls = GenerateCalls(keywords, 42, 20);
  EXPECT_EQ(GenerateCalls(keywords, 42, 20).calls, calls.calls);
  EXPECT_NE(GenerateCalls(keywords, 43, 20).calls, calls.calls);
  ASSERT_EQ(calls.large.size(), calls.calls.size());

  OutBuffer buffer;
  std::size_t nearTheCapacity = 0;
  std::size_t pastTheCapacity = 0;
  std::size_t fedBack = 0;
  for (const Call &call : calls.calls) {
    const auto result = ResultOf(call, keywords, buffer);
    ASSERT_TRUE(result);
    nearTheCapacity += result->size() + 4 > DIRECTIVE_RESULT_CAPACITY;
    pastTheCapacity += call.text->size() > DIRECTIVE_RESULT_CAPACITY;
    if (call.kind == Call::Kind::kParse && !result->empty()) {
      fedBack += std::count_if(calls.calls.begin(), calls.calls.end(),
                               [&](const Call &other) {
                                 return other.kind == Call::Kind::kAssemble &&
                                        other.text == result;
                               }) > 0;
    }
  }
  // Each keyword's parse and assemble reach the last bytes of the capacity.
  EXPECT_GE(nearTheCapacity, 6u);
  EXPECT_GE(pastTheCapacity, 6u);
  EXPECT_GE(fedBack, 20u);
  for (const std::string text : {"", " ", "#LABEL", "#IF \"\""}) {
    EXPECT_NE(std::find_if(calls.calls.begin(), calls.calls.end(),
                           [&](const Call &c) { return c.text == text; }),
              calls.calls.end())
        << text;
  }
}

// "#Q": parse gives "v=" and the text after "#Q "; assemble quotes the value
// with '"' and '\' escaped, but judges the fit without the escapes.
void WriteUnchecked(const std::string &result, char *out) {
  std::memcpy(out, result.c_str(), result.size() + 1);
}
DirectiveBool DIRECTIVE_CALL QuoteParse(const char *text, char *out, uint32_t) {
  const std::string directive = text;
  const std::string result =
      directive.size() > 3 ? "v=" + directive.substr(3) : "";
  WriteUnchecked(result.size() < DIRECTIVE_RESULT_CAPACITY ? result : "", out);
  return 0;
}
DirectiveBool DIRECTIVE_CALL MiscountingAssemble(const char *keyword,
                                                 const char *properties,
                                                 char *out) {
  const std::string text = properties;
  const std::string value = text.starts_with("v=") ? text.substr(2) : "";
  std::string result = std::string(keyword) + " \"";
  const std::size_t unescaped = result.size() + value.size() + 1;
  for (const char c : value) {
    result +=
        c == '"' || c == '\\' ? "\\" + std::string(1, c) : std::string(1, c);
  }
  result += '"';
  WriteUnchecked(unescaped < DIRECTIVE_RESULT_CAPACITY ? result : "", out);
  return 0;
}

TEST(Generator, ReachesTheCapacityWithBytesAModuleEscapes) {
  const std::vector<KeywordHandler> keywords = {
      {"#Q", QuoteParse, MiscountingAssemble}};
  OutBuffer buffer; // its slack takes the few bytes written too far
  std::size_t overflows = 0;
  for (const Call &call : GenerateCalls(keywords, 1, 10).calls) {
    overflows += !ResultOf(call, keywords, buffer);
  }
  EXPECT_GT(overflows, 0u);
}

} // namespace
} // namespace directive_host::validate
