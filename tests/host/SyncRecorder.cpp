// Preloaded into directive-host by a test: appends a line to the file that
// SYNC_RECORD names for each fsync and rename the program makes, in order,
// with the paths involved, and then makes the call. When SYNC_RAISE names a
// signal, the fsync of a file raises it instead, as an interruption while
// the new file is written would come.
#include <dlfcn.h>
#include <fcntl.h>
#include <unistd.h>

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

void Record(const std::string &line) {
  const char *path = std::getenv("SYNC_RECORD");
  if (path == nullptr) {
    return;
  }
  const int descriptor = open(path, O_WRONLY | O_CREAT | O_APPEND, 0644);
  if (descriptor < 0) {
    return;
  }
  const std::string text = line + "\n";
  if (write(descriptor, text.data(), text.size()) < 0) {
    // A record that cannot be written shows as a missing line.
  }
  close(descriptor);
}

std::string PathOf(int descriptor) {
  const std::string link = "/proc/self/fd/" + std::to_string(descriptor);
  char target[4096];
  const ssize_t length = readlink(link.c_str(), target, sizeof target);
  return length > 0 ? std::string(target, static_cast<std::size_t>(length))
                    : "?";
}

template <typename Function> Function Next(const char *name) {
  return reinterpret_cast<Function>(dlsym(RTLD_NEXT, name));
}

} // namespace

extern "C" int fsync(int descriptor) {
  Record("fsync " + PathOf(descriptor));
  const char *signal = std::getenv("SYNC_RAISE");
  if (signal != nullptr &&
      PathOf(descriptor).find("/.directive-host-") != std::string::npos) {
    std::raise(std::atoi(signal));
  }
  return Next<int (*)(int)>("fsync")(descriptor);
}

extern "C" int rename(const char *from, const char *to) {
  Record("rename " + std::string(from) + " " + to);
  return Next<int (*)(const char *, const char *)>("rename")(from, to);
}
