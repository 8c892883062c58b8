#!/usr/bin/env bash
# Takes the README's pictures into docs/: Dorrik and the gallery in a virtual display of their
# own, skinned, with a button halfway through its hover fade, with the skin switched off, and
# with a skinned message box open.
set -euo pipefail
source "$(dirname "$0")/lib.sh"

bash "$DORRIK_ROOT/scripts/setup.sh"
docs=$DORRIK_ROOT/docs
mkdir -p "$docs"

program_pid=
stop_program() {
    [ -n "$program_pid" ] || return 0
    kill "$program_pid" 2>/dev/null || true
    wait "$program_pid" 2>/dev/null || true
    program_pid=
}
trap 'stop_program; dorrik_cleanup' EXIT
# Always a display of our own: nothing else on screen, and no window manager drawing frames.
unset DISPLAY
dorrik_need_display
dorrik_start_wineserver
dorrik_build i686

# start <exe> <exact window title>: starts the program and waits for its window; sets WID, X, Y,
# WIDTH, HEIGHT (the whole window: Wine draws the frame itself when nothing manages it).
start() {
    "$WINE32" "$1" >/dev/null 2>&1 &
    program_pid=$!
    WID=$(timeout 30 xdotool search --sync --onlyvisible --name "$2" | head -1) || die "no window \"$2\""
    eval "$(xdotool getwindowgeometry --shell "$WID")"
}

# The client area's origin on screen: equal side and bottom borders around a client of w x h.
client_origin() {
    local border=$(( (WIDTH - $1) / 2 ))
    CX=$((X + border))
    CY=$((Y + HEIGHT - $2 - border))
}

# shot <file> <width> <height> <x> <y>: that part of the screen, as a PNG.
shot() {
    import -window root -depth 8 png:- | convert png:- -crop "$2x$3+$4+$5" +repage "$docs/$1"
    echo "docs/$1"
}

# close_window: Alt+F4 to the program's window, then wait for the program to end.
close_window() {
    xdotool windowfocus --sync "$WID" 2>/dev/null || true
    xdotool key alt+F4
    for _ in $(seq 50); do kill -0 "$program_pid" 2>/dev/null || break; sleep 0.1; done
    stop_program
}

away() { xdotool mousemove 0 0; }

# --- Dorrik: skinned, then the pointer on Command2 while its hot face fades in.
away
start "$DORRIK_BUILD/i686/app/dorrik.exe" '^Dorrik$'
client_origin 264 79
sleep 1.5
shot dorrik.png "$WIDTH" "$HEIGHT" "$X" "$Y"
xdotool mousemove $((CX + 192)) $((CY + 32))
sleep 0.35
shot dorrik-hover.png "$WIDTH" "$HEIGHT" "$X" "$Y"
away
close_window

# --- The gallery: skinned, with the skin switched off, and with a message box.
start "$DORRIK_BUILD/i686/tools/gallery.exe" '^Dorrik gallery — '
client_origin 620 460
sleep 1.5
shot gallery.png "$WIDTH" "$HEIGHT" "$X" "$Y"

xdotool mousemove $((CX + 20)) $((CY + 444)) click 1     # "Skin on"
away
sleep 1.5
shot gallery-unskinned.png "$WIDTH" "$HEIGHT" "$X" "$Y"
xdotool mousemove $((CX + 20)) $((CY + 444)) click 1     # and on again
away
sleep 1.5

xdotool mousemove $((CX + 426)) $((CY + 44)) click 1     # "Message box…"
away
box=$(timeout 15 xdotool search --sync --onlyvisible --name '^Dorrik gallery$' | head -1) || die "no message box"
sleep 1.5
# Both windows, in one picture: the smallest rectangle around them.
read -r bx by bw bh < <(xdotool getwindowgeometry --shell "$box" |
    awk -F= '/^X=/{x=$2} /^Y=/{y=$2} /^WIDTH=/{w=$2} /^HEIGHT=/{h=$2} END{print x, y, w, h}')
left=$(( X < bx ? X : bx )); top=$(( Y < by ? Y : by ))
right=$(( X + WIDTH > bx + bw ? X + WIDTH : bx + bw ))
bottom=$(( Y + HEIGHT > by + bh ? Y + HEIGHT : by + bh ))
shot gallery-message-box.png $((right - left)) $((bottom - top)) "$left" "$top"
xdotool key Return
sleep 0.5
close_window

# --- A program nobody here changed: the 64-bit winecfg through the 64-bit skinrun.
dorrik_build x86_64
"$WINE64" "$DORRIK_BUILD/x86_64/launcher/skinrun.exe" winecfg >/dev/null 2>&1 &
program_pid=$!
WID=$(timeout 30 xdotool search --sync --onlyvisible --name '^Wine configuration$' | head -1) ||
    die "no winecfg window"
eval "$(xdotool getwindowgeometry --shell "$WID")"
sleep 1.5
shot skinrun-winecfg.png "$WIDTH" "$HEIGHT" "$X" "$Y"
close_window
