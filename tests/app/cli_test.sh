#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Command lines: --help, --version status 0; a bad one a line, the hint and status 2; none opens a window.
game=$1 pace=$2 version=$3  # usage: cli_test.sh HVEZDA HVEZDA_PACE VERSION
source "$(dirname "$0")/../lib/processes.sh"

run() { env -u DISPLAY -u WAYLAND_DISPLAY -u SDL_VIDEODRIVER SDL_AUDIODRIVER=dummy timeout 20 "$@" >"$work/out" 2>"$work/err"; status=$?; }

run "$game" --help
[ "$status" -eq 0 ] && [ ! -s "$work/err" ] || fail "--help: status $status, standard error: $(cat "$work/err")"
grep -q '^Usage: hvezda' "$work/out" || fail "--help shows no usage: $(head -c 300 "$work/out")"
for control in 'arrow keys' 'X ' 'C ' 'EXIT'; do grep -q "$control" "$work/out" || fail "--help does not mention '$control'"; done

run "$game" --version
[ "$status" -eq 0 ] && [ "$(cat "$work/out")" = "hvezda $version" ] && [ ! -s "$work/err" ] ||
  fail "--version: status $status, said '$(cat "$work/out" "$work/err")'"

bad() {  # what, program, arguments...
  local what=$1 name=$(basename "$2")
  shift
  run "$@"
  [ "$status" -eq 2 ] || fail "$what: status $status, not 2"
  [ ! -s "$work/out" ] || fail "$what: printed on standard output: $(head -c 300 "$work/out")"
  [ "$(wc -l <"$work/err")" -eq 2 ] && grep -q "^$name: " "$work/err" && grep -q -- "--help" "$work/err" ||
    fail "$what: not one line and the hint on standard error: $(cat "$work/err")"
}
bad "an unknown option" "$game" --bogus
grep -q -- '^hvezda: .*--bogus' "$work/err" || fail "the unknown option is not named: $(cat "$work/err")"
bad "a stray word" "$game" play
bad "a probe's option to the game" "$game" --seconds 5
bad "a probe run of no length" "$pace" --seconds 0
bad "a probe run of no number" "$pace" --seconds soon
bad "an unknown phase" "$pace" --phase sideways
bad "a daily flight is no replay" "$game" --daily --replay-best 1

# Today's daily flights, from an empty hall, with no window.
XDG_STATE_HOME="$work/state" run "$game" --scores --daily
[ "$status" -eq 0 ] && grep -q "^No daily flight of today ($(date -u +%F))" "$work/out" ||
  fail "--scores --daily: status $status, said '$(cat "$work/out" "$work/err")'"

run "$pace" --help
[ "$status" -eq 0 ] && grep -q -- '--phase' "$work/out" && grep -q -- '--no-music' "$work/out" ||
  fail "hvezda-pace --help: status $status, $(head -c 300 "$work/out")"

finish "command line"
