#!/usr/bin/env bash
# Configures and builds the project. Usage: scripts/build.sh [--sanitize]
# The build goes to build/ (build-asan/ with --sanitize).
set -euo pipefail
cd "$(dirname "$0")/.."

dir=build
flags=()
if [ "${1:-}" = "--sanitize" ]; then
    dir=build-asan
    flags+=(-DKV_SANITIZE=ON -DCMAKE_BUILD_TYPE=Debug)
fi
cmake -S . -B "$dir" "${flags[@]}" >/dev/null
cmake --build "$dir" -j"$(nproc)"
