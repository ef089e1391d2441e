#!/usr/bin/env bash
# Runs a Windows exe under Wine for ctest (CMAKE_CROSSCOMPILING_EMULATOR) and by hand.
# Uses the project's prefix and $DISPLAY; without a display it starts a private Xvfb for this run.
# Tests may run in parallel: they share the prefix's wineserver, which ends by itself when idle.
set -uo pipefail
ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
source "$ROOT/scripts/env.sh"

xvfb_pid=""
cleanup() {
  if [ -n "$xvfb_pid" ]; then kill "$xvfb_pid" 2>/dev/null; wait "$xvfb_pid" 2>/dev/null; fi
}
trap cleanup EXIT
trap 'exit 143' INT TERM

if [ -z "${DISPLAY:-}" ]; then
  fifo="$(mktemp -u)"; mkfifo "$fifo"
  Xvfb -displayfd 3 -screen 0 1280x800x24 -nolisten tcp 3>"$fifo" 2>/dev/null &
  xvfb_pid=$!
  read -r -t 20 num <"$fifo" || { echo "wine-run: Xvfb did not start" >&2; exit 1; }
  rm -f "$fifo"
  export DISPLAY=":$num"
fi

"$WINE64" "$@"
rc=$?
exit $rc
