#!/usr/bin/env bash
# Fuzzes ui::decodePicture with libFuzzer (clang, ASan, UBSan) for a bounded time.
# Usage: scripts/fuzz.sh [SECONDS]   (default 300)
#   FUZZ_LIBPNG=system        link Debian's libpng-dev as it is (default); coverage stops at its API
#   FUZZ_LIBPNG=instrumented  build Debian's libpng1.6 source with the same sanitizers and coverage,
#                             so the fuzzer also sees inside libpng (needs deb-src, as scripts/setup.sh sets up)
# Works on a copy of fuzz/corpus in build/fuzz; crashing inputs land in build/fuzz/artifacts.
# Exits 1 if the run found a crash, leak, timeout or out-of-memory input.
set -euo pipefail
ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
SECONDS_TO_RUN="${1:-300}"
LIBPNG_KIND="${FUZZ_LIBPNG:-system}"
OUT="$ROOT/build/fuzz"
case "$LIBPNG_KIND" in
  system) OUT="$ROOT/build/fuzz" ;;
  instrumented) OUT="$ROOT/build/fuzz-instrumented" ;;
  *) echo "fuzz: FUZZ_LIBPNG must be system or instrumented" >&2; exit 2 ;;
esac

SUDO=""
if [ "$(id -u)" != 0 ]; then SUDO="sudo"; fi
PACKAGES=(clang libclang-rt-14-dev libpng-dev zlib1g-dev)
missing=()
for p in "${PACKAGES[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ "${#missing[@]}" -gt 0 ]; then
  echo "fuzz: installing ${missing[*]}"
  $SUDO apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
fi

SAN=(-fsanitize=address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer)
mkdir -p "$OUT"

if [ "$LIBPNG_KIND" = instrumented ]; then
  prefix="$OUT/libpng"
  if [ ! -f "$prefix/lib/libpng16.a" ]; then
    rm -rf "$OUT/libpng-src" && mkdir -p "$OUT/libpng-src"
    echo "fuzz: fetching and building libpng1.6 with sanitizers"
    (cd "$OUT/libpng-src" && apt-get source -qq libpng1.6 >/dev/null 2>&1 || apt-get source libpng1.6)
    src="$(find "$OUT/libpng-src" -maxdepth 1 -type d -name 'libpng1.6-*' | head -1)"
    (cd "$src" &&
      ./configure --prefix="$prefix" --enable-static --disable-shared \
        --disable-hardware-optimizations CC=clang \
        CFLAGS="-O1 -g -fsanitize=fuzzer-no-link ${SAN[*]}" >/dev/null &&
      make -j"$(nproc)" libpng16.la >/dev/null && make install >/dev/null 2>&1)
    test -f "$prefix/lib/libpng16.a"
  fi
  PNG_FLAGS=(-I"$prefix/include" "$prefix/lib/libpng16.a" -lz -lm)
else
  PNG_FLAGS=(-lpng16 -lz)
fi

echo "fuzz: building $OUT/decode_picture_fuzzer"
clang++ -std=c++20 -Wall -Wextra -Werror -O1 -g -fsanitize=fuzzer "${SAN[@]}" -I"$ROOT" \
  "$ROOT/fuzz/decode_picture_fuzzer.cpp" "$ROOT/ui/png_image.cpp" "${PNG_FLAGS[@]}" \
  -o "$OUT/decode_picture_fuzzer"

# A fresh copy each run, so the committed seeds never grow.
rm -rf "$OUT/corpus" "$OUT/artifacts"
cp -r "$ROOT/fuzz/corpus" "$OUT/corpus"
mkdir -p "$OUT/artifacts"

echo "fuzz: running for ${SECONDS_TO_RUN}s on $(ls "$OUT/corpus" | wc -l) seeds (log: $OUT/fuzz.log)"
status=0
"$OUT/decode_picture_fuzzer" -max_total_time="$SECONDS_TO_RUN" -rss_limit_mb=2048 -timeout=25 \
  -print_final_stats=1 -artifact_prefix="$OUT/artifacts/" "$OUT/corpus" >"$OUT/fuzz.log" 2>&1 || status=$?

final_stat() { sed -n "s/^stat::$1: *//p" "$OUT/fuzz.log" | tail -1; }
last="$(grep -E '^#[0-9]+' "$OUT/fuzz.log" | tail -1 || true)"
cov="$(sed -n 's/.* cov: \([0-9]*\).*/\1/p' <<<"$last")"
ft="$(sed -n 's/.* ft: \([0-9]*\).*/\1/p' <<<"$last")"
corp="$(sed -n 's/.* corp: \([^ ]*\).*/\1/p' <<<"$last")"
crashes="$(find "$OUT/artifacts" -type f | wc -l)"
echo "fuzz: libpng:        $LIBPNG_KIND"
echo "fuzz: executions:    $(final_stat number_of_executed_units)"
echo "fuzz: exec/s:        $(final_stat average_exec_per_sec)"
echo "fuzz: coverage:      ${cov:-?} edges, ${ft:-?} features"
echo "fuzz: corpus:        ${corp:-?} inputs/size in use; $(ls "$OUT/corpus" | wc -l) files written (from $(ls "$ROOT/fuzz/corpus" | wc -l) seeds)"
echo "fuzz: peak RSS:      $(final_stat peak_rss_mb) MB"
echo "fuzz: crashes:       $crashes"
if [ "$crashes" -gt 0 ] || [ "$status" != 0 ]; then
  find "$OUT/artifacts" -type f -printf 'fuzz:   %p\n'
  grep -m1 -E 'ERROR: |runtime error|decode_picture_fuzzer: ' "$OUT/fuzz.log" | sed 's/^/fuzz:   /' || true
  echo "fuzz: FAILED (libFuzzer exit $status)" >&2
  exit 1
fi
echo "fuzz: no crash"
