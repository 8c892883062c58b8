#!/usr/bin/env bash
# Installs what Dorrik needs on Debian 12 (only what is missing) and prepares the Wine prefix.
# Runs as root, or as a normal user who has sudo: sudo is used for installing and nothing else.
set -euo pipefail
source "$(dirname "$0")/lib.sh"

packages=(cmake make g++-mingw-w64-i686 g++-mingw-w64-x86-64 googletest
          wine wine64 wine32:i386 xvfb xauth xdotool imagemagick x11vnc procps
          fonts-wqy-microhei fonts-arphic-uming fonts-wine
          nsis zip unzip llvm lld clang)

missing=()
for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done

# Root installs directly; anyone else through sudo.
as_root() {
    if [ "$(id -u)" = 0 ]; then "$@"; else sudo "$@"; fi
}

if [ ${#missing[@]} -gt 0 ]; then
    echo "dorrik: installing ${missing[*]}"
    command -v apt-get >/dev/null || die "apt-get is missing: install ${missing[*]} by hand"
    if [ "$(id -u)" != 0 ]; then
        command -v sudo >/dev/null ||
            die "installing needs root: run this as root, or install sudo, or install ${missing[*]} by hand"
        sudo true || die "sudo was refused: run this as root, or install ${missing[*]} by hand"
    fi
    if ! dpkg --print-foreign-architectures | grep -qx i386; then
        as_root dpkg --add-architecture i386
    fi
    as_root apt-get update -q >/dev/null || die "apt-get update failed: Debian's package registry is unreachable"
    as_root env DEBIAN_FRONTEND=noninteractive apt-get install -y -q --no-install-recommends "${missing[@]}" >/dev/null \
        || die "apt-get install failed for: ${missing[*]}"
fi

bash "$DORRIK_ROOT/scripts/prefix.sh" styled
bash "$DORRIK_ROOT/scripts/prefix.sh" classic
