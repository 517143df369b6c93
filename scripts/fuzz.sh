#!/usr/bin/env bash
# Builds the libFuzzer targets and runs them for about SECONDS in all (default 30)
# over each target's seeds in tests/fixtures/fuzz/<target> and the shared captures beside the
# repository.
set -euo pipefail
cd "$(dirname "$0")/.."
total=${1:-30}

cmake --preset fuzz >/dev/null
cmake --build --preset fuzz -j "$(nproc)"

mapfile -t targets < <(find build/fuzz/fuzz -maxdepth 1 -type f -name 'fuzz_*' -executable 2>/dev/null | sort)
if [ ${#targets[@]} -eq 0 ]; then
    echo "no fuzz targets"
    exit 0
fi

per=$(( total / ${#targets[@]} ))
[ "$per" -ge 5 ] || per=5

for t in "${targets[@]}"; do
    name=$(basename "$t")
    # Each target's own seeds, plus the shared captures; the settings parser also starts from
    # the settings fixtures.
    seeds=()
    [ -d "tests/fixtures/fuzz/$name" ] && seeds+=("tests/fixtures/fuzz/$name")
    [ "$name" = fuzz_jsettings ] && seeds+=(tests/fixtures/settings)
    [ -d ../shared/corpus ] && seeds+=(../shared/corpus)
    work=$(mktemp -d)
    echo "-- $(basename "$t") for ${per}s"
    "$t" -max_total_time="$per" -max_len=65536 -rss_limit_mb=2048 -print_final_stats=1 \
        "$work" "${seeds[@]}" 2>&1 | tail -n 12
    status=${PIPESTATUS[0]}
    rm -rf "$work"
    if [ "$status" -ne 0 ]; then
        echo "fuzz target $(basename "$t") failed"
        exit "$status"
    fi
done
