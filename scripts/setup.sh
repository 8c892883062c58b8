#!/usr/bin/env bash
# Installs what Dorrik needs on Debian 12 (only what is missing) and prepares the Wine prefix.
set -euo pipefail
source "$(dirname "$0")/lib.sh"

packages=(cmake make g++-mingw-w64-i686 g++-mingw-w64-x86-64 googletest
          wine wine64 wine32:i386 xvfb xauth xdotool imagemagick
          fonts-wqy-microhei fonts-arphic-uming)

missing=()
for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done

if [ ${#missing[@]} -gt 0 ]; then
    echo "dorrik: installing ${missing[*]}"
    command -v apt-get >/dev/null || die "apt-get is missing: install ${missing[*]} by hand"
    [ "$(id -u)" = 0 ] || die "not root: run as root to install ${missing[*]}"
    if ! dpkg --print-foreign-architectures | grep -qx i386; then
        dpkg --add-architecture i386
    fi
    apt-get update -q >/dev/null || die "apt-get update failed: Debian's package registry is unreachable"
    DEBIAN_FRONTEND=noninteractive apt-get install -y -q --no-install-recommends "${missing[@]}" >/dev/null \
        || die "apt-get install failed for: ${missing[*]}"
fi

bash "$DORRIK_ROOT/scripts/prefix.sh"
