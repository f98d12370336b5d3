#!/usr/bin/env bash
# Installs what is missing, builds and runs the whole test suite.
# Usage: scripts/test.sh [--sanitize] [ctest arguments...]
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh
dir=build
if [ "${1:-}" = "--sanitize" ]; then
    dir=build-asan
    scripts/build.sh --sanitize
    shift
    export ASAN_OPTIONS="detect_leaks=1:abort_on_error=1:${ASAN_OPTIONS:-}"
    export LSAN_OPTIONS="suppressions=$PWD/tests/lsan.supp:print_suppressions=0"
    export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
else
    scripts/build.sh
fi
cd "$dir"
ctest --output-on-failure -j"$(nproc)" "$@"
