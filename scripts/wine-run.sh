#!/usr/bin/env bash
# Runs a Windows exe under Wine for ctest (CMAKE_CROSSCOMPILING_EMULATOR) and by hand.
# Uses the project's prefix and $DISPLAY; without a display it starts a private Xvfb for this run.
# Tests may run in parallel: they share the prefix's wineserver, which ends by itself when idle.
set -uo pipefail
ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
source "$ROOT/scripts/env.sh"

XVFB_PID=""
cleanup() {
  if [ -n "$XVFB_PID" ]; then kill "$XVFB_PID" 2>/dev/null; wait "$XVFB_PID" 2>/dev/null; fi
}
trap cleanup EXIT
trap 'exit 143' INT TERM

if [ -z "${DISPLAY:-}" ]; then
  start_private_xvfb || exit 1
fi

"$WINE64" "$@"
rc=$?
exit $rc
