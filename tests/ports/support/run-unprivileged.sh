#!/bin/sh
# Runs a test program as an ordinary user: started as root, it drops to nobody with no groups
# and no capabilities (setpriv); started as anyone else, it runs as that user. It fails when the
# program fails, runs no test, or skips one.
#   run-unprivileged.sh <test program> [arguments]
set -u
program=$1
shift
home=$(mktemp -d "${TMPDIR:-/tmp}/varnok-nobody-XXXXXX") || exit 1
out=$home.log
trap 'rm -rf "$home" "$out"' EXIT

if [ "$(id -u)" -eq 0 ]; then
    chown 65534:65534 "$home"
    if ! setpriv --reuid=65534 --regid=65534 --clear-groups test -x "$program"; then
        echo "run-unprivileged: nobody cannot run $program: a folder above it is closed" \
            "to other users" >&2
        exit 1
    fi
    set -- setpriv --reuid=65534 --regid=65534 --clear-groups --inh-caps=-all \
        --bounding-set=-all "$program" "$@"
else
    set -- "$program" "$@"
fi
env HOME="$home" TMPDIR="$home" XDG_RUNTIME_DIR="$home" VARNOK_EXPECT_UNPRIVILEGED=1 "$@" \
    >"$out" 2>&1
status=$?
cat "$out"
if [ "$status" -ne 0 ]; then
    exit "$status"
fi
if grep -q '^\[  SKIPPED \]' "$out"; then
    echo "run-unprivileged: a test skipped" >&2
    exit 1
fi
if ! grep -q '^\[  PASSED  \] [1-9]' "$out"; then
    echo "run-unprivileged: no test ran" >&2
    exit 1
fi
exit 0
