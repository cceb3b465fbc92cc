#!/usr/bin/env bash
# The manual page and the shell completions that directive-host makes from
# its command table, tried where a user meets them: the page through man,
# each completion in its own shell.
#   manual_and_completion_test.sh DIRECTIVE_HOST man|bash|zsh|fish
# Exits 77 (skipped) when the shell or man is missing, except under CI.
set -uo pipefail
host=$1 what=$2
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
failures=0
fail() { echo "FAIL: $*" >&2; failures=$((failures + 1)); }
# Whether the words of a completion ($1: one per line) hold each of the rest.
offers() {
  local got=$1 word
  shift
  for word in "$@"; do
    grep -qxF -- "$word" <<<"$got" || fail "$what: '$word' not offered in: $(tr '\n' ' ' <<<"$got")"
  done
}
lacks() {
  local got=$1 word
  shift
  for word in "$@"; do
    ! grep -qxF -- "$word" <<<"$got" || fail "$what: '$word' offered where it does not apply"
  done
}
tool=$what
[[ $what == man ]] && tool=man
if ! command -v "$tool" >/dev/null 2>&1; then
  if [[ -n ${CI:-} && ! ${CI:-} =~ ^(0|false|no)$ ]]; then
    echo "FAIL: $tool is not installed" >&2
    exit 1
  fi
  echo "skipped: $tool is not installed"
  exit 77
fi

case $what in
man)
  "$host" help --man >"$scratch/directive-host.1" || fail "help --man failed"
  page=$(MANWIDTH=80 man --warnings -l "$scratch/directive-host.1" 2>"$scratch/warnings")
  [[ -s $scratch/warnings ]] && fail "man warns: $(cat "$scratch/warnings")"
  for text in NAME SYNOPSIS 'EXIT STATUS' FILES 'parse TEXT' \
    'format [--check | --diff | -i] [FILE...|-]' '-i, --in-place' \
    '--time-limit SECONDS' 'null-pointers' '--plugin PATH' \
    'directive-host parse '\''#IF "x" == "y" goto done'\'; do
    grep -qF -- "$text" <<<"$page" || fail "the page lacks '$text'"
  done
  long=$(awk 'length > 80' <<<"$page")
  [[ -z $long ]] || fail "lines over 80 columns: $long"
  ;;
bash)
  "$host" help --completion bash >"$scratch/completion" || fail "no script"
  complete_words() {
    bash -c 'source "$1"; shift; COMP_WORDS=("$@"); COMP_CWORD=$((${#COMP_WORDS[@]} - 1))
      _directive_host; printf "%s\n" "${COMPREPLY[@]}"' _ "$scratch/completion" "$@"
  }
  offers "$(complete_words directive-host '')" parse format validate help
  offers "$(complete_words directive-host fo)" format
  offers "$(complete_words directive-host format --)" --check --diff --in-place --plugin
  lacks "$(complete_words directive-host lint --)" --check --json
  offers "$(complete_words directive-host --plugin x.so validate --)" --json --seed --only
  offers "$(complete_words directive-host validate --only '')" exports in-place timing
  offers "$(complete_words directive-host help '')" lint lsp
  offers "$(complete_words directive-host help --completion '')" bash zsh fish
  ;;
zsh)
  "$host" help --completion zsh >"$scratch/_directive-host" || fail "no script"
  # The completion system's builtins stood in for, so that what the
  # function offers is printed, one word a line.
  complete_words() {
    zsh -fc 'compadd() { while [[ $1 == -* && $1 != -- ]]; do shift; done; [[ $1 == -- ]] && shift; print -l -- "$@"; }
      _describe() { local -a entries; entries=("${(@P)2}"); print -l -- "${entries[@]%%:*}"; }
      _files() { print -- "<files>"; }
      source "$1"; shift; words=("$@"); CURRENT=$#words; _directive-host' _ "$scratch/_directive-host" "$@"
  }
  offers "$(complete_words directive-host '')" parse format validate help
  offers "$(complete_words directive-host format -)" --check --diff --in-place -i --plugin
  lacks "$(complete_words directive-host lint -)" --check --json
  offers "$(complete_words directive-host lint '')" '<files>'
  offers "$(complete_words directive-host validate --only '')" exports unload
  offers "$(complete_words directive-host --seed 1 validate -)" --json --time-limit
  ;;
fish)
  "$host" help --completion fish >"$scratch/directive-host.fish" || fail "no script"
  complete_words() {
    fish --no-config -c "source $scratch/directive-host.fish; complete -C '$1'" | cut -f1
  }
  offers "$(complete_words 'directive-host ')" parse format validate help
  offers "$(complete_words 'directive-host format --')" --check --diff --in-place --plugin
  lacks "$(complete_words 'directive-host lint --')" --check --json
  offers "$(complete_words 'directive-host validate --only ')" exports threads
  offers "$(complete_words 'directive-host help --completion ')" bash zsh fish
  ;;
*)
  echo "usage: $0 DIRECTIVE_HOST man|bash|zsh|fish" >&2
  exit 2
  ;;
esac
[[ $failures -eq 0 ]] && echo "$what: passed"
exit $((failures > 0))
