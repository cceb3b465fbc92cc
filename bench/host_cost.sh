#!/usr/bin/env bash
# Counts what directive-host's format and lint cost on generated scripts,
# with valgrind: instructions from callgrind, the peak of the heap from
# massif. Counts do not depend on the machine's load, so the targets are
# checked exactly:
#  - lint grows linearly with the labels: 10 times the labels and gotos cost
#    at most 10 times the instructions;
#  - lint costs at most 1.5 times the instructions of format on one script;
#  - the heap peaks at most at twice the script for format, format --check
#    and lint, and at three times for format --diff.
#
#   host_cost.sh [--check] DIRECTIVE_HOST
#
# Prints a table; with --check, exits 1 when a case misses its target.
set -euo pipefail

# shellcheck source=counting.sh
source "$(dirname "$0")/counting.sh"
read_counting_arguments DIRECTIVE_HOST "$@"
readonly host=$program
export LC_ALL=C.UTF-8

scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT

# N labels, each defined once and gone to once from the line before it, so
# that every lookup finds its label. The labels are all as long, so that ten
# times the labels are ten times the bytes.
labels_script() {
  awk -v n="$1" 'BEGIN {
    for (i = 0; i < n; i++) { printf "#GOTO = l%07d\n#LABEL = l%07d\n", i, i } }'
}

# A script of about BYTES as people write them: commands and comments with
# a directive every few lines, labels unique to each block, directives both
# in their assembled form and not, and a goto to an undefined label.
mixed_script() {
  awk -v bytes="$1" 'BEGIN {
    for (i = 0; size < bytes; i++) {
      block = sprintf("# stage %d: copy the files, check them, report\n" \
        "#label   =   stage%d\n" \
        "copy --from \"$SOURCE\" --to \"$TARGET/%d\" --verbose\n" \
        "  #if \"$STATUS\" != \"ok\"   goto   retry%d\n" \
        "#IF \"$FREE_GB\" < \"20\" set \"status=low disk\"\n" \
        "check --all \"$TARGET/%d\"\n" \
        "#LABEL =\"retry%d\"\n" \
        "#GOTO = stage%d\n" \
        "#goto missing%d\n" \
        "report --mail ops@example.org \"stage %d done\"\n\n",
        i, i, i, i, i, i, i, i, i)
      printf "%s", block
      size += length(block)
    } }'
}

# lint and format --check exit 1 when they find something.
instructions() {
  count_instructions 1 "$@"
}

# The highest heap in use, with the allocator's own overhead, in bytes.
peak_heap() {
  local out=$scratch/massif.out
  valgrind --tool=massif --massif-out-file="$out" "$host" "$@" \
    >/dev/null 2>&1 || true
  awk -F= '/^mem_heap_B=/ { heap = $2 }
    /^mem_heap_extra_B=/ { if (heap + $2 > peak) peak = heap + $2 }
    END { print peak + 0 }' "$out"
}

failed=false
# name, measured, limit
report() {
  local verdict=ok
  if ! awk -v m="$2" -v l="$3" 'BEGIN { exit !(m <= l) }'; then
    verdict=FAILED
    failed=true
  fi
  printf '%-32s %16s %16s  %s\n' "$1" "$2" "$3" "$verdict"
}

printf '%-32s %16s %16s\n' case measured limit

labels_script 10000 >"$scratch/labels-10000.txt"
labels_script 100000 >"$scratch/labels-100000.txt"
small=$(instructions lint "$scratch/labels-10000.txt")
large=$(instructions lint "$scratch/labels-100000.txt")
report "lint 100000 labels (instr.)" "$large" $((small * 10))

mixed_script 4000000 >"$scratch/mixed.txt"
size=$(wc -c <"$scratch/mixed.txt")
format=$(instructions format "$scratch/mixed.txt")
lint=$(instructions lint "$scratch/mixed.txt")
report "lint / format (instr.)" "$lint" $((format * 3 / 2))

report "format peak heap (bytes)" "$(peak_heap format "$scratch/mixed.txt")" \
  $((size * 2))
report "format --check peak heap" \
  "$(peak_heap format --check "$scratch/mixed.txt")" $((size * 2))
report "lint peak heap" "$(peak_heap lint "$scratch/mixed.txt")" $((size * 2))
report "format --diff peak heap" \
  "$(peak_heap format --diff "$scratch/mixed.txt")" $((size * 3))
cp "$scratch/mixed.txt" "$scratch/in-place.txt"
report "format -i peak heap" \
  "$(peak_heap format -i "$scratch/in-place.txt")" $((size * 2))

if $check && $failed; then
  exit 1
fi
