#!/usr/bin/env bash
# The packages in dist/, each tried as the people it is for would use it:
#   - the SDK, unpacked: an outside CMake project finds it with find_package, builds for x86 and
#     x64 against DorrikSkin::dll and DorrikSkin::static, and skins a dialog and takes it off;
#     the SDK's sample builds from it and passes its own checks;
#   - a program built for Microsoft's ABI (clang, MSVC target) and linked by lld-link against the
#     SDK's dorrikskin.lib, for x86 and x64;
#   - the installer, silently: files, shortcut, the uninstall entry and its values, the installed
#     Dorrik shows its window; then the quiet uninstall command from that entry leaves nothing.
# Usage: test_packages.sh <dist folder> <version> <work folder>
# (DISPLAY, WINEPREFIX and a running Wine server come from the caller: scripts/test.sh)
set -euo pipefail
dist=$(realpath "$1")
version=$2
work=$(realpath -m "$3")
root=$(cd "$(dirname "$0")/../.." && pwd)
wine32=/usr/lib/wine/wine
wine64=/usr/lib/wine/wine64

fail() { echo "FAIL: $*"; exit 1; }
# wait_until <seconds> <command...>: retries the command until it succeeds or the time is up.
wait_until() {
    local deadline=$((SECONDS + $1))
    shift
    until "$@"; do
        [ $SECONDS -lt $deadline ] || return 1
        sleep 0.2
    done
}

rm -rf "$work"
mkdir -p "$work"
sdk=$work/DorrikSkin-$version
unzip -q "$dist/DorrikSkin-$version-sdk.zip" -d "$work" || fail "cannot unpack the SDK"

# --- The SDK from an outside CMake project, both architectures.
for arch in i686 x86_64; do
    wine=$wine32
    [ $arch = x86_64 ] && wine=$wine64
    build=$work/consumer-$arch
    cmake -S "$root/tests/packages/consumer" -B "$build" -G "Unix Makefiles" \
        -DCMAKE_TOOLCHAIN_FILE="$root/cmake/toolchain-$arch-mingw.cmake" -DCMAKE_BUILD_TYPE=Release \
        -DCMAKE_PREFIX_PATH="$sdk" >"$build.log" 2>&1 || { cat "$build.log"; fail "the consumer project did not configure for $arch"; }
    cmake --build "$build" -j"$(nproc)" >>"$build.log" 2>&1 || { cat "$build.log"; fail "the consumer project did not build for $arch"; }
    for kind in dll static; do
        "$wine" "$build/skin_consumer_$kind.exe" || fail "skin_consumer_$kind ($arch) failed"
    done
done

# The SDK's sample, built on its own as its CMakeLists.txt says, runs its own checks.
sample=$work/sample-i686
cmake -S "$sdk/samples/dll_example" -B "$sample" -G "Unix Makefiles" \
    -DCMAKE_TOOLCHAIN_FILE="$root/cmake/toolchain-i686-mingw.cmake" -DCMAKE_BUILD_TYPE=Release \
    -DCMAKE_PREFIX_PATH="$sdk" >"$sample.log" 2>&1 &&
    cmake --build "$sample" -j"$(nproc)" >>"$sample.log" 2>&1 || { cat "$sample.log"; fail "the SDK's sample did not build"; }
"$wine32" "$sample/dll_example.exe" || fail "the SDK's sample failed"

# --- Microsoft's ABI: clang for the MSVC target, MinGW-w64's headers (which need the compiler
# to say it speaks GNU C), lld-link against the SDK's dorrikskin.lib. No C runtime is linked;
# the system's import libraries are MinGW-w64's, which carry no SafeSEH table, hence /safeseh:no.
for arch in x86 x64; do
    case $arch in
    x86) target=i686-pc-windows-msvc defines="-D_X86_ -msse2" mingw=i686-w64-mingw32 wine=$wine32 ;;
    x64) target=x86_64-pc-windows-msvc defines="-D_AMD64_" mingw=x86_64-w64-mingw32 wine=$wine64 ;;
    esac
    out=$work/msvc-$arch
    mkdir -p "$out"
    # shellcheck disable=SC2086
    clang --target=$target $defines -fgnuc-version=4.2.1 -O1 -Wall -Werror -DUNICODE -D_UNICODE \
        -isystem "/usr/share/mingw-w64/include" -I"$sdk/include" \
        -c "$root/tests/packages/msvc_abi.c" -o "$out/msvc_abi.obj" || fail "msvc_abi.c did not compile for $arch"
    safeseh=
    [ $arch = x86 ] && safeseh=-safeseh:no
    lld-link -nologo -entry:Start -subsystem:console -nodefaultlib $safeseh -out:"$out/msvc_abi.exe" \
        "$out/msvc_abi.obj" "$sdk/lib/$arch/dorrikskin.lib" \
        "/usr/$mingw/lib/libuser32.a" "/usr/$mingw/lib/libkernel32.a" ||
        fail "lld-link did not link msvc_abi.exe against lib/$arch/dorrikskin.lib"
    cp "$sdk/bin/$arch/dorrikskin.dll" "$out/"
    status=0
    "$wine" "$out/msvc_abi.exe" || status=$?
    [ $status = 0 ] || fail "msvc_abi.exe ($arch) answered $status (1: no window, 2: not skinned, 4: not unskinned)"
done

# --- The installer, silently, in the test prefix. Wine would also put the shortcut into the
# desktop's menus: not here.
export WINEDLLOVERRIDES="${WINEDLLOVERRIDES:-};winemenubuilder.exe=d"
key='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\Dorrik'
shortcut="$WINEPREFIX/drive_c/ProgramData/Microsoft/Windows/Start Menu/Programs/Dorrik.lnk"
entry() { "$wine32" reg query "$key" 2>/dev/null | tr -d '\r'; }
# value <name>: the type and data of one value of the entry read last.
value() { sed -n "s/^ *$1 \{2,\}\(REG_[A-Z_]*\) \{2,\}/\1 /p" <<<"$listing"; }
entry_gone() { ! "$wine32" reg query "$key" >/dev/null 2>&1; }

entry_gone || fail "Dorrik is already installed in the test prefix $WINEPREFIX (an earlier run?)"
"$wine32" "$dist/Dorrik-$version-setup.exe" /S || fail "the installer failed"
listing=$(entry) || fail "no uninstall entry $key"
location=$(value InstallLocation | sed 's/^REG_SZ //')
[ -n "$location" ] || fail "the uninstall entry has no InstallLocation"
folder=$("$wine32" winepath -u "$location" 2>/dev/null | tr -d '\r')
for file in dorrik.exe LICENSE.txt uninstall.exe; do
    [ -f "$folder/$file" ] || fail "the installer did not put $file into $folder"
done
cmp -s "$folder/dorrik.exe" <(unzip -p "$dist/Dorrik-$version-portable.zip" "Dorrik-$version/dorrik.exe") ||
    fail "the installed dorrik.exe is not the one of the portable zip"
[ -f "$shortcut" ] || fail "no Start-menu shortcut at $shortcut"
expect_value() {
    [ "$(value "$1")" = "$2" ] || fail "uninstall entry: $1 is \"$(value "$1")\", expected \"$2\""
}
expect_value DisplayName "REG_SZ Dorrik"
expect_value DisplayVersion "REG_SZ $version"
expect_value Publisher "REG_SZ Quillbeck"
expect_value DisplayIcon "REG_SZ $location\\dorrik.exe,0"
expect_value UninstallString "REG_SZ \"$location\\uninstall.exe\""
expect_value QuietUninstallString "REG_SZ \"$location\\uninstall.exe\" /S"
size=$(value EstimatedSize | sed -n 's/^REG_DWORD //p')
[ -n "$size" ] && [ $((size)) -ge $(($(stat -c %s "$folder/dorrik.exe") / 1024)) ] ||
    fail "uninstall entry: EstimatedSize \"$(value EstimatedSize)\" is not the size in KiB"

# The installed Dorrik starts and shows its window; Alt+F4 ends it.
xdotool mousemove 0 0
"$wine32" "$location\\dorrik.exe" >"$work/dorrik.log" 2>&1 &
pid=$!
window=$(timeout 60 xdotool search --sync --onlyvisible --name '^Dorrik$' | head -1) ||
    { kill $pid 2>/dev/null; fail "the installed Dorrik showed no window within 60 s"; }
xdotool windowfocus --sync "$window" && xdotool key alt+F4
ended() { ! kill -0 "$pid" 2>/dev/null; }
wait_until 30 ended || { kill $pid 2>/dev/null; fail "the installed Dorrik did not end on Alt+F4"; }

# The quiet uninstall command from the entry. The uninstaller runs a copy of itself from the
# temporary folder and returns at once: wait for what it removes.
uninstaller=$(value QuietUninstallString | sed -n 's/^REG_SZ "\(.*\)" \/S$/\1/p')
"$wine32" "$uninstaller" /S || fail "the uninstaller failed"
wait_until 60 test ! -e "$folder" || fail "the uninstaller left $folder: $(ls -A "$folder")"
wait_until 60 entry_gone || fail "the uninstaller left the registry key $key"
[ ! -e "$shortcut" ] || fail "the uninstaller left the shortcut $shortcut"
# NSIS's uninstaller runs from a copy in the temporary folder, which Windows is asked to delete
# at the next restart (the running copy cannot delete itself): do what the restart would.
rm -rf "$WINEPREFIX"/drive_c/users/*/Temp/~nsu*.tmp
echo "packages: passed (SDK from CMake and from an MSVC-ABI program, x86 and x64; installer and uninstaller)"
