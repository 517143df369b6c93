#!/usr/bin/env bash
# Builds the program and starts it. Installs what is missing first. On a machine without a
# display it starts under a virtual one (xvfb-run).
#
# By default a simulated receiver (varnok-simreceiver, the maker's old protocol) runs beside
# the program on a pseudo-terminal mapped as COM1 and on loopback TCP, so "Connect" with the
# page's defaults (Survey RTK, Port, COM1, Auto) reaches the connected menu.
#   scripts/run.sh --no-sim [args]   the program alone, for a real receiver
#   VARNOK_SIM_SETTINGS="protocol=new serial=SN1"   other settings of the simulated receiver
set -euo pipefail
cd "$(dirname "$0")/.."

with_sim=1
if [ "${1:-}" = "--no-sim" ]; then
    with_sim=0
    shift
fi

bash scripts/install-deps.sh
if [ ! -f build/debug/build.ninja ]; then
    cmake --preset debug >/dev/null
fi
targets=(Varnok)
if [ "$with_sim" = 1 ]; then
    targets+=(varnok-simreceiver)
fi
cmake --build --preset debug --target "${targets[@]}" -j "$(nproc)"

program=build/debug/app/Varnok
run_program() {
    if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ] && [ -z "${QT_QPA_PLATFORM:-}" ]; then
        xvfb-run -a "$program" "$@"
    else
        "$program" "$@"
    fi
}

if [ "$with_sim" = 0 ]; then
    run_program "$@"
    exit $?
fi

sim_dir=$(mktemp -d)
sim_pid=
cleanup() {
    if [ -n "$sim_pid" ]; then
        kill "$sim_pid" 2>/dev/null || true
        wait "$sim_pid" 2>/dev/null || true
    fi
    rm -rf "$sim_dir"
}
trap cleanup EXIT INT TERM

# The simulated receiver reads settings from its standard input: keep it open and idle.
mkfifo "$sim_dir/in"
# shellcheck disable=SC2086
build/debug/tools/simreceiver/varnok-simreceiver protocol=old ${VARNOK_SIM_SETTINGS:-} \
    <"$sim_dir/in" >"$sim_dir/out" 2>"$sim_dir/err" &
sim_pid=$!
exec 3>"$sim_dir/in"

pty= tcp=
for _ in $(seq 100); do
    pty=$(sed -n 's/^pty //p' "$sim_dir/out")
    tcp=$(sed -n 's/^tcp //p' "$sim_dir/out")
    if [ -n "$pty" ] && [ -n "$tcp" ]; then
        break
    fi
    if ! kill -0 "$sim_pid" 2>/dev/null; then
        cat "$sim_dir/err" >&2
        echo "run.sh: the simulated receiver did not start" >&2
        exit 1
    fi
    sleep 0.1
done
if [ -z "$pty" ]; then
    echo "run.sh: the simulated receiver gave no pty" >&2
    exit 1
fi
echo "Simulated receiver: COM1 -> $pty, TCP 127.0.0.1:$tcp"
export VARNOK_COM_MAP="1=$pty${VARNOK_COM_MAP:+,$VARNOK_COM_MAP}"
set +e
run_program "$@"
status=$?
exec 3>&-
exit $status
