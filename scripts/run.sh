#!/usr/bin/env bash
# Builds the program and starts it. Installs what is missing first. On a machine without a
# display it starts under a virtual one (xvfb-run).
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/install-deps.sh
if [ ! -f build/debug/build.ninja ]; then
    cmake --preset debug >/dev/null
fi
cmake --build --preset debug --target Varnok -j "$(nproc)"

program=build/debug/app/Varnok
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ] && [ -z "${QT_QPA_PLATFORM:-}" ]; then
    exec xvfb-run -a "$program" "$@"
fi
exec "$program" "$@"
