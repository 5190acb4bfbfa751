#!/usr/bin/env bash
# The bash completion as bash runs it: what it offers after an option, after
# --option=, and in place of an option; its algorithms are the program's own.
#   completion_test.sh COMPLETION_FILE PROGRAM
set -u
source "$1"
program=$2
failures=0

# Completes the words given, the last being the one under the cursor, as readline splits them.
offers() {
    COMP_WORDS=("$(basename "$program")" "$@")
    COMP_CWORD=$#
    COMPREPLY=()
    _maze_programs
    echo "${COMPREPLY[*]}"
}
expect() {
    local expected=$1
    shift
    local got
    got=$(offers "$@")
    if [ "$got" != "$expected" ]; then
        echo "completing '$*': expected '$expected', got '$got'" >&2
        failures=$((failures + 1))
    fi
}

# The names the program refuses others with, in its order.
names=$("$program" --algorithm '?' 2>&1 | sed -n "s/.*'?': \(.*\) is expected/\1/p" | sed 's/, / /g; s/ or / /')
[ -n "$names" ] || { echo "the program listed no algorithms" >&2; exit 1; }
expect "$names" --algorithm ''
expect "$names" --algorithm = ''
expect 'backtracker binary-tree' --size 20x10 --algorithm b
expect 'backtracker binary-tree' --algorithm = b
expect 'a4 letter' --paper ''
expect '--size --seed --save --solution --stats' --s
expect '--braid' --br
expect '--paper --pace' --pa
expect 'unlimited' --pace u
expect '--watch' --w
expect '' --seed ''
expect '' --braid ''
exit $((failures > 0))
