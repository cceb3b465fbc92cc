// Whole sessions with the built directive-host lsp, as a client has them:
// each transcript in transcripts/ lists the messages the client sends and
// those the server must answer with, in order, and the exit status.
//
//   > {...}      a message, framed and sent
//   >> text      bytes sent as they are (\r, \n, \xNN and \\ escaped)
//   < {...}      the next message the server sends; an object given may
//                leave out members that the server's has
//   = N          the exit status
//   ! text       a line the server's log must hold
// Lines that start with a space or a tab continue the entry above; lines
// that start with '#' are comments.
#include "HostRun.h"
#include "lsp/Frames.h"
#include "lsp/Protocol.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;
using directive_host::lsp::Frame;
using directive_host::lsp::Json;

struct Transcript {
  std::string input;
  std::vector<Json> expected;
  std::vector<std::string> logged;
  int exitCode = -1;
};

std::string Unescaped(const std::string &text) {
  std::string bytes;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] != '\\' || i + 1 == text.size()) {
      bytes += text[i];
      continue;
    }
    const char c = text[++i];
    if (c == 'x' && i + 2 < text.size()) {
      bytes += static_cast<char>(std::stoi(text.substr(i + 1, 2), nullptr, 16));
      i += 2;
      continue;
    }
    bytes += c == 'r' ? '\r' : c == 'n' ? '\n' : c;
  }
  return bytes;
}

Transcript ReadTranscript(const fs::path &path) {
  std::vector<std::string> entries;
  std::istringstream lines(ReadBytes(path));
  for (std::string line; std::getline(lines, line);) {
    if (!line.empty() && (line[0] == ' ' || line[0] == '\t') &&
        !entries.empty()) {
      entries.back() += line;
    } else if (!line.empty() && line[0] != '#') {
      entries.push_back(line);
    }
  }
  Transcript transcript;
  for (const std::string &entry : entries) {
    if (entry.starts_with(">> ")) {
      transcript.input += Unescaped(entry.substr(3));
    } else if (entry.starts_with("> ")) {
      const std::string body = Json::parse(entry.substr(2)).dump();
      transcript.input +=
          "Content-Length: " + std::to_string(body.size()) + "\r\n\r\n" + body;
    } else if (entry.starts_with("< ")) {
      transcript.expected.push_back(Json::parse(entry.substr(2)));
    } else if (entry.starts_with("! ")) {
      transcript.logged.push_back(entry.substr(2));
    } else if (entry.starts_with("= ")) {
      transcript.exitCode = std::stoi(entry.substr(2));
    } else {
      ADD_FAILURE() << path << ": cannot read '" << entry << "'";
    }
  }
  return transcript;
}

// Whether `actual` has all that `expected` has: the members of an object
// (and maybe more), the elements of an array in order and no more, or the
// same value.
bool Matches(const Json &expected, const Json &actual) {
  if (expected.is_object()) {
    if (!actual.is_object()) {
      return false;
    }
    for (const auto &[name, value] : expected.items()) {
      if (!actual.contains(name) || !Matches(value, actual[name])) {
        return false;
      }
    }
    return true;
  }
  if (expected.is_array()) {
    if (!actual.is_array() || actual.size() != expected.size()) {
      return false;
    }
    for (std::size_t i = 0; i < expected.size(); ++i) {
      if (!Matches(expected[i], actual[i])) {
        return false;
      }
    }
    return true;
  }
  return expected == actual;
}

class TranscriptTest : public ::testing::TestWithParam<std::string> {};

TEST_P(TranscriptTest, ServerAnswersAsWritten) {
  const Transcript transcript =
      ReadTranscript(fs::absolute(TRANSCRIPTS_DIR) / (GetParam() + ".txt"));
  const HostRun run =
      RunProgram(fs::absolute(DIRECTIVE_HOST_PATH).make_preferred().string(),
                 {"lsp"}, {transcript.input, {}, "", {}});
  EXPECT_EQ(run.exitCode, transcript.exitCode) << run.err;
  std::istringstream out(run.out);
  std::size_t index = 0;
  directive_host::lsp::FrameReader reader(out);
  for (Frame frame = reader.Next(); frame.kind == Frame::Kind::kMessage;
       frame = reader.Next(), ++index) {
    const Json actual = Json::parse(frame.body);
    ASSERT_LT(index, transcript.expected.size())
        << "an extra message: " << actual.dump();
    EXPECT_TRUE(Matches(transcript.expected[index], actual))
        << "message " << index + 1 << "\n  expected "
        << transcript.expected[index].dump() << "\n  sent     "
        << actual.dump();
  }
  EXPECT_EQ(index, transcript.expected.size()) << "messages missing";
  for (const std::string &line : transcript.logged) {
    EXPECT_NE(run.err.find(line), std::string::npos)
        << "not logged: " << line << "\n  the log:\n"
        << run.err;
  }
}

INSTANTIATE_TEST_SUITE_P(Lsp, TranscriptTest,
                         ::testing::Values("lifecycle", "no-shutdown",
                                           "editing", "recovery",
                                           "hover-format", "lint-hints"));

} // namespace
