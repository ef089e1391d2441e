#!/usr/bin/env bash
# Benchmark: the CPU sampler against /proc/stat under Wine at idle, one and two busy threads.
# Prints figures only; not a test. Options go to the program: --seconds N (default 30 per load), --readings.
set -euo pipefail
ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
cd "$ROOT"
source "$ROOT/scripts/env.sh"
build_windows_targets cpu_accuracy
exec "$ROOT/scripts/wine-run.sh" "$ROOT/build/windows/bench/cpu_accuracy.exe" "$@"
