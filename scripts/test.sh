#!/usr/bin/env bash
# Sets up what is missing, builds both architectures and runs every test under Wine:
# the 32-bit build under 32-bit Wine, the 64-bit build under wine64, in a virtual display.
# Every test runs in both prefixes, each with a Wine server of its own: <test>.styled with Wine's
# visual style on, <test>.classic with visual styles off (CTEST_ARGS="-L classic" runs one look).
set -euo pipefail
source "$(dirname "$0")/lib.sh"

dorrik_prepare
dorrik_start_wineserver "$DORRIK_CLASSIC_PREFIX"
echo "== prefixes: styled $WINEPREFIX, classic $DORRIK_CLASSIC_PREFIX"

status=0
for arch in ${DORRIK_ARCHS:-i686 x86_64}; do
    echo "== $arch"
    dorrik_build "$arch"
    ctest --test-dir "$DORRIK_BUILD/$arch" --output-on-failure ${CTEST_ARGS:-} || status=1
done

# With both architectures and every test: the packages, made from the same build folders, tried
# as the people they are for would use them, in the styled prefix.
archs=" ${DORRIK_ARCHS:-i686 x86_64} "
if [[ $archs == *" i686 "* && $archs == *" x86_64 "* && -z ${CTEST_ARGS:-} ]]; then
    echo "== packages"
    if bash "$DORRIK_ROOT/scripts/package.sh" >"$DORRIK_BUILD/package.log" 2>&1; then
        bash "$DORRIK_ROOT/tests/packages/test_packages.sh" "$DORRIK_ROOT/dist" "$(dorrik_version)" \
            "$DORRIK_BUILD/package-test" || status=1
    else
        tail -30 "$DORRIK_BUILD/package.log"
        echo "FAIL: scripts/package.sh"
        status=1
    fi
fi
exit $status
