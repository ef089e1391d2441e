#!/usr/bin/env bash
# Command 1: runs the gadget under Wine, docked in a stand-in taskbar, and saves a screenshot once a second.
# Uses $DISPLAY, or a private Xvfb when none is set. Options: --seconds N (default: until Ctrl-C).
set -euo pipefail
ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
cd "$ROOT"
"$ROOT/scripts/setup.sh"
source "$ROOT/scripts/env.sh"
cmake --preset windows >/dev/null
cmake --build --preset windows --target standin_taskbar barmeter >/dev/null

shot="$ROOT/build/screenshot.png"
args=(--with-gadget --screenshot "Z:${shot//\//\\}")
[ "${1:-}" = "--seconds" ] && args+=(--seconds "${2:?seconds}")

xvfb_pid=""
cleanup() { [ -n "$xvfb_pid" ] && { "$WINESERVER" -k 2>/dev/null; kill "$xvfb_pid" 2>/dev/null; }; true; }
trap cleanup EXIT
if [ -z "${DISPLAY:-}" ]; then
  fifo="$(mktemp -u)"; mkfifo "$fifo"
  Xvfb -displayfd 3 -screen 0 1280x800x24 -nolisten tcp 3>"$fifo" 2>/dev/null &
  xvfb_pid=$!
  read -r -t 20 num <"$fifo"; rm -f "$fifo"
  export DISPLAY=":$num"
  echo "run: no DISPLAY set, using a private Xvfb on $DISPLAY"
fi
echo "run: the gadget docked in a stand-in taskbar; screenshot every second: $shot"
"$WINE64" "$ROOT/build/windows/tools/standin_taskbar/standin_taskbar.exe" "${args[@]}"
