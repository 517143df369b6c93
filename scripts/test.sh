#!/usr/bin/env bash
# Installs what is missing, checks formatting, then builds and runs every test:
# all tests under AddressSanitizer + UBSan, the screenshots with their size check, the
# concurrency tests under ThreadSanitizer, and the fuzz targets for a bounded time over the
# seed inputs.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/install-deps.sh

echo "== Formatting"
mapfile -t sources < <(git ls-files '*.cpp' '*.h' '*.hpp' '*.cc' 2>/dev/null || true)
if [ ${#sources[@]} -gt 0 ]; then
    clang-format --dry-run -Werror "${sources[@]}"
fi

jobs=$(nproc)

echo "== AddressSanitizer + UBSan: all tests"
configure_log=$(mktemp)
if ! cmake --preset asan >"$configure_log" 2>&1; then cat "$configure_log"; exit 1; fi
grep -i "backend" "$configure_log" || true
rm -f "$configure_log"
cmake --build --preset asan -j "$jobs"
ctest --preset asan

echo "== Screenshots"
bash scripts/screenshots.sh asan

echo "== ThreadSanitizer: concurrency tests"
cmake --preset tsan >/dev/null
cmake --build --preset tsan -j "$jobs"
ctest --preset tsan --no-tests=ignore

echo "== Fuzzing"
bash scripts/fuzz.sh 30
