#!/usr/bin/env bash
# Installs what the build, the tests and the run need; a second run skips what is there.
# Usage: scripts/setup.sh   (as root, or with sudo available)
set -euo pipefail
ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
source "$ROOT/scripts/env.sh"

SUDO=""
if [ "$(id -u)" != 0 ]; then SUDO="sudo"; fi

PACKAGES=(cmake make g++ g++-mingw-w64-x86-64-posix mingw-w64-x86-64-dev wine64 xvfb xauth
          fonts-wqy-microhei googletest libpng-dev libz-mingw-w64-dev dpkg-dev
          binutils-mingw-w64-x86-64 zlib1g-dev)

missing=()
for p in "${PACKAGES[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done

# libpng's source comes from Debian's source package, so deb-src must be enabled.
need_src=0
[ -f "$LIBPNG_PREFIX/lib/libpng16.a" ] || need_src=1
if [ "$need_src" = 1 ] && ! grep -rqs '^Types:.*deb-src\|^deb-src' /etc/apt/sources.list /etc/apt/sources.list.d/; then
  echo "setup: enabling deb-src entries"
  $SUDO tee /etc/apt/sources.list.d/barmeter-src.sources >/dev/null <<'SRC'
Types: deb-src
URIs: http://deb.debian.org/debian
Suites: bookworm bookworm-updates
Components: main
Signed-By: /usr/share/keyrings/debian-archive-keyring.gpg
SRC
  APT_UPDATED=0
fi

if [ "${#missing[@]}" -gt 0 ] || { [ "$need_src" = 1 ] && [ "${APT_UPDATED:-1}" = 0 ]; }; then
  echo "setup: apt-get update"
  $SUDO apt-get update -qq
fi
if [ "${#missing[@]}" -gt 0 ]; then
  echo "setup: installing ${missing[*]}"
  DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
fi

"$ROOT/scripts/build-libpng.sh"
"$ROOT/scripts/wine-prefix.sh"
