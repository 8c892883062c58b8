#!/usr/bin/env bash
# Creates one of the project's own Wine prefixes once both Wine architectures are installed, gives
# Wine its own fonts, maps the UI fonts to faces with Chinese glyphs, and leaves windows unmanaged:
#
#     scripts/prefix.sh [styled|classic]
#
# styled (the default): $WINEPREFIX (build/wineprefix), with Wine's own visual style on, as every
# new prefix has it. classic: $DORRIK_CLASSIC_PREFIX (build/wineprefix-classic), visual styles off,
# the 3-D look that windows get under high contrast or older Windows.
set -euo pipefail
source "$(dirname "$0")/lib.sh"

look=${1:-styled}
case $look in
    styled) ;;
    classic) export WINEPREFIX=$DORRIK_CLASSIC_PREFIX ;;
    *) die "prefix.sh: no look \"$look\" (styled or classic)" ;;
esac

# Bump the number when the settings below change: existing prefixes then get them too.
stamp=$WINEPREFIX/.dorrik-settings-3
[ -f "$stamp" ] && exit 0
[ -x "$WINE32" ] && [ -x "$WINE64" ] || die "wine32 and wine64 are needed before the prefix is made"

mkdir -p "$WINEPREFIX"
trap dorrik_cleanup EXIT
dorrik_need_display
if [ ! -f "$WINEPREFIX/system.reg" ]; then
    echo "dorrik: creating the Wine prefix in $WINEPREFIX"
    "$WINE64" wineboot -i >/dev/null 2>&1
    "$WINESERVER" -w
fi

# Wine's own fonts (Marlett draws the caption buttons' symbols): Debian's Wine does not read them
# where the package puts them, only from the prefix's Fonts folder.
[ -f /usr/share/wine/fonts/marlett.ttf ] || die "Wine's fonts are missing: install fonts-wine (scripts/setup.sh does)"
cp /usr/share/wine/fonts/* "$WINEPREFIX/drive_c/windows/Fonts/"

reg() { "$WINE64" reg add "$1" /v "$2" /d "$3" /f >/dev/null 2>&1; }

hei="WenQuanYi Micro Hei"
song="AR PL UMing CN"
subst='HKLM\Software\Microsoft\Windows NT\CurrentVersion\FontSubstitutes'
replace='HKCU\Software\Wine\Fonts\Replacements'
for face in "MS Shell Dlg" "MS Shell Dlg 2" "Tahoma" "Microsoft Sans Serif" "MS Sans Serif"; do
    reg "$subst" "$face" "$hei"
    reg "$replace" "$face" "$hei"
done
# "宋体" (SimSun) is a Song face: the Ming face has the same serif style.
for face in "宋体" "SimSun" "NSimSun"; do
    reg "$subst" "$face" "$song"
    reg "$replace" "$face" "$song"
done
# Xvfb has no window manager: without this, hiding or destroying a top-level window waits two
# seconds for a manager that never answers.
reg 'HKCU\Software\Wine\X11 Driver' Managed N
# The classic look: the colours stay the ones the style's first start gave the prefix.
if [ "$look" = classic ]; then
    reg 'HKCU\Software\Microsoft\Windows\CurrentVersion\ThemeManager' ThemeActive 0
fi
"$WINESERVER" -w

# A program in the prefix gets Marlett when it asks for it, or the caption buttons show letters.
check=$WINEPREFIX/marlett_check.exe
x86_64-w64-mingw32-gcc -o "$check" "$DORRIK_ROOT/scripts/marlett_check.c" -lgdi32 ||
    die "could not build scripts/marlett_check.c"
face=$("$WINE64" "$check" 2>/dev/null | tr -d '\r') ||
    die "a program in the prefix $WINEPREFIX asks for the font Marlett and gets \"$face\": Wine draws the caption buttons as the letters \"0 1 r\". Its fonts belong in $WINEPREFIX/drive_c/windows/Fonts (from /usr/share/wine/fonts, package fonts-wine)."
"$WINESERVER" -w
touch "$stamp"
