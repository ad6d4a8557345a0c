#!/usr/bin/env bash
# Sets everything up and runs the whole test suite: the normal build, then the tests again
# under AddressSanitizer + UndefinedBehaviorSanitizer (without the live-audio/desktop tests).
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh --asan
jobs=$(nproc 2>/dev/null || echo 2)
ctest --test-dir build --no-tests=error --output-on-failure -j "$jobs"
ASAN_OPTIONS=detect_leaks=0 UBSAN_OPTIONS=print_stacktrace=1 \
  ctest --test-dir build-asan --no-tests=error --output-on-failure -j "$jobs" -LE live
