#!/usr/bin/env bash
# Sets up what is missing, builds the 32-bit program and starts Dorrik under Wine: in the
# display, or without one in a virtual display served over VNC (scripts/start.sh).
set -euo pipefail
source "$(dirname "$0")/lib.sh"

bash "$DORRIK_ROOT/scripts/setup.sh"
dorrik_build i686 dorrik
exec bash "$DORRIK_ROOT/scripts/start.sh" "$DORRIK_BUILD/i686/app/dorrik.exe"
