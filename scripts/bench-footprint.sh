#!/usr/bin/env bash
# Benchmark: what the gadget costs under Wine (tick, CPU at rest, start-up, soak growth, exe size), each
# figure next to a reference from the same run. Prints figures only; not a test. Options go to the
# program: --seconds N (at rest, default 60), --ticks N, --soak-divisor N, --startup-runs N.
# Other Wine programs on the same prefix disturb the figures; BARMETER_WINEPREFIX can name a copy.
set -euo pipefail
ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
cd "$ROOT"
source "$ROOT/scripts/env.sh"
build_windows_targets footprint barmeter standin_taskbar
exec "$ROOT/scripts/wine-run.sh" "$ROOT/build/windows/bench/footprint.exe" "$@"
