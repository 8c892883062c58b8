#!/usr/bin/env bash
# Sets up what is missing, builds the 32-bit program and starts Dorrik under Wine.
set -euo pipefail
source "$(dirname "$0")/lib.sh"

dorrik_prepare
dorrik_build i686 -DDORRIK_TESTS=OFF
"$WINE32" "$DORRIK_BUILD/i686/app/dorrik.exe"
