# Sourced by the end-to-end scripts: runs tickmeter.exe under Wine and looks
# at it through form1_probe.exe.
set -euo pipefail

if [ -z "${DISPLAY:-}" ]; then
  echo "FAIL: DISPLAY is not set; these tests need an X server (./test starts Xvfb)" >&2
  exit 1
fi
if [ -z "${WINEPREFIX:-}" ]; then
  echo "FAIL: WINEPREFIX is not set; these tests need a Wine prefix with a running wineserver" >&2
  exit 1
fi
export WINEDEBUG=-all

failures=0
meter_pid=

fail() {
  echo "FAIL: $*" >&2
  failures=$((failures + 1))
}

# expect <what> <expected> <actual>
expect() {
  if [ "$2" == "$3" ]; then
    echo "ok: $1"
  else
    fail "$1: expected '$2', got '$3'"
  fi
}

probe() { wine "$PROBE" "$@"; }

# start_meter <folder>: runs <folder>/tickmeter.exe in the background, its
# standard error in <folder>/stderr.txt.
start_meter() {
  wine "$1/tickmeter.exe" 2>"$1/stderr.txt" &
  meter_pid=$!
}

# wait_meter: sets meter_status to the meter's exit status, or to "still
# running" if it has not ended 10 s later.
wait_meter() {
  local waited=0
  while kill -0 "$meter_pid" 2>/dev/null; do
    if [ $waited -ge 100 ]; then
      meter_status="still running"
      return
    fi
    sleep 0.1
    waited=$((waited + 1))
  done
  meter_status=0
  wait "$meter_pid" || meter_status=$?
  meter_pid=
}

stop_leftover_meter() {
  if [ -n "$meter_pid" ] && kill -0 "$meter_pid" 2>/dev/null; then
    kill "$meter_pid" 2>/dev/null || true
    wait "$meter_pid" 2>/dev/null || true
  fi
}
trap stop_leftover_meter EXIT

finish() {
  if [ $failures -ne 0 ]; then
    echo "$failures check(s) failed" >&2
    exit 1
  fi
  echo "all checks passed"
}
