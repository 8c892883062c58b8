#!/usr/bin/env bash
# Sets up what is missing, builds the 32-bit program and starts Dorrik under Wine.
set -euo pipefail
source "$(dirname "$0")/lib.sh"

bash "$DORRIK_ROOT/scripts/setup.sh"
trap dorrik_cleanup EXIT
dorrik_need_display
dorrik_start_wineserver
dorrik_build i686 -DDORRIK_TESTS=OFF
"$WINE32" "$DORRIK_BUILD/i686/app/dorrik.exe"
