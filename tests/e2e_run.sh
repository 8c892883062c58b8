#!/usr/bin/env bash
# The start script on a machine without a display, as a person runs it from a terminal: it writes
# a picture of Dorrik's window under the build folder, serves the virtual display over VNC on
# 127.0.0.1 only and with a password, and Ctrl+C stops everything it started.
# Usage: e2e_run.sh <scripts/start.sh> <dorrik.exe>   (WINEPREFIX comes from the caller)
set -euo pipefail
: "${WINEPREFIX:?the Wine prefix to use}"
script=$(realpath "$1")
exe=$(realpath "$2")
work=$(mktemp -d)
group=
cleanup() {
    [ -n "$group" ] && kill -KILL -- "-$group" 2>/dev/null || true
    rm -rf "$work"
}
trap cleanup EXIT
fail() { echo "FAIL: $*"; echo "--- what the script printed"; cat "$work/out" 2>/dev/null || true; exit 1; }

wait_for() {  # wait_for <what was not seen> <command...>: retries the command for up to 60 s
    local what=$1
    shift
    for _ in $(seq 600); do "$@" && return 0; sleep 0.1; done
    fail "$what"
}

# No display, and the build folder's own files in the test's folder. Started as a terminal
# starts a job (job control on): a process group of its own, Ctrl+C not ignored; Ctrl+C there
# sends SIGINT to the job's whole process group.
build=$work/build
set -m
env -u DISPLAY -u XAUTHORITY DORRIK_BUILD="$build" bash "$script" "$exe" >"$work/out" 2>&1 </dev/null &
leader=$!
set +m
group=$leader
pgrep -g "$leader" -x bash >/dev/null || fail "the script did not start as a process group of its own"

said() { grep -q "$1" "$work/out"; }
running_or_said() { kill -0 "$leader" 2>/dev/null || fail "the script ended early"; said "$1"; }
wait_for "the script printed no VNC address and password" \
    running_or_said '^dorrik: connect a VNC viewer to 127\.0\.0\.1:[0-9]* with the password [A-Za-z0-9]\{8\}$'
said '^dorrik: there is no display' || fail "the script did not say that there is no display"

# The picture: a PNG of the whole window, under the build folder, showing the skinned form
# (Command2's face at (2, 2) is white; the client area of 264 x 79 sits inside equal side and
# bottom borders).
picture=$(sed -n 's/^dorrik: a picture of the window: //p' "$work/out")
[ -n "$picture" ] || fail "the script named no picture"
case $picture in "$build"/*) ;; *) fail "the picture $picture is not under the build folder $build" ;; esac
read -r format width height < <(identify -format '%m %w %h\n' "$picture" 2>/dev/null) ||
    fail "no picture at $picture"
[ "$format" = PNG ] && [ "$width" -ge 264 ] && [ "$height" -ge 79 ] ||
    fail "the picture is a $format of $width x $height, not a PNG of the window"
border=$(( (width - 264) / 2 ))
face=$(convert "$picture" -depth 8 -crop "1x1+$((border + 138))+$((height - 79 - border + 18))" txt:- |
    sed -n 's/.*#\([0-9A-Fa-f]\{6\}\).*/\1/p')
[ "$face" = FFFFFF ] || fail "the picture does not show Dorrik's skinned window (Command2's face is $face)"

# VNC: a server answers on the port, on loopback addresses only, and asks for the password
# (security type 2) with no way in without it (type 1).
port=$(sed -n 's/^dorrik: connect a VNC viewer to 127\.0\.0\.1:\([0-9]*\) .*/\1/p' "$work/out")
exec 3<>"/dev/tcp/127.0.0.1/$port" || fail "nothing answers on 127.0.0.1:$port"
IFS= read -r -t 10 banner <&3 || true
[[ $banner == "RFB 003."* ]] || fail "127.0.0.1:$port answers \"$banner\", not as a VNC server"
printf 'RFB 003.008\n' >&3
security=$(timeout 10 head -c 2 <&3 | od -An -tu1 | tr -s ' ' | sed 's/^ //;s/ $//')
exec 3>&-
[ "$security" = "1 2" ] || fail "the VNC server offers the security types \"$security\", not the password alone (\"1 2\")"
hex_port=$(printf '%04X' "$port")
listening=$(awk -v port=":$hex_port" '$4 == "0A" && substr($2, length($2) - 4) == port { print $2 }' \
    /proc/net/tcp /proc/net/tcp6)
[ -n "$listening" ] || fail "nothing listens on port $port"
for address in $listening; do
    case $address in
        0100007F:*|00000000000000000000000001000000:*) ;;
        *) fail "the VNC server listens on $address, not on loopback only" ;;
    esac
done
unreadable=$(find "$build" -name password -perm 600)
[ -n "$unreadable" ] || fail "no VNC password file under the build folder readable by its owner only"

# Ctrl+C: the script ends, and with it everything it started.
for started in Xvfb x11vnc dorrik.exe; do
    pgrep -g "$leader" -f "$started" >/dev/null || fail "no $started among the script's processes"
done
kill -INT -- "-$group"
ended() { ! kill -0 "$leader" 2>/dev/null; }
wait_for "the script did not end after Ctrl+C" ended
group_empty() { ! pgrep -g "$leader" >/dev/null; }
for _ in $(seq 600); do group_empty && break; sleep 0.1; done
group_empty || fail "still running 60 s after Ctrl+C: $(pgrep -a -g "$leader" | tr '\n' ';')"
group=
not_listening() { ! awk -v port=":$hex_port" '$4 == "0A" && substr($2, length($2) - 4) == port { f = 1 } END { exit !f }' \
    /proc/net/tcp /proc/net/tcp6; }
wait_for "port $port still listens after Ctrl+C" not_listening
left=$(cd "$build" && find . -mindepth 1 ! -name "$(basename "$picture")")
[ -z "$left" ] || fail "the script left behind: $left"
echo "PASS"
