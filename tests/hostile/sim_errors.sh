#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# The driver on bad scripts, files and options: status 2, a line naming the fault after what came before.
sim=$1  # usage: sim_errors.sh HVEZDA_SIM
source "$(dirname "$0")/../lib/processes.sh"

printf 'get clock\nadvance 10\njump 3\nget clock\n' >"$work/bad.sim"
jump="error: line 3: unknown command 'jump'"
check "malformed line in a file" 2 "clock=0" "$jump" "$sim" "$work/bad.sim"
check "malformed line on standard input (-)" 2 "clock=0" "$jump" "$sim" - <"$work/bad.sim"
check "malformed line on standard input" 2 "clock=0" "$jump" "$sim" <"$work/bad.sim"
printf 'advance 20\n\377\376\001\n' >"$work/binary.sim"
check "bytes that are no command" 2 "" "error: line 2: unknown command *" "$sim" "$work/binary.sim"
printf 'advance 10\nget clock' >"$work/no_newline.sim"
check "last line without a line end" 0 "clock=10" "" "$sim" "$work/no_newline.sim"
check "missing script" 2 "" "error: cannot read $work/does-not-exist.sim" "$sim" "$work/does-not-exist.sim"
check "bad --seed" 2 "" "usage: hvezda-sim *" "$sim" --seed x "$work/bad.sim"
check "a folder as a recording" 2 "" "error: $work is not a file" "$sim" --verify "$work"
check "--seal of a driver-only line" 2 "" "error: line 1: 'get' is not a line a script to seal may hold *" \
  "$sim" --seal "$work/bad.sim"
# A sealed game with a checkpoint changed went another way (1); cut at a random byte, it replays up to the cut (3).
printf 'keydown 39\nadvance 3000\nkeyup 39\nadvance 500\n' >"$work/play.sim"
"$sim" --seal "$work/play.sim" >"$work/good.sim"
sed 's/^checkpoint 3000 .*/checkpoint 3000 0000000000000001/' "$work/good.sim" >"$work/other.sim"
check "a checkpoint that differs" 1 "" "error: line 4: the game went another way at 3000 ms: *" "$sim" --verify "$work/other.sim"
head -c $((1 + RANDOM % ($(grep -b '^expect-hash' "$work/good.sim" | cut -d: -f1) - 1))) "$work/good.sim" >"$work/cut.sim"
check "a recording cut short" 3 "" "cut short: line [0-9]*: *" "$sim" --verify "$work/cut.sim"
# A recording from a stranger: 100 MB of garbage is refused at once in bounded memory.
head -c 100000000 /dev/urandom >"$work/garbage.sim"
/usr/bin/time -f "%e %M" -o "$work/time" "$sim" --verify "$work/garbage.sim" >/dev/null 2>&1
read -r seconds kb < <(tail -n 1 "$work/time")
/usr/bin/time -f "%e %M" -o "$work/time" "$sim" --verify "$work/bad.sim" >/dev/null 2>&1
read -r _ base_kb < <(tail -n 1 "$work/time")
echo "100 MB of garbage: refused in $seconds s, $kb KB resident ($base_kb KB for a short file)"
awk -v s="$seconds" 'BEGIN { exit !(s < 1) }' || fail "garbage took $seconds s to refuse"
[ "$kb" -lt $((base_kb + 4096)) ] || fail "garbage took $kb KB, against $base_kb KB for a short file"
"$sim" --help | grep -q '24 hours (86400000 ms)' || fail "--help does not state the play-time limit"
finish "driver errors"
