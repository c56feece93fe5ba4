#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# usage: hardening_test.sh PROGRAM... (each hardened) | --flags SRC (a packager's flags after the build's own)
source "$(dirname "$0")/../lib/processes.sh"

if [ "${1:-}" = --flags ]; then
  CXXFLAGS="-fno-stack-protector -D_FORTIFY_SOURCE=3" LDFLAGS="-Wl,-z,lazy" cmake -S "$2" -B "$work/b" \
    -DHVEZDA_WITH_SDL=OFF -DHVEZDA_BUILD_TESTS=OFF -DHVEZDA_BUILD_BENCHMARKS=OFF >"$work/log" 2>&1 || { cat "$work/log"; exit 1; }
  flags=$(grep CXX_FLAGS "$work/b/src/sim/CMakeFiles/hvezda-sim.dir/flags.make") link=$(cat "$work/b/src/sim/CMakeFiles/hvezda-sim.dir/link.txt")
  [[ "$flags" == *"-fstack-protector-strong "*"-fno-stack-protector -D_FORTIFY_SOURCE=3"* && "$flags" != *"_FORTIFY_SOURCE=2"* &&
    "$link" == *"-z,now "*"-z,lazy"* ]] || fail "the packager's flags are not last: $flags $link"
  finish "a packager's flags"
fi

for program; do
  case "$(file -b "$program")" in
    ELF*)
      need hardening-check
      hardening-check --nocfprotection "$program" || fail "$program: hardening-check"
      # Debian 12's C start files carry no CET note: control flow integrity is most functions starting with endbr64.
      read -r starts functions < <(objdump -d --no-show-raw-insn "$program" | awk '/^Disassembly/ { text = ($4 == ".text:") }
        text && />:$/ { functions++; getline; starts += ($2 == "endbr64") } END { print starts + 0, functions + 0 }')
      echo " Functions beginning with endbr64: $starts of $functions"
      [ $((2 * starts)) -gt "$functions" ] || fail "$program: no control flow protection" ;;
    PE32+*)
      x86_64-w64-mingw32-objdump -p "$program" | sed -n '/^DllCharacteristics/,/^[^[:space:]]/p' | sed '$d' | tee "$work/dll"
      for flag in HIGH_ENTROPY_VA DYNAMIC_BASE NX_COMPAT; do grep -qw $flag "$work/dll" || fail "$program: no $flag"; done
      x86_64-w64-mingw32-nm "$program" | grep -qw __stack_chk_fail || fail "$program: no stack protector" ;;
    *) fail "$program: neither ELF nor PE32+" ;;
  esac
done
finish "hardened: $*"
