#!/usr/bin/env bash
# Command 2: every test. Native core under ASan/UBSan, then the Windows build under Wine in Xvfb.
set -uo pipefail
ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
cd "$ROOT"
"$ROOT/scripts/setup.sh" || exit 1
source "$ROOT/scripts/env.sh"

status=0
echo "== native build and tests"
{ cmake --preset native >/dev/null && cmake --build --preset native; } || exit 1
ctest --preset native || status=1

echo "== Windows build and tests under Wine"
{ cmake --preset windows >/dev/null && cmake --build --preset windows; } || exit 1

# One private display for the whole run; nothing is left running afterwards.
start_private_xvfb || exit 1
cleanup() { "$WINESERVER" -k 2>/dev/null; kill "$XVFB_PID" 2>/dev/null; wait "$XVFB_PID" 2>/dev/null; }
trap cleanup EXIT
ctest --preset windows || status=1
exit $status
