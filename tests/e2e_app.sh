#!/usr/bin/env bash
# End to end on the real program under the virtual display, with the real pointer and keys:
# the tray buttons send their command strings for clicks and for keys as in a dialog (Esc sends
# nothing, Enter presses the focused button only), the link opens the forum address once per
# click or double click with the system's own rundll32 even when the working folder holds one,
# the link's underline follows the pointer, and Alt+F4 ends the program.
# Usage: e2e_app.sh <dorrik.exe> <wine launcher> <planted rundll32.exe>
# (DISPLAY and WINEPREFIX come from the caller)
set -euo pipefail
exe=$(realpath "$1")
wine=$2
planted=$(realpath "$3")
work=$(mktemp -d)
pid=
cleanup() {
    [ -n "$pid" ] && kill "$pid" 2>/dev/null || true
    rm -rf "$work"
}
trap cleanup EXIT
fail() { echo "FAIL: $*"; echo "--- program log (tail)"; grep -v ':mci:mciSendStringW \[\|verb=' "$work/log" | tail -20 || true; exit 1; }

# Wine hands web addresses to xdg-open: record them instead of opening a browser.
cat >"$work/xdg-open" <<'SH'
#!/bin/sh
echo "$@" >>"$DORRIK_URL_LOG"
SH
chmod +x "$work/xdg-open"
export PATH="$work:$PATH" DORRIK_URL_LOG="$work/urls"

# Started from a folder that holds a program named rundll32.exe, as a downloads folder might.
downloads=$work/downloads
mkdir "$downloads"
cp "$planted" "$downloads/rundll32.exe"
planted_ran=$downloads/planted-rundll32-ran.txt

xdotool mousemove 0 0
# mci shows the tray commands, process every program the program starts, as it starts them.
(cd "$downloads" && WINEDEBUG=trace+mci,trace+process exec "$wine" "$exe") >"$work/log" 2>&1 &
pid=$!

wait_for() {  # wait_for <what was not seen> <command...>: retries the command for up to 60 s
    local what=$1
    shift
    for _ in $(seq 600); do "$@" && return 0; sleep 0.1; done
    fail "$what"
}

wid=$(timeout 60 xdotool search --sync --onlyvisible --name '^Dorrik$' | head -1) || fail "no Dorrik window"
# The X window is the whole window (Wine draws the frame itself when nothing manages it): the
# client area of 264 x 79 sits inside equal side and bottom borders.
eval "$(xdotool getwindowgeometry --shell "$wid")"
border=$(( (WIDTH - 264) / 2 ))
X=$((X + border))
Y=$((Y + HEIGHT - 79 - border))

# The colour of one pixel of the client area, as RRGGBB.
pixel() {
    import -window root -depth 8 -crop "1x1+$((X + $1))+$((Y + $2))" txt:- 2>/dev/null |
        sed -n 's/.*#\([0-9A-Fa-f]\{6\}\).*/\1/p' | tr 'a-f' 'A-F'
}
is_colour() { [ "$(pixel "$1" "$2")" = "$3" ]; }
is_not_colour() { [ "$(pixel "$1" "$2")" != "$3" ]; }
# Command2's face at (2, 2) inside it (Command2 at 128, 16 in the frame at 8, 0): white when
# normal, on its way to light blue while its hot face fades in.
wait_for "the window was not drawn skinned (Command2's face is not white)" is_colour 138 18 FFFFFF

count() { grep -c "mciSendStringW (L\"$1\"" "$work/log" || true; }
closes() { count "set CDAudio door closed"; }
opens() { count "set CDAudio door open"; }
# The browser command lines the program itself started (its children log theirs too).
forum_starts() { grep -c 'CreateProcessInternalW app .* cmdline L"rundll32.exe url.dll,FileProtocolHandler' "$work/log" || true; }
at_least() { [ "$("$1")" -ge "$2" ]; }
click() { xdotool mousemove $((X + $1)) $((Y + $2)) click 1; }
focus_window() { xdotool windowfocus --sync "$wid" || fail "the Dorrik window did not take the keyboard focus"; }
# expect <what> <closes> <opens>: the tray commands sent so far.
expect() {
    [ "$(closes)" -eq "$2" ] && [ "$(opens)" -eq "$3" ] ||
        fail "$1: $(closes) close and $(opens) open commands, expected $2 and $3"
}

# Command1 at (8, 16) in the frame at (8, 0); Command2 at (128, 16).
click 72 32
wait_for "Command1 sent no close command" at_least closes 1
click 192 32
wait_for "Command2 sent no open command" at_least opens 1
click 192 32
wait_for "a second click sent no second open command" at_least opens 2

# Keys as in a dialog where neither button is a default or cancel button: Esc sends nothing,
# Enter presses the focused button (Command2, clicked last). A click on the link after the keys
# shows when the program has handled them; each such click lands well apart from the one
# before, or the two would make a double click.
focus_window
xdotool key Escape Return
click 120 70
wait_for "the link opened nothing after Esc and Enter" at_least forum_starts 1
expect "Esc, then Enter on Command2" 1 3
# Shift+Tab back to Command1: Enter and Space press it.
xdotool key shift+Tab Return space
click 200 70
wait_for "the link opened nothing after Shift+Tab, Enter and Space" at_least forum_starts 2

# One double click on the link opens the page once; a click on Command1 after it shows when the
# program has handled it.
starts=$(forum_starts)
xdotool mousemove $((X + 150)) $((Y + 70)) click --repeat 2 --delay 80 1
closes_before=$(closes)
click 72 32
wait_for "Command1 sent no close command after the double click" at_least closes $((closes_before + 1))
expect "Shift+Tab, then Enter and Space on Command1, then a click on it" 4 3
[ "$(forum_starts)" -eq $((starts + 1)) ] ||
    fail "a double click on the link opened the page $(($(forum_starts) - starts)) times"

# Every open went through the system's own rundll32 to the browser, never through the one in
# the working folder.
urls() { grep -cx "http://bbs.quillbeck.com/" "$work/urls" 2>/dev/null || true; }
[ -f "$planted_ran" ] && fail "the rundll32.exe in the working folder ran: $(cat "$planted_ran")"
wait_for "the three opens did not all reach the browser as http://bbs.quillbeck.com/ ($(urls))" at_least urls 3
[ -f "$planted_ran" ] && fail "the rundll32.exe in the working folder ran: $(cat "$planted_ran")"

# The link's underline: a row of at least 100 blue pixels under Label2 (104, 64, 154 x 12).
longest_blue_row() {
    import -window root -depth 8 -crop "154x15+$((X + 104))+$((Y + 64))" txt:- 2>/dev/null | awk -F'[,: ]+' '
        /#0000FF/ { run[$2]++ } END { m = 0; for (r in run) if (run[r] > m) m = run[r]; print m }'
}
underlined() { [ "$(longest_blue_row)" -ge 100 ]; }
not_underlined() { [ "$(longest_blue_row)" -lt 100 ]; }
xdotool mousemove $((X + 261)) $((Y + 70))   # the form's own surface
wait_for "the form's surface did not remove the underline" not_underlined
xdotool mousemove $((X + 150)) $((Y + 70))
wait_for "hovering the link did not underline it" underlined
# Over Label1, then onto Command2: the underline stays. Command2's hot face fading in shows
# when the program has handled both moves.
xdotool mousemove $((X + 60)) $((Y + 70))
xdotool mousemove $((X + 192)) $((Y + 32))
wait_for "Command2 did not turn hot under the pointer" is_not_colour 138 18 FFFFFF
underlined || fail "moving over Label1 and onto Command2 removed the underline"
xdotool mousemove $((X + 261)) $((Y + 70))
wait_for "the form's surface did not remove the underline" not_underlined

# Alt+F4 closes the form and ends the program.
focus_window
xdotool key alt+F4
for _ in $(seq 300); do kill -0 "$pid" 2>/dev/null || break; sleep 0.1; done
kill -0 "$pid" 2>/dev/null && fail "the program did not end within 30 s of Alt+F4"
wait "$pid" || fail "the program ended with an error"
pid=
echo "PASS"
