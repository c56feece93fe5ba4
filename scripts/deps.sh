#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Installs from Debian's packages what this machine lacks:
#
#   scripts/deps.sh play    what building and playing the game need
#   scripts/deps.sh         that, and what the tests, fuzzing, benchmarks,
#                           memory checks and package checks need
#
# Safe to run again: it installs only what is missing.
set -euo pipefail

play=(
  build-essential cmake pkg-config
  libsdl2-dev libsdl2-image-dev libsdl2-ttf-dev libfontconfig-dev fonts-liberation2 fonts-dejavu-core
  libopenmpt-dev libasound2-dev libcli11-dev libtomlplusplus-dev zlib1g-dev libsndfile1-dev
  libcpp-httplib-dev libsqlite3-dev libssl-dev nlohmann-json3-dev libcurl4-openssl-dev libpq-dev
)
test=(
  googletest libgtest-dev libbenchmark-dev
  openmpt123 time libebur128-dev
  curl jq sqlite3 postgresql
  xvfb xauth xdotool x11-utils imagemagick openbox libxtst-dev libxdamage-dev
  clang libclang-rt-14-dev
  desktop-file-utils appstream man-db lintian file systemd
  devscripts diffoscope
)

packages=("${play[@]}")
if [ "${1:-}" != play ]; then packages+=("${test[@]}"); fi

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$p")
  fi
done

if [ ${#missing[@]} -eq 0 ]; then
  exit 0
fi

echo "deps: installing ${missing[*]}"
sudo=""
if [ "$(id -u)" -ne 0 ]; then sudo="sudo"; fi
export DEBIAN_FRONTEND=noninteractive
$sudo apt-get update -qq
$sudo apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
