#!/usr/bin/env bash
# Builds the packages into dist/, from the version in CMakeLists.txt:
#   Dorrik-<version>-setup.exe       the installer (NSIS) of the 32-bit program
#   Dorrik-<version>-portable.zip    the program, the licence and a short text
#   DorrikSkin-<version>-sdk.zip     the skin engine for developers, x86 and x64
set -euo pipefail
source "$(dirname "$0")/lib.sh"

bash "$DORRIK_ROOT/scripts/setup.sh"
for arch in i686 x86_64; do
    dorrik_build "$arch" dorrik_package_files
done

version=$(dorrik_version)
[ -n "$version" ] || die "no project version in $DORRIK_BUILD/i686/CMakeCache.txt"
dist=$DORRIK_ROOT/dist
stage=$DORRIK_BUILD/package
rm -rf "$stage"
mkdir -p "$stage" "$dist"

# windows_text <source> <target>: a text for Windows people (CRLF; UTF-8 with its mark, so that
# Notepad on every version reads the Chinese).
windows_text() {
    { printf '\xef\xbb\xbf'; sed -e "s/@VERSION@/$version/g" -e 's/$/\r/' "$1"; } >"$2"
}

# install_component <arch> <component> <folder>
install_component() {
    cmake --install "$DORRIK_BUILD/$1" --component "$2" --prefix "$3" >/dev/null
}

# --- The portable zip and the installer: the 32-bit program.
portable=$stage/portable/Dorrik-$version
install_component i686 program "$portable"
windows_text "$DORRIK_ROOT/LICENSE" "$portable/LICENSE.txt"
windows_text "$DORRIK_ROOT/packaging/portable-readme.txt" "$portable/README.txt"
rm -f "$dist/Dorrik-$version-portable.zip"
(cd "$stage/portable" && zip -qrX "$dist/Dorrik-$version-portable.zip" "Dorrik-$version")
echo "dist/Dorrik-$version-portable.zip"

# The installer's licence page shows the text as it is: no mark in front.
sed 's/$/\r/' "$DORRIK_ROOT/LICENSE" >"$stage/LICENSE.txt"
makensis -V2 -NOCD \
    "-DVERSION=$version" "-DPROGRAM=$portable/dorrik.exe" "-DLICENSE=$stage/LICENSE.txt" \
    "-DICON=$DORRIK_ROOT/app/dorrik.ico" "-DOUTFILE=$dist/Dorrik-$version-setup.exe" \
    "$DORRIK_ROOT/packaging/installer.nsi" >/dev/null
echo "dist/Dorrik-$version-setup.exe"

# --- The SDK: both architectures in one folder.
sdk=$stage/sdk/DorrikSkin-$version
for arch in i686 x86_64; do
    install_component "$arch" sdk "$sdk"
done
for lib in "$sdk"/lib/x86 "$sdk"/lib/x64; do
    for file in libdorrikskin.dll.a dorrikskin.lib libdorrik_skin.a; do
        [ -f "$lib/$file" ] || die "the SDK lacks $lib/$file (are dlltool, llvm-dlltool and nm installed?)"
    done
done
windows_text "$DORRIK_ROOT/LICENSE" "$sdk/LICENSE.txt"
windows_text "$DORRIK_ROOT/packaging/sdk-readme.txt" "$sdk/README.txt"
rm -f "$dist/DorrikSkin-$version-sdk.zip"
(cd "$stage/sdk" && zip -qrX "$dist/DorrikSkin-$version-sdk.zip" "DorrikSkin-$version")
echo "dist/DorrikSkin-$version-sdk.zip"
