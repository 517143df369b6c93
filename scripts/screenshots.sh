#!/usr/bin/env bash
# Renders the program's pages offscreen at 480 x 640 into build/screenshots/ and checks that
# each PNG has the frame's size and is not one flat colour. Uses the asan build (the test
# command builds it); pass another preset name as the first argument.
set -euo pipefail
cd "$(dirname "$0")/.."
preset=${1:-asan}
out=build/screenshots

if [ ! -f "build/$preset/build.ninja" ]; then
    cmake --preset "$preset" >/dev/null
fi
cmake --build "build/$preset" --target varnok_screenshots -j "$(nproc)"
tool="build/$preset/tools/screenshots/varnok_screenshots"

rm -rf "$out"
mkdir -p "$out"
export QT_QPA_PLATFORM=offscreen
export LSAN_OPTIONS="suppressions=$PWD/tests/lsan/qt.supp"
"$tool" "$out"
"$tool" --check "$out"
