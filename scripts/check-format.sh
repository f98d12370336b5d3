#!/usr/bin/env bash
# Fails when a C++ file of the repository differs from .clang-format's layout.
set -euo pipefail
cd "$(dirname "$0")/.."
command -v clang-format >/dev/null || { echo "clang-format is not installed; format check skipped"; exit 0; }
bad=()
while IFS= read -r f; do
    clang-format --dry-run -Werror "$f" >/dev/null 2>&1 || bad+=("$f")
done < <(git ls-files '*.cpp' '*.h')
if [ ${#bad[@]} -gt 0 ]; then
    printf 'not formatted (run clang-format -i):\n'; printf '  %s\n' "${bad[@]}"
    exit 1
fi
echo "format: all C++ files follow .clang-format"
