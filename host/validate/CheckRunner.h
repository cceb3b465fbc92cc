// Runs a check in this process, or in a child process of its own so that a
// crash or a hang ends only that check. The child is this program again,
// told which check to run; it writes its result as a record on standard
// output.
#pragma once

#include "platform/ChildProcess.h"
#include "validate/Checks.h"

#include <string>
#include <vector>

namespace directive_host::validate {

// Runs `check` here. NotLoaded becomes kNotLoaded; any other exception of
// the validator's own a failure that says so.
CheckResult RunHere(const CheckSpec &check, const CheckContext &context);

// The arguments that make directive-host run `check` as a child.
std::vector<std::string> ChildArguments(const CheckSpec &check,
                                        const CheckContext &context);

// Runs `check` in a child: `self` with ChildArguments, killed after
// `seconds`; the child itself ends a call that outlasts context.callLimit.
CheckResult RunInChild(const CheckSpec &check, const CheckContext &context,
                       const std::string &self, double seconds);

// The record a child writes, and what a child's end and output tell.
std::string ResultRecord(const CheckResult &result);
CheckResult ResultOfChild(const platform::ChildOutcome &outcome, double seconds,
                          int callLimit);

} // namespace directive_host::validate
