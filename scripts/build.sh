#!/usr/bin/env bash
# Builds Dorrik for both architectures: build/i686 (the shipped 32-bit build) and build/x86_64;
# the given targets, or everything.
set -euo pipefail
source "$(dirname "$0")/lib.sh"
for arch in ${DORRIK_ARCHS:-i686 x86_64}; do
    dorrik_build "$arch" "$@"
done
