# Shared by the counting scripts of bench/ (sourced, not run): their command
# line and callgrind's count of a run's instructions.

# Reads `[--check] PROGRAM` from the script's arguments: sets `check` (true
# with --check) and `program`, and exits 2 on a wrong command line or when
# valgrind is missing. $1 names the program in the usage line.
read_counting_arguments() {
  local name=$1
  shift
  check=false
  if [[ ${1:-} == --check ]]; then
    check=true
    shift
  fi
  if [[ $# -ne 1 ]]; then
    echo "usage: $0 [--check] $name" >&2
    exit 2
  fi
  program=$1
  if ! command -v valgrind >/dev/null; then
    echo "$0: needs valgrind (apt-get install valgrind)" >&2
    exit 2
  fi
}

# Prints the instructions that a run of `program` with the arguments given
# takes, under callgrind; it reads the caller's standard input, and what it
# writes is dropped. An exit status above $1 fails the count and shows what
# the run wrote on standard error.
count_instructions() {
  local highest_success=$1 log status=0
  shift
  log=$(valgrind --tool=callgrind --callgrind-out-file=/dev/null \
    "$program" "$@" 2>&1 >/dev/null) || status=$?
  if [[ $status -gt $highest_success ]]; then
    echo "$log" >&2
    return 1
  fi
  sed -n 's/^==[0-9]*== Collected : \([0-9]*\)$/\1/p' <<<"$log"
}
