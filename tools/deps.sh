#!/usr/bin/env bash
# What each leg of the build needs, and getting it. `make demo`, `make test`,
# each leg's target and .ci/run start here.
#
#   deps.sh LEG...          when a leg lacks a tool: as root on Debian,
#                           install it; elsewhere stop, printing the command
#                           that would
#   deps.sh --check LEG...  exit 0 when every leg has its tools, else 1 and
#                           name what is missing
#   deps.sh --runs LEG      exit 0 when this machine can run the programs the
#                           leg builds, else 1 and say why (windows-x86 needs
#                           a kernel that runs 32-bit x86 programs, which no
#                           package brings)
#
# Legs: demo linux windows-x86 windows-x64 packages hardening bench; `test`
# is every leg `make test` runs, `ci` those and bench.
#
# Exit status: 0 every leg has its tools; 1 some leg lacks them and they
# were not installed here; 3 the 32-bit Windows leg's Wine cannot be had from this
# mirror (one line says why and what to do), everything else is in place.
set -uo pipefail
cd "$(dirname "$0")/.." || exit

# The Debian packages of each leg.
packages_of() {
  case $1 in
    demo) echo build-essential cmake ninja-build nlohmann-json3-dev ;;
    linux) echo "$(packages_of demo) libgtest-dev libgmock-dev neovim" \
      pkg-config patch file locales man-db zsh fish ;;
    windows-x86)
      if runs_i386; then echo g++-mingw-w64-i686-win32 wine wine32:i386
      else echo g++-mingw-w64-i686-win32; fi ;;
    windows-x64) echo g++-mingw-w64-x86-64-win32 wine wine64 ;;
    packages) echo "$(packages_of demo) dpkg-dev lintian file" ;;
    hardening) echo clang libclang-rt-14-dev valgrind ;;
    bench) echo "$(packages_of demo) libbenchmark-dev valgrind" ;;
  esac
}

on_path() { command -v "$1" >/dev/null 2>&1; }

# Whether the kernel runs 32-bit x86 programs, as 32-bit Wine needs: a
# 91-byte static i386 program that only exits 0. Only the kernel's own
# refusal (Exec format error) counts as no.
runs_i386() {
  local probe
  probe=$(mktemp) || return 0
  printf '\x7fELF\x01\x01\x01\x00\x00\x00\x00\x00\x00\x00\x00\x00\x02\x00\x03\x00\x01\x00\x00\x00\x54\x80\x04\x08\x34\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x34\x00\x20\x00\x01\x00\x00\x00\x00\x00\x00\x00\x01\x00\x00\x00\x00\x00\x00\x00\x00\x80\x04\x08\x00\x80\x04\x08\x5b\x00\x00\x00\x5b\x00\x00\x00\x05\x00\x00\x00\x00\x10\x00\x00\x31\xdb\x31\xc0\x40\xcd\x80' >"$probe"
  chmod +x "$probe"
  local refused=
  "$probe" 2>/dev/null || [[ $? -ne 126 ]] || refused=yes
  rm -f "$probe"
  [[ -z $refused ]]
}

if [[ ${1:-} == --runs ]]; then
  case ${2:-} in
    windows-x86)
      runs_i386 && exit 0
      echo "this machine's kernel runs no 32-bit x86 programs (Exec format" \
        "error), so 32-bit Wine cannot start here: the 32-bit Windows build" \
        "is built, and its tests run only on a machine whose kernel runs them"
      exit 1 ;;
    *) exit 0 ;;
  esac
fi

# Whether the leg's tools are here, by what the leg runs rather than by
# package, so that the answer holds on any system. Prints what is missing.
missing_of() {
  local need=()
  case $1 in
    demo | linux | packages | bench)
      on_path cmake || need+=(cmake)
      on_path ninja || need+=(ninja)
      on_path c++ || need+=("a C++ compiler")
      [[ -f /usr/include/nlohmann/json.hpp ]] || need+=(nlohmann-json)
      ;;&
    linux)
      [[ -f /usr/include/gtest/gtest.h && -f /usr/include/gmock/gmock.h ]] ||
        need+=(GoogleTest)
      on_path nvim || need+=(Neovim)
      on_path pkg-config || need+=(pkg-config)
      on_path patch || need+=(patch)
      on_path file || need+=(file)
      [[ -d /usr/share/i18n/locales ]] || need+=("the locale sources")
      # The manual page read through man, each completion in its shell.
      on_path man || need+=(man)
      on_path zsh || need+=(zsh)
      on_path fish || need+=(fish)
      ;;
    windows-x86)
      on_path i686-w64-mingw32-g++-win32 || need+=(i686-w64-mingw32-g++-win32)
      # Where 32-bit programs cannot run, the leg is a build only.
      if runs_i386; then
        { on_path wine && [[ -x /usr/lib/wine/wine ]]; } || need+=("32-bit Wine")
      fi
      ;;
    windows-x64)
      on_path x86_64-w64-mingw32-g++-win32 || need+=(x86_64-w64-mingw32-g++-win32)
      { on_path wine && { on_path wine64 || [[ -x /usr/lib/wine/wine64 ]]; }; } ||
        need+=("64-bit Wine")
      ;;
    packages)
      on_path dpkg-deb || need+=(dpkg-deb)
      on_path lintian || need+=(lintian)
      on_path file || need+=(file)
      ;;
    hardening)
      # clang that can link a libFuzzer target; gcc brings the sanitizers.
      printf 'extern "C" int LLVMFuzzerTestOneInput(const unsigned char *, unsigned long) { return 0; }' |
        clang++ -fsanitize=fuzzer -x c++ - -o /dev/null >/dev/null 2>&1 ||
        need+=("clang with libFuzzer")
      on_path valgrind || need+=(valgrind)
      ;;
    bench)
      [[ -f /usr/include/benchmark/benchmark.h ]] || need+=("Google Benchmark")
      on_path valgrind || need+=(valgrind)
      ;;
  esac
  local joined
  joined=$(IFS=,; echo "${need[*]}")
  echo "${joined//,/, }"
  [[ ${#need[@]} -eq 0 ]]
}

check_only=
if [[ ${1:-} == --check ]]; then
  check_only=yes
  shift
fi
legs=()
for leg in "$@"; do
  case $leg in
    test) legs+=(linux windows-x86 windows-x64 packages hardening) ;;
    ci) legs+=(linux windows-x86 windows-x64 packages hardening bench) ;;
    demo | linux | windows-x86 | windows-x64 | packages | hardening | bench)
      legs+=("$leg") ;;
    *) echo "deps.sh: no leg '$leg'" >&2; exit 2 ;;
  esac
done
[[ ${#legs[@]} -gt 0 ]] || { sed -n '2,16p' "$0" >&2; exit 2; }

short=()
for leg in "${legs[@]}"; do
  if ! what=$(missing_of "$leg"); then
    short+=("$leg")
    [[ -n $check_only ]] && echo "$leg needs $what"
  fi
done
[[ ${#short[@]} -eq 0 ]] && exit 0
[[ -n $check_only ]] && exit 1

wanted=()
for leg in "${short[@]}"; do
  read -ra pkgs <<<"$(packages_of "$leg")"
  wanted+=("${pkgs[@]}")
done
read -ra wanted <<<"$(printf '%s\n' "${wanted[@]}" | sort -u | tr '\n' ' ')"

if [[ $(id -u) -ne 0 || ! -f /etc/debian_version ]] || ! on_path apt-get; then
  for leg in "${short[@]}"; do
    echo "$leg needs $(missing_of "$leg")" >&2
  done
  if [[ -f /etc/debian_version ]]; then
    echo "Run: sudo tools/deps.sh ${short[*]}" >&2
    echo "(it installs ${wanted[*]})" >&2
  else
    echo "Install them (Debian names: ${wanted[*]})," \
      "or leave those legs out: make test SKIP='${short[*]}'" >&2
  fi
  exit 1
fi

export DEBIAN_FRONTEND=noninteractive
# Each Windows leg's tools go in on their own, so that the 64-bit one, all
# amd64, is had even where the 32-bit one's i386 libraries cannot be.
others=()
x64=()
x86=()
for leg in "${short[@]}"; do
  read -ra pkgs <<<"$(packages_of "$leg")"
  case $leg in
    windows-x64) x64=("${pkgs[@]}") ;;
    windows-x86) x86=("${pkgs[@]}") ;;
    *) others+=("${pkgs[@]}") ;;
  esac
done
if [[ ${#others[@]} -gt 0 ]]; then
  read -ra others <<<"$(printf '%s\n' "${others[@]}" | sort -u | tr '\n' ' ')"
fi
# Wine runs the 32-bit Windows build from the i386 architecture.
if [[ ${#x86[@]} -gt 1 ]] && ! dpkg --print-foreign-architectures | grep -qx i386; then
  dpkg --add-architecture i386
fi

# A mirror caught mid-sync fails an update with index files of the wrong
# size; that is over within minutes, so the update is tried again. Should it
# still fail, the indexes that did arrive are used, and an install that lacks
# one fails on its own.
for attempt in 1 2 3 4; do
  apt-get update -q && break
  if [[ $attempt -eq 4 ]]; then
    echo "deps.sh: warning: apt-get update failed $attempt times; going on" >&2
  else
    sleep $((attempt * 20))
  fi
done

apt_install() { apt-get install -y -q --no-install-recommends "$@"; }
if [[ ${#others[@]} -gt 0 ]]; then apt_install "${others[@]}" || exit 1; fi
if [[ ${#x64[@]} -gt 0 ]]; then apt_install "${x64[@]}" || exit 1; fi
if [[ ${#x86[@]} -gt 0 ]] && ! apt_install "${x86[@]}"; then
  # When the mirror serves the security suite's amd64 index but not its i386
  # one, the i386 libraries Wine needs cannot match the versions of their
  # amd64 twins. Taking them from the release alone does not help either
  # where the amd64 ones installed are newer, as on a fresh machine; only a
  # synced mirror does.
  simulated=$(apt-get install -s --no-install-recommends "${x86[@]}" 2>&1)
  if grep -q ':i386 : Depends' <<<"$simulated"; then
    echo "deps.sh: the 32-bit Windows leg's Wine cannot be installed: this" \
      "mirror's i386 index lags its amd64 one, so its i386 libraries cannot" \
      "match the installed amd64 versions; run this again once the mirror has" \
      "synced (apt-get update then succeeds), or leave the leg out:" \
      "make test SKIP=windows-x86" >&2
    exit 3
  fi
  exit 1
fi

for leg in "${short[@]}"; do
  if ! what=$(missing_of "$leg"); then
    echo "deps.sh: $leg still lacks $what after its packages were installed" >&2
    exit 1
  fi
done
