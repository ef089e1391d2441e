# Shared paths of the scripts; sourced, not run.
: "${ROOT:=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)}"
export BARMETER_DEPS="${BARMETER_DEPS:-$ROOT/build/deps}"
export LIBPNG_PREFIX="$BARMETER_DEPS/libpng-mingw"
export WINEPREFIX="${BARMETER_WINEPREFIX:-$BARMETER_DEPS/wineprefix}"
export WINEDEBUG=-all
export WINEDLLOVERRIDES="${WINEDLLOVERRIDES:-mscoree,mshtml=}"
# Debian 12 ships only the 64-bit loader; `wine` may not exist or may be 32-bit.
export WINE64=/usr/lib/wine/wine64
export WINESERVER=/usr/lib/wine/wineserver
