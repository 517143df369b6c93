#!/usr/bin/env bash
# Installs what is missing, checks formatting, then builds and runs every test:
# all tests under AddressSanitizer + UBSan, the screenshots with their size check, the
# release build with its Debian package and the checks of the installed program, the
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
# Without the preset's environment: the tests carry their sanitizer options themselves, so a
# bare ctest inside build/asan passes as well.
ctest --test-dir build/asan -j "$jobs" --output-on-failure

echo "== Screenshots"
bash scripts/screenshots.sh asan

echo "== Release build, Debian package and the installed program"
cmake --preset release >/dev/null
cmake --build --preset release --target package -j "$jobs"
bash scripts/install-check.sh build/release

echo "== ThreadSanitizer: concurrency tests"
cmake --preset tsan >/dev/null
cmake --build --preset tsan -j "$jobs"
ctest --preset tsan --no-tests=ignore

echo "== Fuzzing"
bash scripts/fuzz.sh 30
