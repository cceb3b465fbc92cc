// The loop of the commands that read scripts: each input in turn, a failed
// one reported and the next one read.
#pragma once

#include <functional>
#include <string>
#include <vector>

namespace directive_host {

// Calls `handle` with each of `paths` ("-" for standard input; standard
// input alone when there are none). A Failure, or running out of memory, is
// reported on standard error, naming the path, and the next path handled.
// Returns kExitFailure when any failed, else kExitFound when `handle` returned
// true for any, else kExitSuccess.
int ForEachInput(const std::vector<std::string> &paths,
                 const std::function<bool(const std::string &)> &handle);

} // namespace directive_host
