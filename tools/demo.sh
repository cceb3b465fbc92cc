#!/usr/bin/env bash
# What `make demo` shows: the unified diff that `directive-host format` makes
# of a script, with lint's finding under each line it rewrites, so that a
# rewrite that looks wrong reads as what the line already meant.
#
#   demo.sh DIRECTIVE_HOST SCRIPT
set -euo pipefail

host=$1
script=$2

# format --diff exits 1 when there are changes, which is the point here.
echo "\$ directive-host format --diff $script"
warnings=$(mktemp)
trap 'rm -f "$warnings"' EXIT
diff=$("$host" format --diff "$script" 2>"$warnings") || [[ $? -eq 1 ]]
lint=$("$host" lint "$script") || [[ $? -eq 1 ]]

# The formatter rewrites line for line, so the n-th '+' line of a change is
# the n-th '-' line rewritten; lint names the old line. Its notes say
# nothing of why a line changes.
awk -v prefix="$script:" '
  FNR == NR {
    if (index($0, prefix) == 1 && $0 !~ /^[^ ]*: note: /) {
      rest = substr($0, length(prefix) + 1)
      split(rest, at, ":")
      finding[at[1]] = substr(rest, length(at[1]) + length(at[2]) + 4)
      where[at[1]] = at[1] ":" at[2]
    }
    next
  }
  /^@@/ {
    split($2, range, ",")
    old = -range[1]
    removed = 0; added = 0
    print; next
  }
  /^---|^\+\+\+/ { print; next }
  /^-/ { gone[++removed] = old++; print; next }
  /^\+/ {
    print
    line = gone[++added]
    if (line in finding)
      printf "    ^ line %s: %s\n", where[line], finding[line]
    next
  }
  { removed = 0; added = 0; old++; print }
' <(printf '%s\n' "$lint") <(printf '%s\n' "$diff")

cat "$warnings"
echo
echo "\$ directive-host lint $script"
printf '%s\n' "$lint"
echo
echo "A line marked ^ reads differently from how it looks: format writes it"
echo "as it reads, and lint says why. A line whose rewrite would read"
echo "differently again is left as it is, with a warning."
