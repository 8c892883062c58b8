# Shared by the scripts: paths, the display and the Wine server. Source it, don't run it.
DORRIK_ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
DORRIK_BUILD=${DORRIK_BUILD:-$DORRIK_ROOT/build}
# Two prefixes with the same settings: Wine's own visual style on, as a new prefix has it (the one
# programs run in), and visual styles off, the classic 3-D look (the tests run in both).
export WINEPREFIX=${WINEPREFIX:-$DORRIK_BUILD/wineprefix}
DORRIK_CLASSIC_PREFIX=${DORRIK_CLASSIC_PREFIX:-$DORRIK_BUILD/wineprefix-classic}
export WINEDEBUG=${WINEDEBUG:--all}
export WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-mscoree,mshtml=}
WINE32=/usr/lib/wine/wine
WINE64=/usr/lib/wine/wine64
WINESERVER=/usr/lib/wine/wineserver

dorrik_started_xvfb=
dorrik_started_servers=()
dorrik_started_server_prefixes=()
dorrik_xauthority=

die() { echo "dorrik: $*" >&2; exit 1; }

# Starts Xvfb when there is no display; cleanup stops it again. Only clients that hold the
# display's one-time cookie get in, not other users of the machine.
dorrik_need_display() {
    [ -n "${DISPLAY:-}" ] && return 0
    command -v Xvfb >/dev/null || die "Xvfb is missing (run scripts/setup.sh)"
    command -v xauth >/dev/null || die "xauth is missing (run scripts/setup.sh)"
    mkdir -p "$DORRIK_BUILD"
    dorrik_xauthority=$(mktemp "$DORRIK_BUILD/.xauthority.XXXXXX")
    local cookie
    cookie=$(od -An -tx1 -N16 /dev/urandom | tr -d ' \n')
    # The server takes every cookie of its file; clients look for one under the display's number.
    xauth -f "$dorrik_xauthority" add :0 . "$cookie"
    local fifo
    fifo=$(mktemp -u)
    mkfifo "$fifo"
    Xvfb -displayfd 3 -auth "$dorrik_xauthority" -screen 0 1024x768x24 -nolisten tcp \
        3>"$fifo" >/dev/null 2>&1 &
    dorrik_started_xvfb=$!
    local number
    read -r -t 20 number <"$fifo" || true
    rm -f "$fifo"
    [ -n "$number" ] || die "Xvfb did not start"
    xauth -f "$dorrik_xauthority" add ":$number" . "$cookie"
    export DISPLAY=:$number XAUTHORITY=$dorrik_xauthority
}

# Keeps one Wine server running for the whole script in a prefix (default: $WINEPREFIX), so each
# program starts fast.
dorrik_start_wineserver() {
    local prefix=${1:-$WINEPREFIX} pid
    # Kept in the foreground (-f), the server's process is the one started here, so whether it
    # still runs below tells whether another server of this prefix was there first.
    WINEPREFIX=$prefix "$WINESERVER" -f -p >/dev/null 2>&1 &
    pid=$!
    # The first program of a server starts Wine's services, which live as long as the server and
    # keep the output of whoever started them open: let them start here, writing nowhere, so a
    # caller that waits for its pipe to close (ctest) is not held until the server goes.
    WINEPREFIX=$prefix "$WINE64" cmd /c exit >/dev/null 2>&1 </dev/null || true
    # A server of this prefix was running already (the tests', say): not ours to stop.
    if kill -0 "$pid" 2>/dev/null; then
        dorrik_started_servers+=("$pid")
        dorrik_started_server_prefixes+=("$prefix")
    fi
}

dorrik_cleanup() {
    local i
    for i in "${!dorrik_started_servers[@]}"; do
        WINEPREFIX=${dorrik_started_server_prefixes[$i]} "$WINESERVER" -k 2>/dev/null || true
        wait "${dorrik_started_servers[$i]}" 2>/dev/null || true
    done
    dorrik_started_servers=()
    dorrik_started_server_prefixes=()
    if [ -n "$dorrik_started_xvfb" ]; then
        kill "$dorrik_started_xvfb" 2>/dev/null || true
        wait "$dorrik_started_xvfb" 2>/dev/null || true
    fi
    [ -z "$dorrik_xauthority" ] || rm -f "$dorrik_xauthority"
}

# Builds one architecture (i686 or x86_64) in build/<arch>: the given targets, or everything.
# Every script configures a folder the same way (tests on), so using one script after another
# never reconfigures it into a full rebuild. --bench adds the benchmarks; they stay in the folder.
dorrik_build() {
    local arch=$1 options=() targets=()
    shift
    if [ "${1:-}" = --bench ]; then
        options+=(-DDORRIK_BENCH=ON)
        shift
    fi
    for target in "$@"; do targets+=(--target "$target"); done
    cmake -S "$DORRIK_ROOT" -B "$DORRIK_BUILD/$arch" -G "Unix Makefiles" \
        -DCMAKE_TOOLCHAIN_FILE="$DORRIK_ROOT/cmake/toolchain-$arch-mingw.cmake" \
        -DCMAKE_BUILD_TYPE=Release -DDORRIK_TESTS=ON "${options[@]}" \
        -DDORRIK_WINEPREFIX="$WINEPREFIX" -DDORRIK_WINEPREFIX_CLASSIC="$DORRIK_CLASSIC_PREFIX" >/dev/null
    cmake --build "$DORRIK_BUILD/$arch" -j"$(nproc)" "${targets[@]}"
}

# The project's version, as CMakeLists.txt gives it to the 32-bit build folder.
dorrik_version() {
    sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$DORRIK_BUILD/i686/CMakeCache.txt"
}

# What every script that runs a Wine program needs first: the packages and the prefix, a display
# and one Wine server, both stopped when the script ends.
dorrik_prepare() {
    bash "$DORRIK_ROOT/scripts/setup.sh"
    trap dorrik_cleanup EXIT
    dorrik_need_display
    dorrik_start_wineserver
}
