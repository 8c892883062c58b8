#!/usr/bin/env bash
# Sets up what is missing, builds both architectures and runs every test under Wine:
# the 32-bit build under 32-bit Wine, the 64-bit build under wine64, in a virtual display.
set -euo pipefail
source "$(dirname "$0")/lib.sh"

dorrik_prepare

status=0
for arch in ${DORRIK_ARCHS:-i686 x86_64}; do
    echo "== $arch"
    dorrik_build "$arch"
    ctest --test-dir "$DORRIK_BUILD/$arch" --output-on-failure ${CTEST_ARGS:-} || status=1
done
exit $status
