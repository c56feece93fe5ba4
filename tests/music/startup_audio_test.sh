#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# The game started, SDL's disk driver its sound card: music from start-up (not silent, clipped or gapped),
# nothing on standard error, and EXIT stops it.
# usage: startup_audio_test.sh HVEZDA
game=$1
source "$(dirname "$0")/../lib/processes.sh"
start_xvfb 1280x1024
export XDG_STATE_HOME="$work/state" SDL_AUDIODRIVER=disk SDL_DISKAUDIOFILE="$work/out.raw"
start_game "$game" || exit 1
sleep 3
click_to_end || fail "the game still runs after EXIT"
size=$(stat -c %s "$work/out.raw")
sleep 0.5
[ "$(stat -c %s "$work/out.raw")" = "$size" ] || fail "audio written after EXIT"
# Float32 stereo: frames, peak, RMS, samples at full scale or beyond, the longest silent run.
read -r frames peak rms clipped silence < <(od -An -v -f -w8 "$work/out.raw" | awk '
  { n++; l = $1 < 0 ? -$1 : $1; r = $2 < 0 ? -$2 : $2; sum += l * l + r * r; clipped += (l >= 1) + (r >= 1)
    if (l > peak) peak = l; if (r > peak) peak = r
    run = l == 0 && r == 0 ? run + 1 : 0; if (run > longest) longest = run }
  END { printf "%d %.4f %.4f %d %d\n", n, peak, n ? sqrt(sum / (2 * n)) : 0, clipped, longest }')
echo "status ${status:-}; $frames frames, peak $peak, RMS $rms, $clipped clipped, longest silence $silence frames"
[ "${status:-1}" -eq 0 ] || fail "EXIT gave status ${status:-}"
[ "$frames" -ge 96000 ] || fail "only $frames frames written in about three seconds"
awk -v r="$rms" 'BEGIN { exit !(r > 0.05) }' || fail "the music is (nearly) silent"
[ "$clipped" -eq 0 ] || fail "$clipped samples clipped"
[ "$silence" -le 12000 ] || fail "a silent gap of $silence frames once the music had begun"
# All but the two lines the disk driver writes about itself.
said=$(grep -v -e '^CRITICAL: You are using the SDL disk i/o audio driver!$' -e '^CRITICAL:  Writing to file \[' "$work/game.err")
[ -z "$said" ] || fail "a normal start printed: ${said:0:500}"
finish "music at start-up"
