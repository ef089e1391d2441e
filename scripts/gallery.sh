#!/usr/bin/env bash
# Renders the eleven skins at 25, 50, 75 and 100 % through the gadget's own controls under Wine
# into docs/skins-gallery.png.
set -euo pipefail
ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
cd "$ROOT"
source "$ROOT/scripts/env.sh"
build_windows_targets skin_gallery
out="$ROOT/docs/skins-gallery.png"
"$ROOT/scripts/wine-run.sh" "$ROOT/build/windows/tools/gallery/skin_gallery.exe" "Z:${out//\//\\}"
