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

# Starts a private Xvfb on a free display, exports DISPLAY and sets XVFB_PID.
start_private_xvfb() {
  local fifo num
  fifo="$(mktemp -u)"; mkfifo "$fifo"
  Xvfb -displayfd 3 -screen 0 1280x800x24 -nolisten tcp 3>"$fifo" 2>/dev/null &
  XVFB_PID=$!
  if ! read -r -t 20 num <"$fifo"; then rm -f "$fifo"; echo "Xvfb did not start" >&2; return 1; fi
  rm -f "$fifo"
  export DISPLAY=":$num"
}

# Set-up, then the Windows build of the named targets.
build_windows_targets() {
  "$ROOT/scripts/setup.sh"
  (cd "$ROOT" && cmake --preset windows >/dev/null && cmake --build --preset windows --target "$@" >/dev/null)
}
