#!/usr/bin/env bash
# End to end on the real program under the virtual display, with the real pointer and keys:
# the tray buttons send their command strings, the link opens the forum address, the link's
# underline follows the pointer, and Alt+F4 ends the program.
# Usage: e2e_app.sh <dorrik.exe> <wine launcher>   (DISPLAY and WINEPREFIX come from the caller)
set -euo pipefail
exe=$1
wine=$2
work=$(mktemp -d)
pid=
cleanup() {
    [ -n "$pid" ] && kill "$pid" 2>/dev/null || true
    rm -rf "$work"
}
trap cleanup EXIT
fail() { echo "FAIL: $*"; echo "--- program log (tail)"; tail -20 "$work/log" || true; exit 1; }

# Wine hands web addresses to xdg-open: record them instead of opening a browser.
cat >"$work/xdg-open" <<'SH'
#!/bin/sh
echo "$@" >>"$DORRIK_URL_LOG"
SH
chmod +x "$work/xdg-open"
export PATH="$work:$PATH" DORRIK_URL_LOG="$work/urls"

WINEDEBUG=trace+mci "$wine" "$exe" >"$work/log" 2>&1 &
pid=$!
wid=$(timeout 30 xdotool search --sync --onlyvisible --name '^Dorrik$' | head -1) || fail "no Dorrik window"
# The X window is the whole window (Wine draws the frame itself when nothing manages it): the
# client area of 264 x 79 sits inside equal side and bottom borders.
eval "$(xdotool getwindowgeometry --shell "$wid")"
border=$(( (WIDTH - 264) / 2 ))
X=$((X + border))
Y=$((Y + HEIGHT - 79 - border))
sleep 1

count() { grep -c "mciSendStringW (L\"$1\"" "$work/log" || true; }
wait_for() {  # wait_for <what> <command...>: retries the command for up to 15 s
    local what=$1
    shift
    for _ in $(seq 150); do "$@" && return 0; sleep 0.1; done
    fail "$what"
}
at_least() { [ "$(count "$1")" -ge "$2" ]; }
click() { xdotool mousemove $((X + $1)) $((Y + $2)) click 1; }

# Command1 at (8, 16) in the frame at (8, 0); Command2 at (128, 16).
click 72 32
wait_for "Command1 sent no close command" at_least "set CDAudio door closed" 1
click 192 32
wait_for "Command2 sent no open command" at_least "set CDAudio door open" 1
click 192 32
wait_for "a second click sent no second open command" at_least "set CDAudio door open" 2

# The keyboard as in a dialog: Shift+Tab back to Command1, Space presses it.
xdotool windowfocus --sync "$wid" 2>/dev/null || true
xdotool key shift+Tab space
wait_for "Shift+Tab and Space did not press Command1" at_least "set CDAudio door closed" 2

# The link's underline: a row of at least 100 blue pixels under Label2 (104, 64, 154 x 12).
longest_blue_row() {
    import -window root -depth 8 -crop "154x15+$((X + 104))+$((Y + 64))" txt:- 2>/dev/null | awk -F'[,: ]+' '
        /#0000FF/ { run[$2]++ } END { m = 0; for (r in run) if (run[r] > m) m = run[r]; print m }'
}
underlined() { [ "$(longest_blue_row)" -ge 100 ]; }
not_underlined() { [ "$(longest_blue_row)" -lt 100 ]; }
xdotool mousemove $((X + 150)) $((Y + 70))
wait_for "hovering the link did not underline it" underlined
xdotool mousemove $((X + 60)) $((Y + 70))    # over Label1: stays
sleep 0.5
underlined || fail "moving over Label1 removed the underline"
xdotool mousemove $((X + 261)) $((Y + 70))   # the form's own surface
wait_for "the form's surface did not remove the underline" not_underlined

click 150 70
opened() { grep -qx "http://bbs.quillbeck.com/" "$work/urls" 2>/dev/null; }
wait_for "clicking the link did not open http://bbs.quillbeck.com/" opened

# Alt+F4 closes the form and ends the program.
xdotool windowfocus --sync "$wid" 2>/dev/null || true
xdotool key alt+F4
for _ in $(seq 100); do kill -0 "$pid" 2>/dev/null || break; sleep 0.1; done
kill -0 "$pid" 2>/dev/null && fail "the program did not end after Alt+F4"
wait "$pid" || fail "the program ended with an error"
pid=
echo "PASS"
