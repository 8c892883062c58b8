#!/usr/bin/env bash
# Takes the README's pictures into docs/: Dorrik and the gallery in a virtual display of their
# own, skinned, with a button halfway through its hover fade, with the skin switched off, and
# with a skinned message box open. Each picture waits for what it shows, with a deadline.
set -euo pipefail
source "$(dirname "$0")/lib.sh"

bash "$DORRIK_ROOT/scripts/setup.sh"
docs=$DORRIK_ROOT/docs
mkdir -p "$docs"

program_pid=
work=
stop_program() {
    [ -n "$program_pid" ] || return 0
    kill "$program_pid" 2>/dev/null || true
    wait "$program_pid" 2>/dev/null || true
    program_pid=
}
trap 'stop_program; [ -z "$work" ] || rm -rf "$work"; dorrik_cleanup' EXIT
# Always a display of our own: nothing else on screen, and no window manager drawing frames.
unset DISPLAY
dorrik_need_display
dorrik_start_wineserver
dorrik_build i686 dorrik dorrik_gallery
work=$(mktemp -d)
screen=$work/screen.png

# Anything the programs are to show gets this long; a loaded machine may starve them a while.
patience=30

# start <exe> <exact window title>: starts the program and waits for its window; sets WID, X, Y,
# WIDTH, HEIGHT (the whole window: Wine draws the frame itself when nothing manages it).
start() {
    "$WINE32" "$1" >/dev/null 2>&1 &
    program_pid=$!
    WID=$(timeout $patience xdotool search --sync --onlyvisible --name "$2" | head -1) || die "no window \"$2\""
    eval "$(xdotool getwindowgeometry --shell "$WID")"
}

# The client area's origin on screen: equal side and bottom borders around a client of w x h.
client_origin() {
    local border=$(( (WIDTH - $1) / 2 ))
    CX=$((X + border))
    CY=$((Y + HEIGHT - $2 - border))
}

look() { import -window root -depth 8 png:"$screen"; }
# area_sum <w> <h> <x> <y>: a checksum of that part of the screen.
area_sum() { import -window root -depth 8 -crop "$1x$2+$3+$4" rgb:- 2>/dev/null | md5sum; }
# The colour of one pixel of the last look, as RRGGBB.
pixel() {
    convert "$screen" -crop "1x1+$1+$2" -depth 8 txt:- | sed -n 's/.*#\([0-9A-Fa-f]\{6\}\).*/\1/p' | tr 'a-f' 'A-F'
}

# settle <what> <w> <h> <x> <y> [checksum]: waits until that part of the screen shows the same in
# two looks in a row (and, given a checksum, something else than it); sets SUM.
settle() {
    local what=$1 deadline=$((SECONDS + patience)) last=
    while :; do
        SUM=$(area_sum "$2" "$3" "$4" "$5")
        if [ "$SUM" = "$last" ] && [ "$SUM" != "${6:-}" ]; then return 0; fi
        [ $SECONDS -lt $deadline ] || die "$what did not settle within $patience s"
        last=$SUM
        sleep 0.3
    done
}

# shot <file> <width> <height> <x> <y>: that part of the last look, as a PNG.
shot() {
    convert "$screen" -crop "$2x$3+$4+$5" +repage "$docs/$1"
    echo "docs/$1"
}

# close_window: Alt+F4 to the program's window, then wait for the program to end.
close_window() {
    xdotool windowfocus --sync "$WID" || die "the window took no keyboard focus"
    xdotool key alt+F4
    local deadline=$((SECONDS + patience))
    while kill -0 "$program_pid" 2>/dev/null; do
        [ $SECONDS -lt $deadline ] || die "the program did not end on Alt+F4"
        sleep 0.1
    done
    wait "$program_pid" 2>/dev/null || true
    program_pid=
}

away() { xdotool mousemove 0 0; }

# --- Dorrik: skinned, then the pointer on Command2 while its hot face fades in: its face
# (white) at (2, 2) inside it goes to light blue (8DDAFE); the picture is the first look past
# half way.
away
start "$DORRIK_BUILD/i686/app/dorrik.exe" '^Dorrik$'
client_origin 264 79
face_x=$((CX + 138)) face_y=$((CY + 18))   # Command2 (128, 16 in the frame at 8, 0), plus 2, 2
settle "Dorrik's window" "$WIDTH" "$HEIGHT" "$X" "$Y"
look
[ "$(pixel $face_x $face_y)" = FFFFFF ] || die "Dorrik is not skinned: $(pixel $face_x $face_y) on Command2"
shot dorrik.png "$WIDTH" "$HEIGHT" "$X" "$Y"
xdotool mousemove $((CX + 192)) $((CY + 32))
deadline=$((SECONDS + patience))
while :; do
    look
    colour=$(pixel $face_x $face_y)
    red=$((16#${colour:0:2}))
    [ "$colour" != 8DDAFE ] || die "the hover fade ended before a look caught it half way"
    [ $red -gt $(((0xFF + 0x8D) / 2)) ] || break
    [ $SECONDS -lt $deadline ] || die "Command2's hot face did not fade in (still $colour)"
done
shot dorrik-hover.png "$WIDTH" "$HEIGHT" "$X" "$Y"
away
close_window

# --- The gallery: skinned, with the skin switched off, and with a message box. Its progress
# bars move all the time: whether a picture has settled is judged left of them.
start "$DORRIK_BUILD/i686/tools/gallery.exe" '^Dorrik gallery — '
client_origin 620 460
still_width=$((CX - X + 420))
settle "the gallery" "$still_width" "$HEIGHT" "$X" "$Y"
skinned=$SUM
look
shot gallery.png "$WIDTH" "$HEIGHT" "$X" "$Y"

xdotool mousemove $((CX + 20)) $((CY + 444)) click 1     # "Skin on"
away
settle "the gallery with the skin off" "$still_width" "$HEIGHT" "$X" "$Y" "$skinned"
unskinned=$SUM
look
shot gallery-unskinned.png "$WIDTH" "$HEIGHT" "$X" "$Y"
xdotool mousemove $((CX + 20)) $((CY + 444)) click 1     # and on again
away
settle "the gallery skinned again" "$still_width" "$HEIGHT" "$X" "$Y" "$unskinned"

xdotool mousemove $((CX + 426)) $((CY + 44)) click 1     # "Message box…"
away
box=$(timeout $patience xdotool search --sync --onlyvisible --name '^Dorrik gallery$' | head -1) || die "no message box"
read -r bx by bw bh < <(xdotool getwindowgeometry --shell "$box" |
    awk -F= '/^X=/{x=$2} /^Y=/{y=$2} /^WIDTH=/{w=$2} /^HEIGHT=/{h=$2} END{print x, y, w, h}')
settle "the message box" "$bw" "$bh" "$bx" "$by"
look
# Both windows, in one picture: the smallest rectangle around them.
left=$(( X < bx ? X : bx )); top=$(( Y < by ? Y : by ))
right=$(( X + WIDTH > bx + bw ? X + WIDTH : bx + bw ))
bottom=$(( Y + HEIGHT > by + bh ? Y + HEIGHT : by + bh ))
shot gallery-message-box.png $((right - left)) $((bottom - top)) "$left" "$top"
xdotool windowfocus --sync "$box" || die "the message box took no keyboard focus"
xdotool key Return
deadline=$((SECONDS + patience))
while xdotool search --onlyvisible --name '^Dorrik gallery$' >/dev/null; do
    [ $SECONDS -lt $deadline ] || die "the message box did not close on Enter"
    sleep 0.1
done
close_window

# --- The platform's own controls (the gallery's second form, "--platform"), under AttachSkin and
# under AttachSkinEx(DORRIK_SKIN_ALL), and the platform's property sheet opened over each, side by
# side. Self-contained: its own start, wait and picture.
platform_shot() {  # <plain|ex> <window title regex> <file> [--sheet]
    local skin=$1 title=$2 file=$3
    shift 3
    "$WINE32" "$DORRIK_BUILD/i686/tools/gallery.exe" --platform "$skin" "$@" >/dev/null 2>&1 &
    program_pid=$!
    local wid
    wid=$(timeout $patience xdotool search --sync --onlyvisible --name "$title" | head -1) || die "no window \"$title\""
    away
    local X Y WIDTH HEIGHT
    eval "$(xdotool getwindowgeometry --shell "$wid")"
    settle "\"$title\"" "$WIDTH" "$HEIGHT" "$X" "$Y"
    look
    convert "$screen" -crop "${WIDTH}x${HEIGHT}+${X}+${Y}" +repage "$file"
    stop_program
}

platform_form='^Dorrik gallery — platform controls'
platform_sheet='^Dorrik property sheet'
platform_shot plain "$platform_form" "$docs/platform-attachskin.png"
platform_shot ex "$platform_form" "$docs/platform-attachskinex.png"
echo "docs/platform-attachskin.png docs/platform-attachskinex.png"
sheets=$(mktemp -d)
platform_shot plain "$platform_sheet" "$sheets/plain.png" --sheet
platform_shot ex "$platform_sheet" "$sheets/ex.png" --sheet
# Side by side, AttachSkin on the left, with a strip of white between them.
convert "$sheets/plain.png" "$sheets/ex.png" -bordercolor white -border 8x0 +append +repage \
    "$docs/property-sheet-attachskin-attachskinex.png"
rm -rf "$sheets"
echo "docs/property-sheet-attachskin-attachskinex.png"

# --- A program nobody here changed: the 64-bit winecfg through the 64-bit skinrun.
dorrik_build x86_64
"$WINE64" "$DORRIK_BUILD/x86_64/launcher/skinrun.exe" winecfg >/dev/null 2>&1 &
program_pid=$!
WID=$(timeout $patience xdotool search --sync --onlyvisible --name '^Wine configuration$' | head -1) ||
    die "no winecfg window"
eval "$(xdotool getwindowgeometry --shell "$WID")"
settle "winecfg's window" "$WIDTH" "$HEIGHT" "$X" "$Y"
look
shot skinrun-winecfg.png "$WIDTH" "$HEIGHT" "$X" "$Y"
close_window
