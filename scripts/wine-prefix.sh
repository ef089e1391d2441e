#!/usr/bin/env bash
# Creates the Wine prefix of tests and runs: 64-bit, quiet, and the labels' face mapped to an installed one.
set -euo pipefail
ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
source "$ROOT/scripts/env.sh"
marker="$WINEPREFIX/.barmeter-ready-3"
[ -f "$marker" ] && exit 0

echo "setup: creating Wine prefix $WINEPREFIX"
mkdir -p "$WINEPREFIX"
# No window manager runs under Xvfb: unmanaged windows spare Wine its 2 s wait on every destroy.
export WINEARCH=win64
unset DISPLAY
"$WINE64" wineboot -i >/dev/null 2>&1 || true
"$WINESERVER" -w

# regedit reads UTF-16 .reg files, so the Chinese face name survives any Unix locale.
reg="$(mktemp --suffix=.reg)"
printf '%s\r\n' \
  'Windows Registry Editor Version 5.00' '' \
  '[HKEY_LOCAL_MACHINE\Software\Microsoft\Windows NT\CurrentVersion\FontSubstitutes]' \
  '"微软雅黑"="WenQuanYi Micro Hei"' \
  '"Microsoft YaHei"="WenQuanYi Micro Hei"' '' \
  '[HKEY_CURRENT_USER\Software\Wine\WineDbg]' \
  '"ShowCrashDialog"=dword:00000000' '' \
  '[HKEY_CURRENT_USER\Software\Wine\X11 Driver]' \
  '"Managed"="N"' '' \
  | iconv -f UTF-8 -t UTF-16 > "$reg"
cp "$reg" "$WINEPREFIX/drive_c/barmeter-setup.reg"
"$WINE64" regedit /S 'C:\barmeter-setup.reg' >/dev/null 2>&1
"$WINESERVER" -w
rm -f "$reg" "$WINEPREFIX/drive_c/barmeter-setup.reg"
# Menus and dialogs draw with the UI faces, which have no Chinese glyphs here: link them to the CJK font.
for face in Tahoma "MS Shell Dlg" "MS Shell Dlg 2" "Microsoft Sans Serif" "Segoe UI"; do
  "$WINE64" reg add 'HKLM\Software\Microsoft\Windows NT\CurrentVersion\FontLink\SystemLink' \
    /v "$face" /t REG_MULTI_SZ /d 'wqy-microhei.ttc,WenQuanYi Micro Hei' /f >/dev/null 2>&1
done
"$WINESERVER" -w
grep -q 'WenQuanYi' "$WINEPREFIX/system.reg"
touch "$marker"
echo "setup: Wine prefix ready"
