#!/usr/bin/env bash
# Creates the project's own Wine prefix (build/wineprefix) once both Wine architectures are
# installed, and maps the UI fonts to faces with Chinese glyphs.
set -euo pipefail
source "$(dirname "$0")/lib.sh"

stamp=$WINEPREFIX/.dorrik-fonts
[ -f "$stamp" ] && exit 0
[ -x "$WINE32" ] && [ -x "$WINE64" ] || die "wine32 and wine64 are needed before the prefix is made"

echo "dorrik: creating the Wine prefix in $WINEPREFIX"
mkdir -p "$WINEPREFIX"
trap dorrik_cleanup EXIT
dorrik_need_display
"$WINE64" wineboot -i >/dev/null 2>&1
"$WINESERVER" -w

hei="WenQuanYi Micro Hei"
song="AR PL UMing CN"
subst='HKLM\Software\Microsoft\Windows NT\CurrentVersion\FontSubstitutes'
for face in "MS Shell Dlg" "MS Shell Dlg 2" "Tahoma" "Microsoft Sans Serif" "MS Sans Serif"; do
    "$WINE64" reg add "$subst" /v "$face" /d "$hei" /f >/dev/null 2>&1
    "$WINE64" reg add 'HKCU\Software\Wine\Fonts\Replacements' /v "$face" /d "$hei" /f >/dev/null 2>&1
done
# "宋体" (SimSun) is a Song face: map it to the Ming face, which has the same serif style.
for face in "宋体" "SimSun" "NSimSun"; do
    "$WINE64" reg add "$subst" /v "$face" /d "$song" /f >/dev/null 2>&1
    "$WINE64" reg add 'HKCU\Software\Wine\Fonts\Replacements' /v "$face" /d "$song" /f >/dev/null 2>&1
done
"$WINESERVER" -w
touch "$stamp"
