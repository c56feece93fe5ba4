#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# The Debian packages, lintian clean; with --hall the server's too, its unit sandboxed and starting the server.
build=$1 hall=${2:-}  # usage: package_test.sh BUILD_DIR [--hall]
source "$(dirname "$0")/../lib/processes.sh"
need lintian

cpack -G DEB --config "$build/CPackConfig.cmake" -B "$work" >"$work/cpack.log" 2>&1 || { cat "$work/cpack.log"; echo "FAIL: cpack"; exit 1; }
deb=$(ls "$work"/hvezda_*.deb)
depends=$(dpkg-deb -f "$deb" Depends)
echo "Depends: $depends"
for lib in libsdl2-2.0-0 libsdl2-image-2.0-0 libsdl2-ttf-2.0-0 libopenmpt0 libfontconfig1 libstdc++6 fonts-dejavu-core; do
  grep -qwF "$lib" <<<"$depends" || fail "the package does not depend on $lib"
done
! dpkg-deb -c "$deb" | grep -F hall || fail "the game's package holds the server's files (above)"
lintian --fail-on error,warning "$deb" >"$work/lintian.log" 2>&1 || fail "lintian: $(cat "$work/lintian.log")"
report="$(basename "$deb"), $(stat -c %s "$deb") bytes"

if [ "$hall" = --hall ]; then
  need systemd-analyze curl
  halldeb=$(ls "$work"/hvezda-hall_*.deb 2>/dev/null) || { fail "no hvezda-hall package: $(ls "$work")"; finish "$report"; }
  [ "$(dpkg-deb -f "$halldeb" Package)" = hvezda-hall ] || fail "the server's package is called $(dpkg-deb -f "$halldeb" Package)"
  depends=$(dpkg-deb -f "$halldeb" Depends)
  echo "hvezda-hall Depends: $depends"
  for lib in libsqlite3-0 libpq5 libssl3 libcpp-httplib libstdc++6; do
    grep -qF "$lib" <<<"$depends" || fail "the server's package does not depend on $lib"
  done
  grep -qE 'fonts-|libsdl' <<<"$depends" && fail "the server's package depends on a font or SDL"
  unit=usr/lib/systemd/system/hvezda-hall.service
  expected="usr/bin/hvezda-hall
$unit
usr/share/doc/hvezda-hall/changelog.gz
usr/share/doc/hvezda-hall/copyright
usr/share/man/man1/hvezda-hall.1.gz"
  files=$(dpkg-deb -c "$halldeb" | awk '!/^d/ { sub(/^\.\//, "", $6); print $6 }' | LC_ALL=C sort)
  [ "$files" = "$expected" ] || fail "the server's package's files differ (< expected, > packaged): $(diff <(echo "$expected") <(echo "$files"))"
  lintian --fail-on error,warning "$halldeb" >"$work/lintian.log" 2>&1 || fail "lintian: $(cat "$work/lintian.log")"

  root="$work/hall-root"
  dpkg-deb -x "$halldeb" "$root"
  for line in ExecStart=/usr/bin/hvezda-hall DynamicUser=yes StateDirectory=hvezda-hall ProtectSystem=strict \
    NoNewPrivileges=yes MemoryMax= 'WantedBy=multi-user.target'; do
    grep -q "^$line" "$root/$unit" || fail "the unit has no line $line"
  done
  # systemd checks the unit against the package's files (and its own targets), naming every line it would ignore.
  cp -n /lib/systemd/system/*.target "$root/usr/lib/systemd/system/"
  verify=$(systemd-analyze verify --root="$root" --man=no "$root/$unit" 2>&1 | grep -v 'running with root privileges')
  [ -z "$verify" ] || fail "systemd-analyze verify: $verify"
  zcat "$root/usr/share/man/man1/hvezda-hall.1.gz" >"$work/hvezda-hall.1"
  out=$(LC_ALL=C.UTF-8 man --warnings -E UTF-8 -l "$work/hvezda-hall.1" 2>&1 >/dev/null)
  [ -z "$out" ] || fail "man: $out"
  for option in $("$root/usr/bin/hvezda-hall" --help | grep -oE -- '--[a-z-]+' | sort -u); do
    sed 's/\\-/-/g' "$work/hvezda-hall.1" | grep -qF -- "$option" || fail "the manual page does not tell $option"
  done

  # The packaged server with the unit's options, but on a free port and a scratch board.
  options=$(sed -n 's|^ExecStart=/usr/bin/hvezda-hall ||p' "$root/$unit" |
    sed -E "s|--listen [^ ]+ ?||; s|--database [^ ]+|--database sqlite:$work/hall.sqlite|")
  serve_hall "$root/usr/bin/hvezda-hall" 0 $options
  curl -sf "$url/api/board?board=open" | grep -q '"entries"' || fail "the server the unit starts answers no board at $url"
  report="$report; $(basename "$halldeb"), $(stat -c %s "$halldeb") bytes"
fi
finish "$report; lintian clean"
