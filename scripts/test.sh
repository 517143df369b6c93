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

# A build tree is 2-5 GB and the machine's disk is shared: under CI (a fresh clone that is
# thrown away afterwards) each tree goes once its stage is over, so at most one is on disk.
# Elsewhere they stay, so the next run is incremental; VARNOK_PRUNE_BUILDS=1 or 0 decides.
prune=${VARNOK_PRUNE_BUILDS:-$([ "${CI:-}" = true ] && echo 1 || echo 0)}
done_with() {
    if [ "$prune" = 1 ]; then rm -rf "build/$1"; fi
    df -h --output=avail . | tail -n 1 | sed 's/^ */   free disk: /'
}
free_kb=$(df -k --output=avail . | tail -n 1)
if [ "$free_kb" -lt $((12 * 1024 * 1024)) ]; then
    echo "warning: only $((free_kb / 1024)) MB free here; one build tree takes up to 5 GB" >&2
fi

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
done_with asan

echo "== Release build, Debian package and the installed program"
cmake --preset release >/dev/null
cmake --build --preset release --target package -j "$jobs"
bash scripts/install-check.sh build/release
done_with release

echo "== ThreadSanitizer: concurrency tests"
cmake --preset tsan >/dev/null
cmake --build --preset tsan -j "$jobs"
ctest --preset tsan --no-tests=ignore
done_with tsan

echo "== Fuzzing"
bash scripts/fuzz.sh 30
done_with fuzz
