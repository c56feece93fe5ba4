#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# The Windows zip: its files and imports; under Wine, also for a user Jiří, the window, EXIT and %APPDATA%\hvezda.
zip=$(realpath "$1") linux=$(realpath "$2")  # usage: tests/windows/package_under_wine.sh ZIP LINUX-BUILD
ship=$(dirname "$0")/../../assets/ship.bmp user=${USER:-player}
name=$(basename "$zip" .zip)
version=${name#hvezda-}
version=${version%-win64}
source "$(dirname "$0")/../lib/processes.sh"

want=$(printf '%s\n' "" LICENSE Moonlite.dat README.txt hvezda-sim.exe hvezda.exe | sed "s|^|$name/|")
[ "$(unzip -Z1 "$zip" | sort)" = "$want" ] || fail "the zip holds: $(unzip -Z1 "$zip" | tr '\n' ' ')"
windows="advapi32 gdi32 imm32 kernel32 msvcrt ole32 oleaut32 setupapi shell32 user32 version winmm"
for exe in hvezda.exe hvezda-sim.exe; do
  unzip -p "$zip" "$name/$exe" > "$work/$exe"
  for dll in $(x86_64-w64-mingw32-objdump -p "$work/$exe" | sed -n 's/^\s*DLL Name: \(.*\)\.dll$/\L\1/ip'); do
    [[ " $windows " == *" $dll "* ]] || fail "$exe imports $dll.dll, which is neither Windows' nor in the zip"
  done
  wrestool -l "$work/$exe" | grep -q 'type=14' && wrestool -l "$work/$exe" | grep -q 'type=16' ||
    fail "$exe carries no icon or no version information"
done
x86_64-w64-mingw32-objdump -p "$work/hvezda.exe" | grep -q 'Subsystem.*Windows GUI' || fail "hvezda.exe is no desktop program"

# ---- On a virtual display: the window sits in its middle.
start_xvfb 1280x1024
export SDL_AUDIODRIVER=dummy WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
printf 'screenshot %s/start.png\n' "$work" | "$linux/hvezda-sim" || fail "the Linux driver drew no screenshot"
for place in here Jiří; do
  export WINEPREFIX="$work/$place/prefix" USER=$user
  [ "$place" = here ] || USER=$place
  unzip -q "$zip" -d "$work/$place"
  game="$work/$place/$name/hvezda.exe"
  said=$(wine "$game" --version 2> "$work/wine.err" | tr -d '\r')  # Wine talks of its prefix on stderr
  [ "$said" = "hvezda $version" ] || fail "$place: --version said: $said"
  wine "$game" 2> "$work/$place.err" &
  pid=$!
  # Looked for often: the craft soon shoot, and the start lasts a moment.
  for _ in $(seq 1800); do
    wid=$(xdotool search --onlyvisible --name '^Form1$' 2> /dev/null | head -n 1) && [ -n "$wid" ] && break; sleep 0.05
  done
  [ -n "$wid" ] || { fail "$place: no window"; kill "$pid"; continue; }
  for _ in $(seq 4); do x=$(ship_x "$ship") && [ "$x" = 304 ] && break; done  # the window may show before its first frame
  shot="$work/$place.png"
  import -window root "$shot"
  eval "$(xdotool getwindowgeometry --shell "$wid")"
  [ "${WIDTH}x$HEIGHT" = 667x570 ] || fail "$place: the window is ${WIDTH}x$HEIGHT"
  [ "$x" = 304 ] || fail "$place: the ship is not at its starting place (x '$x')"
  shows_panel "$shot" "$work/start.png" 1 "$X" "$Y" || fail "$place: the panel differs from the driver's"
  # The gauge's lower part: a hit or two drains only its top.
  convert "$shot" -crop "16x150+$((X + 650))+$((Y + 400))" +repage "$work/gauge.png"
  convert "$work/start.png" -crop 16x150+650+400 +repage "$work/gauge0.png"
  [ "$(compare -metric AE -fuzz 5% "$work/gauge.png" "$work/gauge0.png" null: 2>&1)" = 0 ] ||
    fail "$place: the gauge differs from the driver's"
  xdotool mousemove --window "$wid" 603 73 click 1  # EXIT
  wait_end "$pid" 100 && [ "$status" -eq 0 ] || { fail "$place: EXIT did not end the game with status 0"; kill "$pid"; }
  [ ! -s "$work/$place.err" ] || fail "$place: the game said: $(cat "$work/$place.err")"
  wineserver -k
done

# Jiří's own folder holds the game's files; the Windows driver verifies the recording by its full name.
appdata="$WINEPREFIX/drive_c/users/Jiří/AppData/Roaming/hvezda"
[ -s "$appdata/last-game.sim" ] || fail "Jiří: no recording in $appdata"
wine "$(dirname "$game")/hvezda-sim.exe" --verify 'C:\users\Jiří\AppData\Roaming\hvezda\last-game.sim' \
  > "$work/verify.out" 2>&1 || fail "Jiří: the driver did not verify the recording: $(tr -d '\r' < "$work/verify.out")"
said=$(wine "$game" --write-settings 2>&1 | tr -d '\r')
[ "$said" = 'hvezda: settings written to C:\users\Jiří\AppData\Roaming\hvezda\settings.toml' ] &&
  [ -s "$appdata/settings.toml" ] || fail "Jiří: --write-settings said: $said"
wineserver -k
finish "Windows package under Wine"
