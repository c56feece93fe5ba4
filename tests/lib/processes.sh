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
