#!/usr/bin/env bash
# Fails unless every DLL that the exe imports is a Windows system DLL.
set -euo pipefail
exe="$1"
allowed=" kernel32.dll user32.dll gdi32.dll advapi32.dll msvcrt.dll shell32.dll ntdll.dll comctl32.dll "
dlls="$(x86_64-w64-mingw32-objdump -p "$exe" | sed -n 's/^\s*DLL Name: //p' | tr 'A-Z' 'a-z')"
[ -n "$dlls" ] || { echo "no import table found in $exe"; exit 1; }
bad=0
for d in $dlls; do
  case "$allowed" in *" $d "*) echo "imports $d";; *) echo "NOT A SYSTEM DLL: $d"; bad=1;; esac
done
exit $bad
