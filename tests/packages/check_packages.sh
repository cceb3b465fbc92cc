#!/usr/bin/env bash
# Unpacks each release package into a scratch folder and uses it there as a
# user would: its directive-host lists the keywords of the module beside it
# and formats a script. The .deb is unpacked into a scratch root (dpkg -x),
# and its control fields and file list are checked too. The Windows zips run
# under Wine.
#
#   check_packages.sh PACKAGES_DIR VERSION [--windows]
set -euo pipefail

if [[ $# -lt 2 || $# -gt 3 || ${3:---windows} != --windows ]]; then
  echo "usage: $0 PACKAGES_DIR VERSION [--windows]" >&2
  exit 2
fi
packages=$(cd "$1" && pwd)
version=$2
windows=${3:-}
source_dir=$(cd "$(dirname "$0")/../.." && pwd)
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT

failures=0
fail() {
  echo "FAIL: $*" >&2
  failures=$((failures + 1))
}

# One script in each line ending, and what format makes of it.
printf '#label   =   full\r\n  #goto=full\r\n' >"$scratch/crlf.script"
printf '#LABEL ="full"\r\n  #GOTO ="full"\r\n' >"$scratch/crlf.expected"
printf 'echo start\n#IF $X = "y"   goto   full\n' >"$scratch/lf.script"
printf 'echo start\n#IF "$X" = "y" goto full\n' >"$scratch/lf.expected"

# check_tree NAME ROOT RUNNER...: the unpacked tree ROOT works where it is.
check_tree() {
  local name=$1 root=$2
  shift 2
  local host=$root/bin/directive-host
  [[ -f $host ]] || host=$host.exe
  if [[ ! -f $host ]]; then
    fail "$name: no bin/directive-host"
    return
  fi
  local keywords
  if ! keywords=$("$@" "$host" keywords 2>&1); then
    fail "$name: directive-host keywords failed: $keywords"
    return
  fi
  # The module it names is the package's own, whatever separators it uses.
  local module expected_module
  expected_module=$(basename "$root")/lib/directive-plugins/DirectivePlugin
  for keyword in '#LABEL' '#GOTO' '#IF'; do
    module=$(tr '\\' / <<<"$keywords" | awk -v k="$keyword" '$1 == k { print $2 }')
    if [[ $module != *"$expected_module".* ]]; then
      fail "$name: $keyword comes from '$module', not from the package's module"
    fi
  done
  for script in crlf lf; do
    if ! "$@" "$host" format "$scratch/$script.script" >"$scratch/$name.$script.out"; then
      fail "$name: directive-host format $script.script failed"
    elif ! cmp -s "$scratch/$name.$script.out" "$scratch/$script.expected"; then
      fail "$name: format $script.script printed $(od -c "$scratch/$name.$script.out")"
    fi
  done
  echo "ok: $name works where it was unpacked"
}

# check_archive FILE RUNNER...: FILE unpacks into one folder of its own name.
check_archive() {
  local file=$packages/$1
  shift
  if [[ ! -f $file ]]; then
    fail "$(basename "$file") was not made"
    return
  fi
  local base
  base=$(basename "$file")
  base=${base%.tar.gz}
  base=${base%.zip}
  mkdir -p "$scratch/$base.unpacked"
  (cd "$scratch/$base.unpacked" && cmake -E tar xf "$file")
  if [[ ! -d $scratch/$base.unpacked/$base ]]; then
    fail "$base: does not unpack into a folder named $base"
    return
  fi
  check_tree "$base" "$scratch/$base.unpacked/$base" "$@"
}

check_archive "DirectivePlugin-$version-linux-x86_64.tar.gz"

deb=$packages/directive-plugin_${version}_amd64.deb
if [[ ! -f $deb ]]; then
  fail "$(basename "$deb") was not made"
else
  for field in Package=directive-plugin Version=$version Architecture=amd64; do
    value=$(dpkg-deb -f "$deb" "${field%%=*}")
    [[ $value == "${field#*=}" ]] || fail "deb: ${field%%=*} is '$value'"
  done
  # Files only; the build type names one file of the CMake package.
  dpkg-deb -c "$deb" | awk '{ print $6 }' | grep -v '/$' |
    sed 's/DirectivePluginTargets-[a-z]*\.cmake$/DirectivePluginTargets-CONFIG.cmake/' |
    sort >"$scratch/deb.files"
  sort >"$scratch/deb.expected" <<'FILES'
./usr/bin/directive-bare-host
./usr/bin/directive-host
./usr/include/directive_plugin.h
./usr/lib/cmake/DirectivePlugin/DirectivePluginConfig.cmake
./usr/lib/cmake/DirectivePlugin/DirectivePluginConfigVersion.cmake
./usr/lib/cmake/DirectivePlugin/DirectivePluginHost.cmake
./usr/lib/cmake/DirectivePlugin/DirectivePluginTargets-CONFIG.cmake
./usr/lib/cmake/DirectivePlugin/DirectivePluginTargets.cmake
./usr/lib/directive-plugins/DirectivePlugin.so
./usr/share/pkgconfig/directive-plugin.pc
./usr/share/doc/directive-plugin/README.md
./usr/share/doc/directive-plugin/changelog.gz
./usr/share/doc/directive-plugin/copyright
./usr/share/doc/directive-plugin/editors.md
./usr/share/doc/directive-plugin/examples/host/CMakeLists.txt
./usr/share/doc/directive-plugin/examples/host/host.c
./usr/share/doc/directive-plugin/examples/plugin/CMakeLists.txt
./usr/share/doc/directive-plugin/examples/plugin/README.md
./usr/share/doc/directive-plugin/examples/plugin/echo.c
./usr/share/doc/directive-plugin/examples/plugin/host_binding.c
./usr/share/doc/directive-plugin/examples/plugin/host_binding.h
./usr/share/bash-completion/completions/directive-host
./usr/share/fish/vendor_completions.d/directive-host.fish
./usr/share/man/man1/directive-bare-host.1.gz
./usr/share/man/man1/directive-host.1.gz
./usr/share/zsh/vendor-completions/_directive-host
FILES
  diff -u "$scratch/deb.expected" "$scratch/deb.files" >&2 ||
    fail "deb: the file list differs"
  # Debian's own checks of the package, pedantic ones shown too; an error or
  # a warning fails.
  if command -v lintian >/dev/null 2>&1; then
    lintian --pedantic --display-info "$deb" >"$scratch/lintian.out" 2>&1 || true
    sed 's/^/lintian: /' "$scratch/lintian.out"
    if grep -qE '^[EW]: ' "$scratch/lintian.out"; then
      fail "deb: lintian reports errors or warnings (above)"
    fi
  elif [[ -n ${CI:-} && ! ${CI:-} =~ ^(0|false|no)$ ]]; then
    fail "deb: lintian is not installed"
  else
    echo "note: lintian is not installed; the .deb was not checked by it"
  fi
  # Under /usr the tree is the same relocatable one, wherever that root is.
  dpkg -x "$deb" "$scratch/deb-root"
  check_tree "$(basename "$deb")" "$scratch/deb-root/usr"
fi

if [[ -n $windows ]]; then
  wine_run=$source_dir/cmake/wine-run.sh
  # A kernel that runs no 32-bit programs cannot start 32-bit Wine.
  if why=$("$source_dir/tools/deps.sh" --runs windows-x86); then
    check_archive "DirectivePlugin-$version-win32.zip" \
      "$wine_run" win32 "$source_dir/build/windows/wine-prefix"
  else
    [[ -f $packages/DirectivePlugin-$version-win32.zip ]] ||
      fail "no DirectivePlugin-$version-win32.zip"
    echo "note: the win32 zip is not run: $why"
  fi
  check_archive "DirectivePlugin-$version-win64.zip" \
    "$wine_run" win64 "$source_dir/build/windows-x64/wine-prefix"
fi

if [[ $failures -ne 0 ]]; then
  echo "$0: $failures check(s) failed" >&2
  exit 1
fi
echo "all packages in $packages pass"
