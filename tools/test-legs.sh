#!/usr/bin/env bash
# `make test`: gets every leg's tools (tools/deps.sh), runs each leg's make
# target, goes on past a failed one, and ends with one line per leg: passed,
# failed, or skipped and why. Fails when any leg failed, and under CI
# (CI=true) when any was skipped.
#
#   test-legs.sh [SKIP_LEG...]   legs: linux windows-x86 windows-x64
#                                packages hardening
set -uo pipefail
cd "$(dirname "$0")/.." || exit

ci=
[[ -n ${CI:-} && ! ${CI:-} =~ ^(0|false|no)$ ]] && ci=yes

# The summary's legs in the order they run: name, make target, the leg of
# tools/deps.sh whose tools it needs.
legs=(
  "linux test-linux linux"
  "windows-x86 test-windows-x86 windows-x86"
  "windows-x64 test-windows-x64 windows-x64"
  "packages test-packages packages"
  "asan+ubsan test-sanitize hardening"
  "tsan test-tsan hardening"
  "memcheck test-memcheck hardening"
  "fuzz-regression fuzz-regression hardening"
)

declare -A skipped=()
for leg in "$@"; do
  case $leg in
    linux | windows-x86 | windows-x64 | packages | hardening) ;;
    *) echo "test-legs.sh: no leg '$leg' to skip" >&2; exit 2 ;;
  esac
  if [[ -n $ci ]]; then
    echo "test-legs.sh: under CI every leg runs; SKIP='$*' is refused" >&2
    exit 1
  fi
  skipped[$leg]="SKIP asked for it"
done

wanted=()
for dep in linux windows-x86 windows-x64 packages hardening; do
  [[ -n ${skipped[$dep]:-} ]] || wanted+=("$dep")
done
if [[ ${#wanted[@]} -gt 0 ]]; then
  tools/deps.sh "${wanted[@]}"
  case $? in
    0) ;;
    3)
      # The Windows tools cannot come from this mirror now; said above.
      [[ -n $ci ]] && exit 1
      for dep in windows-x86 windows-x64; do
        tools/deps.sh --check "$dep" >/dev/null ||
          skipped[$dep]="its Wine cannot be installed: the mirror's i386 index lags its amd64 one (tools/deps.sh said so above); run make test again once it has synced"
      done
      ;;
    *) exit 1 ;;
  esac
fi

logs=build/test-logs
mkdir -p "$logs"
summary=()
failed=0
started=$SECONDS
for entry in "${legs[@]}"; do
  read -r name target dep <<<"$entry"
  if [[ -n ${skipped[$dep]:-} ]]; then
    summary+=("$(printf '%-16s skipped: %s' "$name" "${skipped[$dep]}")")
    continue
  fi
  echo
  echo "=== $name (make $target)"
  leg_start=$SECONDS
  make --no-print-directory "$target" 2>&1 | tee "$logs/$name.log"
  status=${PIPESTATUS[0]}
  took=$((SECONDS - leg_start))
  # ctest lists each test it did not run; a leg that left some out says so.
  not_run=$(sed -n '/The following tests did not run:/,/^$/p' "$logs/$name.log" |
    grep -c '^[[:space:]]*[0-9]' || true)
  note=
  [[ $not_run -gt 0 ]] && note=", $not_run test(s) did not run (see $logs/$name.log)"
  if [[ $name == packages && ( -n ${skipped[windows-x86]:-} || -n ${skipped[windows-x64]:-} ) ]]; then
    note="$note, Linux packages only (the zips need the Windows legs' tools)"
  fi
  # A kernel that runs no 32-bit programs leaves the 32-bit Windows tests
  # and the win32 zip's run to another machine; the summary says so.
  if [[ $name == windows-x86 || $name == packages ]] &&
    ! why=$(tools/deps.sh --runs windows-x86); then
    if [[ $name == windows-x86 ]]; then
      note="$note; built only, its tests not run: $why"
    else
      note="$note; the win32 zip not run: no 32-bit program runs here"
    fi
  fi
  if [[ $status -eq 0 ]]; then
    summary+=("$(printf '%-16s passed in %d s%s' "$name" "$took" "$note")")
  else
    failed=$((failed + 1))
    summary+=("$(printf '%-16s FAILED after %d s%s; log: %s' "$name" "$took" "$note" "$logs/$name.log")")
  fi
done

echo
echo "=== make test: $(( (SECONDS - started) / 60 )) min $(( (SECONDS - started) % 60 )) s"
printf '%s\n' "${summary[@]}"
[[ $failed -eq 0 ]]
