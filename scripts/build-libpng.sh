#!/usr/bin/env bash
# Builds a static x86_64 mingw libpng from Debian's libpng1.6 source package into a cached prefix.
set -euo pipefail
ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
source "$ROOT/scripts/env.sh"
[ -f "$LIBPNG_PREFIX/lib/libpng16.a" ] && exit 0

work="$BARMETER_DEPS/libpng-src"
rm -rf "$work" && mkdir -p "$work"
cd "$work"
echo "setup: fetching libpng1.6 source"
apt-get source -qq libpng1.6 >/dev/null 2>&1 || apt-get source libpng1.6
src="$(find . -maxdepth 1 -type d -name 'libpng1.6-*' | head -1)"
cd "$src"
HOST=x86_64-w64-mingw32
ZINC=/usr/$HOST/include
echo "setup: building libpng for $HOST"
./configure --host=$HOST --prefix="$LIBPNG_PREFIX" --enable-static --disable-shared \
  --disable-tools --disable-hardware-optimizations \
  CC=$HOST-gcc-posix AR=$HOST-ar RANLIB=$HOST-ranlib \
  CPPFLAGS="-I$ZINC" LDFLAGS="-L/usr/$HOST/lib" CFLAGS="-O2" >/dev/null
make -j"$(nproc)" libpng16.la >/dev/null
make install >/dev/null 2>&1
test -f "$LIBPNG_PREFIX/lib/libpng16.a"
echo "setup: libpng installed in $LIBPNG_PREFIX"
