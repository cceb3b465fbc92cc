#!/usr/bin/env bash
# The Windows builds beside the Linux one, with the same measuring host: for
# each case, the calls one callback makes into the locale's comparison
# (counted by the host under Wine, in each build's own prefix), and the wall
# time of one call and of a strlen+memcpy of its input (the baseline), each
# the fastest of RUNS runs (the one the machine's other work disturbed least). A callback's ratio to its baseline is set beside
# the Linux build's. Times depend on the machine's load and are never
# checked; with --check the counted calls are, and the script exits 1 when a
# case makes more than its target.
#
#   windows_cost.sh [--check] LINUX_BUILD [WINDOWS_BUILD...]
#
# Each build is a build folder of a preset (build/linux, build/windows,
# build/windows-x64) with bin/directive-measure in it.
set -euo pipefail

check=false
if [[ ${1:-} == --check ]]; then
  check=true
  shift
fi
if [[ $# -lt 1 ]]; then
  echo "usage: $0 [--check] LINUX_BUILD [WINDOWS_BUILD...]" >&2
  exit 2
fi
readonly linux_build=$1
shift
readonly runs=${RUNS:-5}
readonly wine_run=$(dirname "$0")/../cmake/wine-run.sh
export LC_ALL=C.UTF-8

# id, calls per timed run, and the most calls into the locale one callback
# may make: none, but for the action "set", which is no name of the
# module's own and is compared with goto by the locale.
readonly cases=(
  "label-parse 200000 0"
  "goto-parse 200000 0"
  "label-assemble 200000 0"
  "goto-assemble 200000 0"
  "if-parse 200000 0"
  "if-parse-set 200000 0"
  "if-assemble 200000 0"
  "if-assemble-set 200000 1"
  "if-parse-30000 20000 0"
  "if-parse-word-30000 20000 0"
)

# Runs the measuring host of build $1 with the remaining arguments.
measure() {
  local build=$1
  shift
  if [[ -x $build/bin/directive-measure ]]; then
    "$build/bin/directive-measure" "$@"
  else
    local arch=win32
    if grep -q '^CMAKE_TOOLCHAIN_FILE.*x86_64' "$build/CMakeCache.txt"; then
      arch=win64
    fi
    sh "$wine_run" "$arch" "$(realpath "$build")/wine-prefix" \
      "$build/bin/directive-measure.exe" "$@" | tr -d '\r'
  fi
}

# The fastest of `runs` timings of mode $2 (--time or --baseline) in build $1.
fastest_time() {
  local i
  for ((i = 0; i < runs; ++i)); do
    measure "$1" "$2" "$3" "$4"
  done | sort -g | head -n 1
}

ratio() {
  awk -v a="$1" -v b="$2" 'BEGIN { printf "%.1f", (b > 0) ? a / b : 0 }'
}

# A Windows build whose measuring host does not start here is left out, with
# a note; under CI it fails, unless this machine's kernel runs no 32-bit
# programs at all, which it says.
builds=("$linux_build")
for build in "$@"; do
  if [[ $(file -b "$build/bin/directive-measure.exe" 2>/dev/null) == PE32\ * ]] &&
    ! why=$("$(dirname "$0")/../tools/deps.sh" --runs windows-x86); then
    echo "note: leaving out $build: $why" >&2
  elif measure "$build" --bytes if-parse >/dev/null 2>&1; then
    builds+=("$build")
  elif [[ -n ${CI:-} && ${CI:-} != 0 && ${CI:-} != false && ${CI:-} != no ]]; then
    echo "$0: the measuring host of $build does not run" >&2
    exit 1
  else
    echo "note: leaving out $build: its measuring host does not run here" >&2
  fi
done

failed=0
printf '| %-19s | %-11s | %12s | %6s | %8s | %11s | %5s | %12s |\n' case build \
  "locale calls" target ns/call "baseline ns" ratio "vs Linux"
printf '|%s|%s|%s|%s|%s|%s|%s|%s|\n' --------------------- ------------- \
  -------------: -------: ---------: ------------: ------: --------------:
for row in "${cases[@]}"; do
  read -r id calls target <<<"$row"
  linux_ratio=
  for build in "${builds[@]}"; do
    name=$(basename "$build")
    locale_calls=-
    verdict=-
    if [[ $build != "$linux_build" ]]; then
      locale_calls=$(measure "$build" --locale-calls "$id" 1000)
      verdict=ok
      if awk -v c="$locale_calls" -v t="$target" 'BEGIN { exit !(c > t) }'; then
        verdict=OVER
        failed=1
      fi
    fi
    time=$(fastest_time "$build" --time "$id" "$calls")
    baseline=$(fastest_time "$build" --baseline "$id" "$calls")
    callback_ratio=$(ratio "$time" "$baseline")
    [[ -n $linux_ratio ]] || linux_ratio=$callback_ratio
    printf '| %-19s | %-11s | %12s | %6s | %8s | %11s | %5s | %12s |\n' "$id" \
      "$name" "$locale_calls" "$verdict" "$time" "$baseline" \
      "$callback_ratio" "$(ratio "$callback_ratio" "$linux_ratio")"
  done
done

if $check && [[ $failed -ne 0 ]]; then
  echo "$0: a callback calls into the locale more than its target" >&2
  exit 1
fi
