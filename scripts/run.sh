#!/usr/bin/env bash
# Command 1: runs the gadget under Wine, docked in a stand-in taskbar, and saves a screenshot once a second.
# Uses $DISPLAY, or a private Xvfb when none is set. Options: --seconds N (default: until Ctrl-C).
set -euo pipefail
ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
cd "$ROOT"
source "$ROOT/scripts/env.sh"
build_windows_targets standin_taskbar barmeter

shot="$ROOT/build/screenshot.png"
args=(--with-gadget --screenshot "Z:${shot//\//\\}")
[ "${1:-}" = "--seconds" ] && args+=(--seconds "${2:?seconds}")

XVFB_PID=""
cleanup() { [ -n "$XVFB_PID" ] && { "$WINESERVER" -k 2>/dev/null; kill "$XVFB_PID" 2>/dev/null; }; true; }
trap cleanup EXIT
if [ -z "${DISPLAY:-}" ]; then
  start_private_xvfb
  echo "run: no DISPLAY set, using a private Xvfb on $DISPLAY"
fi
echo "run: the gadget docked in a stand-in taskbar; screenshot every second: $shot"
"$WINE64" "$ROOT/build/windows/tools/standin_taskbar/standin_taskbar.exe" "${args[@]}"
