#!/usr/bin/env bash
# Builds the benchmarks (32-bit, the shipped build) and runs the performance programs under Wine,
# printing one table: every figure is a ratio of two sides measured in the same run, or a count.
set -euo pipefail
source "$(dirname "$0")/lib.sh"

dorrik_prepare
dorrik_build i686 --bench perf_bench perf_startup_bench perf_plain_window_bench perf_skinrun_bench dorrik skinrun >/dev/null

echo "| what | measured | goal | met |"
echo "|---|---|---|---|"
bench=$DORRIK_BUILD/i686/bench
"$WINE32" "$bench/perf_bench.exe" 1 2 3 4 5
# Start-up, then the in-process part of the start and where its time goes.
"$WINE32" "$bench/perf_startup_bench.exe"
"$WINE32" "$bench/perf_bench.exe" 6
# The platform's own controls under AttachSkinEx.
"$WINE32" "$bench/perf_bench.exe" 7
# Menus under AttachSkinEx.
"$WINE32" "$bench/perf_bench.exe" 8
# Captions and frames under DORRIK_SKIN_FRAME against the platform's.
"$WINE32" "$bench/perf_bench.exe" 9
# The platform's common controls under AttachSkinEx.
"$WINE32" "$bench/perf_bench.exe" 10
# Scroll bars under DORRIK_SKIN_SCROLLBARS.
"$WINE32" "$bench/perf_bench.exe" 11
# A program nobody changed (notepad) through skinrun against the same program started directly.
"$WINE32" "$bench/perf_skinrun_bench.exe"
