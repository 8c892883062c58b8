#!/usr/bin/env bash
# Starts a built Dorrik under Wine (scripts/run.sh builds it first):
#
#     scripts/start.sh [path/to/dorrik.exe]     (default: the 32-bit build)
#
# With a display, Dorrik shows there. Without one, it runs in a virtual display (Xvfb) of its
# own: the script writes a picture of the window under build/ and serves the display to VNC
# viewers on 127.0.0.1 only, with a one-time password, and prints where and how to connect.
# Ctrl+C stops everything the script started; so does closing Dorrik.
set -euo pipefail
source "$(dirname "$0")/lib.sh"

exe=${1:-$DORRIK_BUILD/i686/app/dorrik.exe}
[ -f "$exe" ] || die "no program at $exe: build it first (scripts/run.sh does)"

program_pid=
vnc_pid=
vnc_dir=

stop_all() {
    if [ -n "$program_pid" ]; then
        kill "$program_pid" 2>/dev/null || true
        wait "$program_pid" 2>/dev/null || true
    fi
    if [ -n "$vnc_pid" ]; then
        kill "$vnc_pid" 2>/dev/null || true
        wait "$vnc_pid" 2>/dev/null || true
    fi
    [ -z "$vnc_dir" ] || rm -rf "$vnc_dir"
    dorrik_cleanup
}
trap stop_all EXIT
# Programs started in the background do not see Ctrl+C themselves: the script stops them.
trap 'exit 130' INT
trap 'exit 143' TERM

# The X window of Dorrik's form; sets WID, X, Y, WIDTH and HEIGHT.
find_window() {
    WID=$(timeout 60 xdotool search --sync --onlyvisible --name '^Dorrik$' | head -1) ||
        die "Dorrik's window did not appear"
    eval "$(xdotool getwindowgeometry --shell "$WID")"
}

# A picture of the window once it has been drawn: two looks in a row show the same.
write_picture() {
    local picture=$DORRIK_BUILD/dorrik-window.png area="${WIDTH}x$HEIGHT+$X+$Y" last= now
    for _ in $(seq 50); do
        now=$(import -window root -crop "$area" rgb:- 2>/dev/null | md5sum)
        [ "$now" = "$last" ] && break
        last=$now
        sleep 0.2
    done
    import -window root -crop "$area" +repage "png:$picture"
    echo "dorrik: a picture of the window: $picture"
}

# x11vnc on the virtual display, on 127.0.0.1 only, with a new random password that only this
# user can read; prints the address and the password.
serve_vnc() {
    command -v x11vnc >/dev/null || die "x11vnc is missing (run scripts/setup.sh)"
    vnc_dir=$(mktemp -d "$DORRIK_BUILD/.vnc.XXXXXX")
    chmod 700 "$vnc_dir"
    local password
    # VNC passwords have at most 8 characters.
    password=$(tr -dc 'A-Za-z0-9' </dev/urandom | head -c 8 || true)
    (umask 077 && printf '%s\n' "$password" >"$vnc_dir/password")
    x11vnc -display "$DISPLAY" -localhost -noipv6 -passwdfile "$vnc_dir/password" -forever -shared \
        >"$vnc_dir/log" 2>&1 </dev/null &
    vnc_pid=$!
    local port=
    for _ in $(seq 300); do
        port=$(sed -n 's/^PORT=\([0-9][0-9]*\)$/\1/p' "$vnc_dir/log")
        [ -n "$port" ] && break
        kill -0 "$vnc_pid" 2>/dev/null || die "x11vnc did not start: $(tail -3 "$vnc_dir/log")"
        sleep 0.1
    done
    [ -n "$port" ] || die "x11vnc named no port within 30 s"
    echo "dorrik: connect a VNC viewer to 127.0.0.1:$port with the password $password"
    echo "dorrik: (from another machine, forward the port first: ssh -L $port:127.0.0.1:$port this-machine)"
}

if [ -n "${DISPLAY:-}" ]; then
    dorrik_start_wineserver
    "$WINE32" "$exe" &
    program_pid=$!
else
    echo "dorrik: there is no display: Dorrik runs in a virtual display of its own"
    dorrik_need_display
    dorrik_start_wineserver
    "$WINE32" "$exe" >/dev/null 2>&1 </dev/null &
    program_pid=$!
    find_window
    write_picture
    serve_vnc
    echo "dorrik: Ctrl+C stops Dorrik, the VNC server and the virtual display"
fi
wait "$program_pid" || true
program_pid=
