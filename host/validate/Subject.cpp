#include "validate/Subject.h"

#include <algorithm>
#include <map>
#include <utility>

namespace directive_host::validate {

namespace {

// Of each callback's calls, in the order generated, the first, the last, the
// second, the last but one...; then the callbacks in turn.
std::vector<std::size_t> InterleavedOrder(const GeneratedCalls &generated) {
  std::map<std::pair<std::size_t, int>, std::vector<std::size_t>> groups;
  for (std::size_t i = 0; i < generated.calls.size(); ++i) {
    const Call &call = generated.calls[i];
    groups[{call.keyword, static_cast<int>(call.kind)}].push_back(i);
  }
  std::vector<std::vector<std::size_t>> lanes;
  for (auto &[key, indices] : groups) {
    std::vector<std::size_t> &lane = lanes.emplace_back();
    for (std::size_t front = 0, back = indices.size(); front < back;) {
      lane.push_back(indices[front++]);
      if (front < back) {
        lane.push_back(indices[--back]);
      }
    }
  }
  std::vector<std::size_t> order;
  for (std::size_t at = 0; order.size() < generated.calls.size(); ++at) {
    for (const auto &lane : lanes) {
      if (at < lane.size()) {
        order.push_back(lane[at]);
      }
    }
  }
  return order;
}

} // namespace

Budget Budget::Part(double share) const {
  Budget part;
  const auto left = std::max(Clock::duration::zero(), end_ - Clock::now());
  part.end_ =
      Clock::now() + std::chrono::duration_cast<Clock::duration>(left * share);
  return part;
}

std::string Coverage::Calls() const {
  if (made == of) {
    return std::to_string(made) + " calls";
  }
  return std::to_string(made) + " of " + std::to_string(of) +
         " calls (as many as its budget of " +
         std::to_string(kCheckBudget.count() / 1000) + " s allowed)";
}

Subject::Subject(const CheckContext &context, bool generate)
    : module_(context.module), keywords_(Callable(module_.Register())) {
  if (generate && !keywords_.empty()) {
    generated_ = GenerateCalls(keywords_, context.seed, context.iterations);
    order_ = InterleavedOrder(generated_);
  }
}

std::optional<CheckResult> Subject::Skip() const {
  if (module_.AutoRegisterName().empty()) {
    return CheckResult{CheckStatus::kSkipped,
                       "the module exports no AutoRegister", ""};
  }
  if (keywords_.empty()) {
    return CheckResult{CheckStatus::kSkipped,
                       "AutoRegister registers no keyword with both callbacks",
                       ""};
  }
  return std::nullopt;
}

std::optional<CheckResult> Subject::EachCall(CrashNote &note,
                                             const std::string &doing,
                                             const Budget &budget,
                                             Coverage &coverage,
                                             const Visit &visit) const {
  coverage.of += order_.size();
  for (const std::size_t i : order_) {
    if (budget.Spent()) {
      break;
    }
    const std::string input = Describe(generated_.calls[i]);
    note.Set(doing, input);
    ++coverage.made;
    if (auto failure = visit(i, input)) {
      return failure;
    }
  }
  return std::nullopt;
}

CheckResult OnSubject(
    const CheckContext &context,
    const std::function<CheckResult(const Subject &, CrashNote &)> &body) {
  const Subject subject(context);
  if (const auto skip = subject.Skip()) {
    return *skip;
  }
  CrashNote note;
  return body(subject, note);
}

std::string Growth(long long bytes) {
  const bool less = bytes < 0;
  const long long size = less ? -bytes : bytes;
  return (less ? "-" : "+") + (size >= 10 * 1024
                                   ? std::to_string(size / 1024) + " KiB"
                                   : std::to_string(size) + " bytes");
}

CheckResult Passed(std::string detail) {
  return {CheckStatus::kPassed, std::move(detail), ""};
}

CheckResult Failed(std::string detail, std::string input) {
  return {CheckStatus::kFailed, std::move(detail), std::move(input)};
}

} // namespace directive_host::validate
