#!/usr/bin/env bash
# End to end on the real program, with the real pointer: hovering a push button fades its hot
# face in, leaving fades the normal face back, pressing shows the pressed face at once, and the
# click still sends its tray command. Checked on screenshots against the button face colours.
#
# usage: e2e_interaction.sh path/to/dorrik.exe path/to/wine
# Uses $DISPLAY when set (else starts Xvfb) and the caller's WINEPREFIX. Needs xdotool and
# ImageMagick's import.
set -euo pipefail

exe=${1:?path of dorrik.exe}
wine=${2:?path of the wine launcher}

work=$(mktemp -d)
started_xvfb=
app_pid=

cleanup() {
    if [ -n "$app_pid" ]; then
        kill "$app_pid" 2>/dev/null || true
        wait "$app_pid" 2>/dev/null || true
    fi
    if [ -n "$started_xvfb" ]; then
        kill "$started_xvfb" 2>/dev/null || true
        wait "$started_xvfb" 2>/dev/null || true
    fi
    rm -rf "$work"
}
trap cleanup EXIT

failures=0
fail() {
    echo "e2e_interaction: FAIL: $*" >&2
    failures=$((failures + 1))
}
die() {
    echo "e2e_interaction: $*" >&2
    exit 1
}

for tool in xdotool import; do
    command -v "$tool" >/dev/null || die "$tool is missing"
done

if [ -z "${DISPLAY:-}" ]; then
    fifo="$work/displayfd"
    mkfifo "$fifo"
    Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$fifo" >/dev/null 2>&1 &
    started_xvfb=$!
    read -r -t 20 number <"$fifo" || die "Xvfb did not start"
    export DISPLAY=:$number
fi

# --- Screenshots -----------------------------------------------------------------------------

read -r screen_width _ < <(xdotool getdisplaygeometry)
shot="$work/shot.rgb"

take_shot() { import -window root -depth 8 "rgb:$shot"; }

# The pixel at screen x, y of the last shot, as RRGGBB.
pixel() {
    local offset=$((($2 * screen_width + $1) * 3))
    od -An -tx1 -v -j "$offset" -N 3 "$shot" | tr -d ' \n' | tr 'a-f' 'A-F'
}

channel() { echo $((16#${1:$2:2})); }

# Every channel of colour a within tolerance of colour b.
near() {
    local a=$1 b=$2 tolerance=$3 i d
    for i in 0 2 4; do
        d=$(($(channel "$a" $i) - $(channel "$b" $i)))
        [ "${d#-}" -le "$tolerance" ] || return 1
    done
}

# Colour c lies strictly on the way from colour a to colour b: every channel between the two
# (one level of rounding either side), and c is neither end.
between() {
    local c=$1 a=$2 b=$3 i ca cb cc lo hi
    near "$c" "$a" 2 && return 1
    near "$c" "$b" 2 && return 1
    for i in 0 2 4; do
        ca=$(channel "$a" $i) cb=$(channel "$b" $i) cc=$(channel "$c" $i)
        lo=$((ca < cb ? ca : cb)) hi=$((ca < cb ? cb : ca))
        [ "$cc" -ge $((lo - 1)) ] && [ "$cc" -le $((hi + 1)) ] || return 1
    done
}

# Takes shots until the pixel is near the colour, for up to the given seconds.
wait_for_colour() {
    local x=$1 y=$2 colour=$3 tolerance=$4 seconds=$5 deadline
    deadline=$((SECONDS + seconds))
    while :; do
        take_shot
        near "$(pixel "$x" "$y")" "$colour" "$tolerance" && return 0
        [ $SECONDS -lt "$deadline" ] || return 1
        sleep 0.2
    done
}

# Deadline for anything the program is to show: generous, as a loaded machine may starve the
# program and its timers for a while. Nothing is checked against the clock.
patience=30

# A fade: shots taken one after another show the pixel on the way from one face to the other
# before it reaches the target (a fade lasts over a second, a shot a fraction of that; the leave
# notification itself may come a little after the pointer has gone), and the end of the fade
# shows the target exactly, as its last blend is at full strength.
expect_fade() {
    local what=$1 x=$2 y=$3 from=$4 to=$5 seen_between=no deadline colour
    deadline=$((SECONDS + patience))
    while [ $SECONDS -lt "$deadline" ]; do
        take_shot
        colour=$(pixel "$x" "$y")
        if between "$colour" "$from" "$to"; then
            seen_between=yes
            break
        fi
        near "$colour" "$to" 0 && break
    done
    [ $seen_between = yes ] || fail "$what: no shot on the way from $from to $to (last $colour)"
    wait_for_colour "$x" "$y" "$to" 0 $patience ||
        fail "$what: the fade did not end on $to within ${patience} s (last $(pixel "$x" "$y"))"
}

# --- The program -----------------------------------------------------------------------------

# Face colours (RRGGBB) of the button face frames: row 2, column 2 (inside the border, where the
# unfocused Command2 is sampled) and row 2, column 1 (left of the focus rectangle of Command1).
normal_22=FFFFFF
hot_22=8DDAFE
normal_12=ECF6FC
hot_12=3DBCF9
pressed_12=2EB6F8

xdotool mousemove 2 2
log="$work/dorrik.log"
WINEDEBUG=trace+mci "$wine" "$exe" >"$log" 2>&1 &
app_pid=$!

window=
for _ in $(seq 1 60); do
    window=$(xdotool search --onlyvisible --name '^Dorrik$' 2>/dev/null | tail -1) || true
    [ -n "$window" ] && break
    kill -0 "$app_pid" 2>/dev/null || die "dorrik.exe ended early: $(tail -5 "$log")"
    sleep 0.5
done
[ -n "$window" ] || die "the Dorrik window did not appear"

# The client area of 264 x 79: the whole X window, or inside equal side and bottom borders when
# Wine draws the frame itself.
eval "$(xdotool getwindowgeometry --shell "$window")"
[ "$WIDTH" -ge 264 ] && [ "$HEIGHT" -ge 79 ] || die "window of ${WIDTH}x$HEIGHT is too small"
border=$(((WIDTH - 264) / 2))
X=$((X + border))
Y=$((Y + HEIGHT - 79 - border))
# Command1 and Command2 sit in Frame1 (at 8, 0) at 8, 16 and 128, 16, 113 x 33 each.
c1_x=$((X + 16)) c1_y=$((Y + 16))
c2_x=$((X + 136)) c2_y=$((Y + 16))

wait_for_colour $((c2_x + 2)) $((c2_y + 2)) $normal_22 0 $patience ||
    die "Command2 is not skinned: $(pixel $((c2_x + 2)) $((c2_y + 2))) at (2, 2), not $normal_22"
wait_for_colour $((c1_x + 1)) $((c1_y + 2)) $normal_12 0 $patience ||
    fail "Command1 does not show the normal face: $(pixel $((c1_x + 1)) $((c1_y + 2))), not $normal_12"

# Hover: the hot face fades in.
xdotool mousemove $((c2_x + 56)) $((c2_y + 16))
expect_fade "hover on Command2" $((c2_x + 2)) $((c2_y + 2)) $normal_22 $hot_22

# Leave: the hot face once at 140, then the normal face fades in.
xdotool mousemove 2 2
expect_fade "leaving Command2" $((c2_x + 2)) $((c2_y + 2)) $hot_22 $normal_22

# Press: the pressed face at once, at full strength; the release still clicks.
xdotool mousemove $((c1_x + 56)) $((c1_y + 16))
wait_for_colour $((c1_x + 1)) $((c1_y + 2)) $hot_12 0 $patience ||
    fail "hover on Command1: $(pixel $((c1_x + 1)) $((c1_y + 2))) instead of $hot_12"
# The pressed face is drawn whole, at once: once it shows, it is exactly the face.
xdotool mousedown 1
wait_for_colour $((c1_x + 1)) $((c1_y + 2)) $pressed_12 0 $patience ||
    fail "pressed Command1: no pressed face $pressed_12 within ${patience} s (last $(pixel $((c1_x + 1)) $((c1_y + 2))))"
xdotool mouseup 1

sent=no
for _ in $(seq 1 $((patience * 5))); do
    if grep -q 'mciSendStringW (L"set CDAudio door closed"' "$log"; then
        sent=yes
        break
    fi
    sleep 0.2
done
[ $sent = yes ] || fail "the click on Command1 sent no \"set CDAudio door closed\" within ${patience} s"
grep -q 'mciSendStringW (L"set CDAudio door open"' "$log" &&
    fail "Command2 was never clicked, yet \"set CDAudio door open\" was sent"

# Away from the clicked button it ends in the normal face.
xdotool mousemove 2 2
wait_for_colour $((c1_x + 1)) $((c1_y + 2)) $normal_12 0 $patience ||
    fail "Command1 after the click: $(pixel $((c1_x + 1)) $((c1_y + 2))) instead of $normal_12"

if [ $failures -ne 0 ]; then
    echo "e2e_interaction: $failures check(s) failed" >&2
    exit 1
fi
echo "e2e_interaction: all checks passed"
