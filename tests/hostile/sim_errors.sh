#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# The driver program itself on bad input: a malformed line stops it with
# status 2 and one line on standard error that names the line, from a file
# and from standard input alike, after printing only what the lines before
# it asked for; an unreadable script path and a bad option give status 2 too.
# Then --verify on recordings that try to write a file or to exhaust memory.
#   sim_errors.sh HVEZDA_SIM
set -u
sim=$1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

expect() {  # label, wanted status, wanted stdout, wanted stderr; the run's files in $work/out, $work/err
  local label=$1 status=$2 want_out=$3 want_err=$4 got
  got=$(cat "$work/status")
  [ "$got" = "$status" ] || fail "$label: status $got, not $status"
  [ "$(cat "$work/out")" = "$want_out" ] || fail "$label: printed '$(head -c 300 "$work/out")', not '$want_out'"
  [ "$(cat "$work/err")" = "$want_err" ] || fail "$label: said '$(head -c 300 "$work/err")', not '$want_err'"
}
run() { "$@" >"$work/out" 2>"$work/err"; echo $? >"$work/status"; }

printf 'get clock\nadvance 10\njump 3\nget clock\n' >"$work/bad.sim"
run "$sim" "$work/bad.sim"
expect "malformed line in a file" 2 "clock=0" "error: line 3: unknown command 'jump'"
run "$sim" - <"$work/bad.sim"
expect "malformed line on standard input (-)" 2 "clock=0" "error: line 3: unknown command 'jump'"
run "$sim" <"$work/bad.sim"
expect "malformed line on standard input" 2 "clock=0" "error: line 3: unknown command 'jump'"

printf 'get clock\r\nadvance 10\r\nkeydown  88\r\n' >"$work/crlf.sim"
run "$sim" "$work/crlf.sim"
expect "double blank in a Windows-ended script" 2 "clock=0" "error: line 3: words must be separated by single spaces"

printf 'advance 20\n\377\376\001\n' >"$work/binary.sim"
run "$sim" "$work/binary.sim"
[ "$(cat "$work/status")" = 2 ] || fail "bytes that are no command: status $(cat "$work/status"), not 2"
grep -q '^error: line 2: unknown command' "$work/err" || fail "bytes that are no command: said '$(cat "$work/err")'"

printf 'advance 10\nget clock' >"$work/no_newline.sim"
run "$sim" "$work/no_newline.sim"
expect "last line without a line end" 0 "clock=10" ""

run "$sim" "$work/does-not-exist.sim"
expect "missing script" 2 "" "error: cannot read $work/does-not-exist.sim"

run "$sim" --seed x "$work/bad.sim"
[ "$(cat "$work/status")" = 2 ] || fail "bad --seed: status $(cat "$work/status"), not 2"
grep -q '^usage: hvezda-sim' "$work/err" || fail "bad --seed: no usage line: '$(cat "$work/err")'"

# Recordings from strangers: a screenshot line is refused before anything runs
# and writes nothing; 100 MB of garbage is refused at once in bounded memory.
printf 'advance 10\nscreenshot %s/shot.png\nexpect-hash 0\n' "$work" >"$work/shot.sim"
run "$sim" --verify "$work/shot.sim"
expect "screenshot in a recording" 2 "" \
  "error: line 2: 'screenshot' is not a line of a recording (keydown, keyup, click, advance, random, expect, expect-hash)"
[ -e "$work/shot.png" ] && fail "a recording wrote a screenshot"
run "$sim" --verify "$work"
expect "a folder as a recording" 2 "" "error: $work is not a file"
head -c 100000000 /dev/urandom >"$work/garbage.sim"
/usr/bin/time -f "%e %M" -o "$work/time" "$sim" --verify "$work/garbage.sim" >/dev/null 2>&1
read -r seconds kb < <(tail -n 1 "$work/time")
/usr/bin/time -f "%e %M" -o "$work/time" "$sim" --verify "$work/shot.sim" >/dev/null 2>&1
read -r _ base_kb < <(tail -n 1 "$work/time")
echo "100 MB of garbage: refused in $seconds s, $kb KB resident ($base_kb KB for a short file)"
awk -v s="$seconds" 'BEGIN { exit !(s < 1) }' || fail "garbage took $seconds s to refuse"
[ "$kb" -lt $((base_kb + 4096)) ] || fail "garbage took $kb KB, against $base_kb KB for a short file"
"$sim" --help | grep -q '24 hours (86400000 ms)' || fail "--help does not state the play-time limit"

[ "$failures" -eq 0 ] && echo "driver errors: all checks passed"
exit $((failures > 0))
