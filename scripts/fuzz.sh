#!/usr/bin/env bash
# The long reliability run, too long for the tests: builds the benchmark programs and runs
# fuzz_long_bench under Wine. By default 10,000 cycles of use over a form of every kind with every
# GDI and USER object counted, then 1,000,000 random messages from seed 1000 on.
#
#     scripts/fuzz.sh [cycles] [messages] [first seed] [messages per seed]
#
# DORRIK_ARCHS picks the builds (default i686, the shipped one; "i686 x86_64" for both).
# A failing seed is printed: keep it in tests/reliability/fuzz_test.cpp as a regression case.
set -euo pipefail
source "$(dirname "$0")/lib.sh"

dorrik_prepare

status=0
for arch in ${DORRIK_ARCHS:-i686}; do
    echo "== $arch"
    dorrik_build "$arch" --bench fuzz_long_bench
    wine=$WINE32
    [ "$arch" = x86_64 ] && wine=$WINE64
    if [ $# -gt 0 ]; then
        "$wine" "$DORRIK_BUILD/$arch/bench/fuzz_long_bench.exe" "$@" || status=1
    else
        "$wine" "$DORRIK_BUILD/$arch/bench/fuzz_long_bench.exe" 10000 1000000 || status=1
    fi
done
exit $status
