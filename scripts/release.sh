#!/usr/bin/env bash
# Builds build/release/BarMeter-VERSION.zip: the exe, a README for Windows users and the licence notices.
set -euo pipefail
ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
cd "$ROOT"
source "$ROOT/scripts/env.sh"
build_windows_targets barmeter

version="$(sed -n 's/^project(barmeter VERSION \([0-9.]*\).*/\1/p' CMakeLists.txt)"
name="BarMeter-$version"
stage="$ROOT/build/release/$name"
rm -rf "$stage" "$ROOT/build/release/$name.zip"
mkdir -p "$stage/licences"
cp build/windows/app/barmeter.exe "$stage/"
x86_64-w64-mingw32-strip "$stage/barmeter.exe"
cp docs/README-windows.txt "$stage/README.txt"
cp "$(ls -d "$BARMETER_DEPS"/libpng-src/libpng1.6-*/)LICENSE" "$stage/licences/libpng.txt"
cp /usr/share/doc/libz-mingw-w64-dev/copyright "$stage/licences/zlib.txt"
# winpthreads and the mingw-w64 runtime are linked in statically.
cp /usr/share/doc/mingw-w64-x86-64-dev/copyright "$stage/licences/mingw-w64-runtime.txt"
cp skins/assets/PHOTOS.md "$stage/licences/photographs.md"
(cd "$ROOT/build/release" && cmake -E tar cf "$name.zip" --format=zip "$name")
echo "release: build/release/$name.zip"
unzip -l "$ROOT/build/release/$name.zip" 2>/dev/null || (cd "$ROOT/build/release" && cmake -E tar tf "$name.zip")
