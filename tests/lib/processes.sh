# SPDX-License-Identifier: MIT
# Shared test helpers: a scratch folder $work, gone at exit with every process in $started.
set -u
work=$(mktemp -d)
failures=0
started=()
trap 'kill "${started[@]}" 2>/dev/null; chmod -R u+rwX "$work" 2>/dev/null || true; rm -rf "$work"' EXIT
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }
# Ends the script: "$1: all checks passed" and status 0, or status 1.
finish() { [ "$failures" -eq 0 ] && echo "$1: all checks passed"; exit $((failures > 0)); }
# Skips the test (status 77) unless every program named is there.
need() {
  for tool; do command -v "$tool" >/dev/null || { echo "SKIP: $tool is missing (scripts/deps.sh installs it)"; exit 77; }; done
}

# Expects "$@" after four words to end with status $2, its output and error matching patterns $3 and $4 ($1: a name).
check() {
  local label=$1 want=$2 out=$3 err=$4
  shift 4
  "$@" >"$work/out" 2>"$work/err"
  status=$?
  [ "$status" = "$want" ] && [[ "$(cat "$work/out")" == $out ]] && [[ "$(cat "$work/err")" == $err ]] ||
    fail "$label: status $status, printed '$(head -c 300 "$work/out")', said '$(head -c 300 "$work/err")'"
}

# An X server of our own, of $1 (WxH), as $DISPLAY, on a free display number.
start_xvfb() {
  need Xvfb xdotool
  Xvfb -displayfd 3 -screen 0 "${1}x24" -nolisten tcp 3>"$work/display" 2>"$work/xvfb.err" &
  started+=($!)
  within 50 test -s "$work/display" || { echo "FAIL: Xvfb did not start: $(cat "$work/xvfb.err")"; exit 1; }
  export DISPLAY=":$(head -n 1 "$work/display")"
}

# Tries "$@" every tenth of a second, $1 times at most: whether it succeeded.
within() {
  local n=$1 i
  shift
  for ((i = 0; i < n; i++)); do "$@" && return 0; sleep 0.1; done
  return 1
}
# Waits up to $2 tenths of a second for process $1 to end; its status in $status.
wait_end() { within "$2" eval "! kill -0 $1 2>/dev/null" && { wait "$1"; status=$?; }; }

# Starts "$@" (output in $work/game.out, .err) and waits 15 s at most for its window: $pid, $wid.
start_game() {
  "$@" >"$work/game.out" 2>"$work/game.err" &
  pid=$!
  wid=$(timeout 15 xdotool search --sync --onlyvisible --name '^Form1$' 2>/dev/null | head -n 1)
  [ -n "$wid" ] && return 0
  kill -KILL "$pid" 2>/dev/null; wait "$pid" 2>/dev/null
  fail "no window within 15 s; standard error: $(head -c 500 "$work/game.err")"
  return 1
}

# Short flights under the craft until the ship is lost in game $1 as recorded so far (asked of $sim); `$2 I` before each.
fly_until_lost() {
  local i sides=(Left Right Right Left)
  for ((i = 0; i < 800; i++)); do
    [ "$({ head -n "$(wc -l <"$1")" "$1"; echo "get Timer1.Enabled"; } | "$sim" 2>/dev/null)" = Timer1.Enabled=false ] && return
    ${2:+$2 $i}
    xdotool keydown ${sides[i % 4]} sleep 0.05 keyup ${sides[i % 4]} sleep 0.2
  done
}

# Clicks window pixel X Y (default: EXIT), up to three times 2 s apart (SDL drops a click on focus), until the game ends.
click_to_end() {
  for _ in 1 2 3; do
    xdotool mousemove --window "$wid" "${1:-603}" "${2:-73}" click 1
    wait_end "$pid" 20 && return 0
  done
  kill -KILL "$pid" 2>/dev/null; wait "$pid" 2>/dev/null
  return 1
}

# The x of the ship (picture $1) on its row in the unscaled window $wid, or nothing after two seconds of looking.
ship_x() {
  local x
  for _ in $(seq 10); do
    eval "$(xdotool getwindowgeometry --shell "$wid")"
    import -window root -crop "667x79+$X+$((Y + 432))" +repage "$work/row.png"
    x=$(compare -metric AE -fuzz 4% -subimage-search "$work/row.png" "$1" null: 2>&1 | awk -F'[ @,]+' '$1 < 400 { print $2 }')
    [ -n "$x" ] && break
    sleep 0.2
  done
  echo "$x"
}

# Whether screenshot $1 shows picture $2's panel $3 times as large at ($4, $5), black beside the scene.
shows_panel() {
  convert "$2" -crop 667x97+0+0 -scale "$((100 * $3))%" "$work/want.png"
  convert "$1" -crop "$((667 * $3))x$((97 * $3))+$4+$5" +repage "$work/got.png"
  local err lit
  err=$(compare -metric MAE "$work/want.png" "$work/got.png" null: 2>&1 | sed 's/.*(\(.*\))/\1/')
  lit=$(convert "$1" -fill black -draw "rectangle $4,$5 $(($4 + 667 * $3 - 1)),$(($5 + 570 * $3 - 1))" -separate \
    -evaluate-sequence max -format '%[fx:maxima]' info:)
  awk -v e="$err" -v o="$lit" 'BEGIN { exit !(e < 0.008 && o < 0.16) }' || { echo "mean error $err, brightest outside $lit"; return 1; }
}

# Serves folder $1 over HTTP on 127.0.0.1, on a free port: its address in $url.
serve_folder() {
  python3 -u -m http.server 0 --bind 127.0.0.1 --directory "$1" >"$work/server.out" 2>&1 &
  started+=($!)
  within 50 grep -q ' port ' "$work/server.out"
  url="http://127.0.0.1:$(sed -n 's/.* port \([0-9]*\) .*/\1/p' "$work/server.out")/"
  [ "$url" != "http://127.0.0.1:/" ] || { echo "FAIL: no server for $1: $(cat "$work/server.out")"; exit 1; }
}

# Server $1 on 127.0.0.1:$2 (0: any free port), options after: $url, $port, $hall_pid, $work/hall.out, .err.
serve_hall() {
  local program=$1 at=$2
  shift 2
  : >"$work/hall.out"
  "$program" --listen "127.0.0.1:$at" "$@" >"$work/hall.out" 2>>"$work/hall.err" &
  hall_pid=$!
  started+=($hall_pid)
  within 100 eval "grep -q 'listening on' '$work/hall.out' || ! kill -0 $hall_pid 2>/dev/null"
  url=$(sed -n 's|.*listening on \(http://[^ ]*\)/ .*|\1|p' "$work/hall.out")
  [ -n "$url" ] || { echo "FAIL: the server did not start: $(tail -n 3 "$work/hall.err")"; exit 1; }
  port=${url##*:}
}
