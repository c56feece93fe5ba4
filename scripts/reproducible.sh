#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Builds the packages of the last commit twice and checks that both builds are
# byte for byte the same. Each build clones the commit into a folder of its
# own (different names and depths) and builds there, one after the other; the
# second with umask 077 instead of 022, another user name and home, another
# time zone and locale, and, when run as root, as another user (nobody).
# Where a package differs, diffoscope shows how.
#
#   scripts/reproducible.sh           the Debian packages (the game's and the server's) and the
#                                     binary and source tarballs
#   scripts/reproducible.sh windows   the Windows zip (scripts/windows.sh)
#
# HVEZDA_REPRODUCIBLE_JOBS  parallel jobs for each build (default 2)
# HVEZDA_REPRODUCIBLE_KEEP  1 keeps the builds' folder (its path is printed)
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
what="${1:-linux}"
jobs="${HVEZDA_REPRODUCIBLE_JOBS:-2}"
case "$what" in linux | windows) ;; *) echo "usage: $0 [windows]" >&2; exit 2 ;; esac

say() { echo "reproducible: $*"; }
tmp="$(mktemp -d "${TMPDIR:-/tmp}/hvezda-reproducible.XXXXXX")"
chmod 755 "$tmp"
if [ "${HVEZDA_REPRODUCIBLE_KEEP:-0}" = 1 ]; then say "keeping $tmp"; else trap 'rm -rf "$tmp"' EXIT; fi

# The commit travels as a bundle, which any user can clone.
commit="$(git -C "$root" rev-parse HEAD)"
git -C "$root" bundle create -q "$tmp/hvezda.bundle" HEAD
chmod 644 "$tmp/hvezda.bundle"
[ -z "$(git -C "$root" status --porcelain --untracked-files=no)" ] ||
  say "note: uncommitted changes are not built, only commit ${commit:0:12}"

# build FOLDER OUT: clones the commit into FOLDER, builds, copies the packages to OUT.
build() {
  local src=$1 out=$2 log=$1.log
  mkdir -p "$out" "$(dirname "$src")"
  {
    git clone -q "$tmp/hvezda.bundle" "$src" && git -C "$src" checkout -q --detach "$commit"
    if [ "$what" = windows ]; then
      cp "$(cd "$src" && scripts/windows.sh | tail -n 1)" "$out/"
    else
      # Only what the packages hold: cpack's install builds nothing else.
      cmake -S "$src" -B "$src/build" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_SKIP_INSTALL_ALL_DEPENDENCY=ON \
        -DHVEZDA_BUILD_TESTS=OFF -DHVEZDA_BUILD_BENCHMARKS=OFF
      cmake --build "$src/build" -j"$jobs" --target hvezda hvezda-hall hvezda_compressed_docs
      (cd "$src/build" && cpack -G "DEB;TGZ" -B "$out" && cpack --config CPackSourceConfig.cmake -B "$out")
    fi
  } >"$log" 2>&1 || { tail -n 30 "$log" >&2; echo "reproducible: the build in $src failed" >&2; return 1; }
}

# The Windows libraries live in the caller's cache; the Windows builds share it.
export HVEZDA_WIN64_PREFIX="${HVEZDA_WIN64_PREFIX:-$HOME/.cache/hvezda/win64}" HVEZDA_WIN64_JOBS="$jobs"

start=$SECONDS
say "first build, in $tmp/one/hvezda"
(umask 022; export TZ=UTC LC_ALL=C.UTF-8; build "$tmp/one/hvezda" "$tmp/out-one")

second="$tmp/the second build/hvezda-$what"
home="$tmp/home-two"
mkdir -p "$(dirname "$second")" "$tmp/out-two" "$home"
# As another user when we can be one; the Windows libraries' cache stays ours.
as=() who="user name hvezda-two"
if [ "$(id -u)" = 0 ] && [ "$what" = linux ] && id nobody >/dev/null 2>&1; then
  chown nobody "$(dirname "$second")" "$tmp/out-two" "$home"
  as=(setpriv --reuid=nobody --regid="$(id -g nobody)" --clear-groups) who="user nobody"
fi
say "second build, in $second, as $who, umask 077"
export -f build say
export what jobs tmp commit
"${as[@]}" env HOME="$home" USER=hvezda-two LOGNAME=hvezda-two TZ=Asia/Kathmandu LC_ALL=C \
  bash -c 'umask 077 && build "$1" "$2"' bash "$second" "$tmp/out-two"
say "both builds took $((SECONDS - start)) s"

# The same packages, and each the same bytes.
names="$(cd "$tmp/out-one" && ls -1 -- *.deb *.tar.gz *.zip 2>/dev/null || true)"
[ -n "$names" ] || { say "the first build made no package"; exit 1; }
[ "$what" = windows ] || grep -qE '^hvezda-hall_.*\.deb$' <<<"$names" || { say "the first build made no hvezda-hall package"; exit 1; }
[ "$names" = "$(cd "$tmp/out-two" && ls -1 -- *.deb *.tar.gz *.zip 2>/dev/null || true)" ] ||
  { say "the two builds made different packages"; exit 1; }
differ=0
for name in $names; do
  if cmp -s "$tmp/out-one/$name" "$tmp/out-two/$name"; then
    say "identical: $name ($(sha256sum <"$tmp/out-one/$name" | cut -c1-16))"
  else
    differ=1
    say "DIFFERS: $name"
    if command -v diffoscope >/dev/null; then
      diffoscope --text - "$tmp/out-one/$name" "$tmp/out-two/$name" | head -n 400 || true
      say "(at most 400 lines of diffoscope's report; HVEZDA_REPRODUCIBLE_KEEP=1 keeps both builds)"
    else
      say "(diffoscope shows how: apt-get install diffoscope)"
    fi
  fi
done
exit $differ
