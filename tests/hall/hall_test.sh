#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# A real server on SQLite and curl: games at the driver's score, refusals with their reasons, names never markup.
hall=$1 sim=$2 corpus=$3  # usage: hall_test.sh HVEZDA_HALL HVEZDA_SIM CORPUS_FOLDER
source "$(dirname "$0")/../lib/hall.sh"
need sqlite3

alice=alice-token-0123456789abcdef bob=bob-token-0123456789abcdef

field() { jq -r "$1" "$work/body"; }
# Expects GET $1 to answer 200, jq expression $2 giving $3.
answers() { ask "$url$1"; [ "$status" = 200 ] && [ "$(field "$2")" = "$3" ] || fail "GET $1: $status, $2 not '$3': $(head -c 300 "$work/body")"; }

# Expects recording $2 sent with token $3 to be refused with status $4 and a reason matching $5.
refused() {
  send "$2" "$3"
  [ "$status" = "$4" ] && field .error | grep -Eq -- "$5" ||
    fail "$1: status $status, not $4 with a reason like '$5': $(head -c 300 "$work/body")"
}

# Expects recording $1 sent with token $2 to be listed with status $3 and the driver's score.
accepted() {
  send "$work/$1.sim" "$2"
  [ "$status" = "$3" ] && [ "$(field .score)" = "$(cat "$work/$1.driver")" ] && [ -n "$(cat "$work/$1.driver")" ] &&
    [ "$(field .result)" = "GAME OVER" ] && [ "$(field .length_ms)" -gt 0 ] ||
    fail "$1: status $status (not $3), score not the driver's $(cat "$work/$1.driver"): $(head -c 300 "$work/body")"
}

# A command line it cannot serve: a line saying why, status 2 (a bad option) or 1.
for args in "2 --listen 127.0.0.1" "2 --listen 127.0.0.1:http" "1 --database postgres://nowhere" "1 --database sqlite:$work/no/x"; do
  # shellcheck disable=SC2086
  check "hvezda-hall ${args#? }" ${args%% *} "" "hvezda-hall: *" timeout 10 "$hall" ${args#? }
done

set_clock '2026-12-07 12:00 UTC'
start_hall --test-clock "$work/clock"

# The empty boards; wrong questions.
answers '/api/board?board=open' '"\(.board) \(.entries | length)"' 'open 0'
answers '/api/board?board=daily' .day 2026-12-07  # the clock's day
for q in 400:/api/board?board=weekly '400:/api/board?board=daily&day=2026-02-30' \
  '400:/api/board?board=open&day=2026-12-07' 404:/api/games/0123456789abcdef01234567 '404:/api/games/%3Cscript%3E' 404:/nowhere; do
  ask "$url${q#*:}"
  [ "$status" = "${q%%:*}" ] && [ -n "$(field .error)" ] || fail "GET ${q#*:}: $status $(cat "$work/body")"
done

# A page from another address may send games: the preflight allows the token's header.
curl -s -D "$work/headers" -o /dev/null -X OPTIONS -H 'Origin: https://example.org' \
  -H 'Access-Control-Request-Headers: authorization' "$url/api/games"
grep -q '^HTTP/1.1 204' "$work/headers" && grep -qi '^Access-Control-Allow-Headers: Authorization' "$work/headers" &&
  grep -qi '^Access-Control-Allow-Origin: \*' "$work/headers" || fail "the preflight: $(cat "$work/headers")"

# Seeds: distinct, exact in a page's script, and answered at once.
s1=$(seed_from "$url") s2=$(seed_from "$url")
[[ "$s1" =~ ^[0-9]+$ ]] && [ "$s1" != "$s2" ] && [ "$s1" -lt 9007199254740992 ] ||
  fail "two seeds: '$s1' and '$s2'"

# Refusals that need no luck at all (more with their reasons in hostile_requests.py).
for game in "$corpus"/*.sim; do
  grep -q '^daily ' "$game" && continue  # a day's game is judged by its day below
  grep -q '^seed ' "$game" && why="not issued by this server" || why="luck was chosen"
  refused "$(basename "$game"): $why" "$game" "$alice" 422 "$why"
done
ask -H "Authorization: Bearer $alice" --data-binary @"$corpus/winner.sim" "$url/api/games"
[ "$status" = 413 ] && field .error | grep -q 'text/plain' || fail "a form-encoded game: $status $(cat "$work/body")"
# A game recorded in the window, its seed issued here an hour ago: listed at its checked score, under no name.
for game in "$corpus"/*.sim; do
  grep -q '^seed ' "$game" && ! grep -q '^daily ' "$game" || continue
  sqlite3 "$work/hall.sqlite" "INSERT INTO seeds (seed, issued) VALUES ('$(sed -n 's/^seed //p' "$game")', $(($(cat "$work/clock") - 3600000)))"
  send "$game" "$alice"
  [ "$status" = 201 ] && [ "$(field .score)" = "$(sed -n 's/^expect score.Caption //p' "$game")" ] &&
    [ "$(field .name)" = "" ] || fail "$(basename "$game") with its seed issued: $status $(cat "$work/body")"
  windowed=$(field .id)
done
sed 's/^expect-hash .*/expect-hash 0123456789abcdef/' "$corpus/game-over-format2.sim" >"$work/doctored.sim"
refused "a doctored end" "$work/doctored.sim" "$alice" 422 "does not verify"

# The open board: a seed this server issued, once, for a game no longer than the time since.
seal open1 "seed $s1\n" 'Jiří Černý' 1
refused "a game longer than the time since its seed" "$work/open1.sim" "$alice" 422 "longer than the time since its seed"
set_clock '2026-12-07 12:30 UTC'
accepted open1 "$alice" 201
open1=$(field .id)
[ "$(field '"\(.board) \(.rank > 0) \(.name) \(.day)"')" = 'open true Jiří Černý null' ] || fail "the first open game: $(cat "$work/body")"
sed -e 's/^player .*/player 2026-12-07T12:00:00+01:00 Mallory/' -e 's/^advance 300000.*/advance 150000\nadvance 150000/' \
  "$work/open1.script" >"$work/resealed.script"
"$sim" --seal "$work/resealed.script" >"$work/resealed.sim"
cmp -s "$work/resealed.sim" "$work/open1.sim" && fail "the resealed game is the same file"
refused "a stolen game resealed" "$work/resealed.sim" "$bob" 409 "already on the board"
seal open4 "seed $s2\n" 'Jiří Černý' 4
refused "a name of another token" "$work/open4.sim" "$bob" 409 "belongs to another player"
seal open4 "seed $s2\n" '<b>Bob</b> & <script>' 4
accepted open4 "$bob" 201
answers '/api/board?board=open' '[.entries[].rank] | join(",")' 1,2,3
cmp -s <(curl -s "$url/api/games/$open1") "$work/open1.sim" || fail "the recording is not given back byte for byte"

printf 'seed %s\nplayer 2026-12-07T12:00:00+01:00 Ev\xe2\x80\xaeil\nadvance 300000\n' "$(seed_from "$url")" \
  >"$work/bidi.script"
"$sim" --seal "$work/bidi.script" >"$work/bidi.sim"
set_clock '2026-12-07 13:00 UTC'

# The daily board: the day's seed (until when: HallRules.DaysAreUtcAndEndAnHourLate).
seal day7 'daily 2026-12-07\n' 'Jiří Černý' 5
accepted day7 "$alice" 201
answers '/api/board?board=daily&day=2026-12-07' '"\(.entries | length) \(.entries[0].name)"' '1 Jiří Černý'

# Names: shown as written, never as markup; no control or direction-changing characters.
refused "a name that turns the text round" "$work/bidi.sim" "$alice" 422 "direction-changing"
set_clock '2026-12-07 18:00 UTC'
start_hall --test-clock "$work/clock" --web "$work"  # for the replay links (the page at /play/: hall_page_test.mjs)
curl -s "$url/" >"$work/page.html"
grep -q "&lt;b&gt;Bob&lt;/b&gt; &amp; &lt;script&gt;</td><td>$(cat "$work/open4.driver")<" "$work/page.html" &&
  ! grep -q '<script' "$work/page.html" || fail "the name with markup is not shown escaped by its score: $(grep -i bob "$work/page.html")"
grep -q 'Jiří Černý' "$work/page.html" && grep -q "href=\"/api/games/$open1\"" "$work/page.html" &&
  grep -q "href=\"/play/?replay=$open1\"" "$work/page.html" ||
  fail "the page after a restart lacks the games: $(head -c 600 "$work/page.html")"
[ "$(grep -c '<tr><td>' "$work/page.html")" = 4 ] || fail "the page lists not the 3 open and 1 daily games"
grep -q "<td class=\"name\">-</td>.*$windowed" "$work/page.html" || fail "the game of no name is not listed as -"
[ "$(sqlite3 "$work/hall.sqlite" "SELECT count(*) FROM players WHERE token_hash LIKE '%$alice%'")" = 0 ] &&
  ! grep -qa "$alice" "$work/hall.sqlite" || fail "a token is kept as it was sent"

finish "hall of fame server"
