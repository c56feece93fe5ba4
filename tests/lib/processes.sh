# Shell helpers shared by the tests that run the game program itself.

# Waits up to $2 tenths of a second for process $1 to end; its status in $status.
wait_end() {
  local pid=$1 tenths=$2
  for ((i = 0; i < tenths; i++)); do
    if ! kill -0 "$pid" 2>/dev/null; then
      wait "$pid"
      status=$?
      return 0
    fi
    sleep 0.1
  done
  return 1
}

# Prints file $1, a game's standard error, without the two lines SDL's disk
# audio driver (the tests' stand-in for a sound card) writes about itself.
game_said() {
  grep -v -e '^CRITICAL: You are using the SDL disk i/o audio driver!$' -e '^CRITICAL:  Writing to file \[' "$1"
}
