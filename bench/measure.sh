#!/usr/bin/env bash
# Counts what one call of a callback costs, with valgrind: instructions from
# callgrind, heap allocations from memcheck's heap summary. Each case runs in
# the measuring host once with N calls and once with 2N calls; the
# difference divided by N is the cost of one call, free of start-up, loading
# and registration. Instruction counts do not depend on the machine's load,
# so the targets are checked exactly.
#
#   measure.sh [--check] MEASURE_HOST
#
# Prints a table; with --check, exits 1 when a case exceeds its target.
set -euo pipefail

# shellcheck source=counting.sh
source "$(dirname "$0")/counting.sh"
read_counting_arguments MEASURE_HOST "$@"
readonly measure_host=$program

readonly calls=${MEASURE_CALLS:-1000}
# Property names compare under the user's locale; fix it so that every
# machine takes the same path.
export LC_ALL=C.UTF-8

# id, then the targets: instructions per call, per input byte, allocations
# per call ("-" where there is none). The ceilings are what each case costs
# today (GCC 12, glibc 2.36 on x86-64, built hardened as the packages are:
# fortified copies cost if-parse 6 instructions), so that any regression
# fails;
# docs/performance.md says where the instructions go and how far they are
# from the aims of 700 for if-parse and if-assemble, 200 for label-parse and
# 300 for label-assemble.
readonly cases=(
  "if-parse 878 - 0"
  "if-assemble 1184 - 0"
  "label-parse 181 - 0"
  "label-assemble 291 - 0"
  "if-parse-30000 - 1.3 0"
  "if-parse-word-30000 - 3.0 0"
)

# Total instructions of one run of the host.
instructions() {
  count_instructions 0 "$1" "$2"
}

# Total heap allocations of one run of the host.
allocations() {
  local log
  if ! log=$(valgrind --tool=memcheck --leak-check=no --error-exitcode=3 \
    "$measure_host" "$1" "$2" 2>&1); then
    echo "$log" >&2
    return 1
  fi
  sed -n 's/^.*total heap usage: \([0-9,]*\) allocs.*$/\1/p' <<<"$log" |
    tr -d ,
}

# Cost of one call: the difference of the counts with N and 2N calls.
per_call() {
  local once twice
  once=$("$1" "$2" "$calls")
  twice=$("$1" "$2" $((2 * calls)))
  awk -v once="$once" -v twice="$twice" -v n="$calls" \
    'BEGIN { printf "%.1f", (twice - once) / n }'
}

# "ok", or "OVER" when `value` exceeds `limit` ("-": no limit).
verdict() {
  awk -v value="$1" -v limit="$2" \
    'BEGIN { print (limit != "-" && value > limit) ? "OVER" : "ok" }'
}

failed=0
printf '| %-19s | %5s | %10s | %10s | %11s | %-27s | %-6s |\n' case bytes \
  instr/call instr/byte allocs/call target result
printf '|%s|%s|%s|%s|%s|%s|%s|\n' --------------------- ------: \
  -----------: -----------: ------------: ----------------------------- \
  --------
for row in "${cases[@]}"; do
  read -r id call_target byte_target allocation_target <<<"$row"
  bytes=$("$measure_host" --bytes "$id")
  per_call_instructions=$(per_call instructions "$id")
  per_byte_instructions=$(awk -v i="$per_call_instructions" -v b="$bytes" \
    'BEGIN { printf "%.1f", i / b }')
  per_call_allocations=$(per_call allocations "$id")

  result=ok
  target=
  if [[ $call_target != - ]]; then
    target="<= $call_target instr"
    [[ $(verdict "$per_call_instructions" "$call_target") == ok ]] ||
      result=OVER
  fi
  if [[ $byte_target != - ]]; then
    target="<= $byte_target instr/byte"
    [[ $(verdict "$per_byte_instructions" "$byte_target") == ok ]] ||
      result=OVER
  fi
  if [[ $allocation_target != - ]]; then
    target="$target, <= $allocation_target allocs"
    [[ $(verdict "$per_call_allocations" "$allocation_target") == ok ]] ||
      result=OVER
  fi
  [[ $result == ok ]] || failed=1
  printf '| %-19s | %5s | %10s | %10s | %11s | %-27s | %-6s |\n' "$id" \
    "$bytes" "$per_call_instructions" "$per_byte_instructions" \
    "$per_call_allocations" "$target" "$result"
done

if $check && [[ $failed -ne 0 ]]; then
  echo "$0: a callback exceeds its target" >&2
  exit 1
fi
