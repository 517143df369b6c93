#!/usr/bin/env bash
# Checks the program as it is installed, from a release build whose package is built
# (cmake --build --preset release --target package; the test command does both):
#  1. cmake --install into a staging folder: the files a user gets and none of the test tools,
#     versioned libraries, no RPATH;
#  2. the staged Varnok under xvfb-run with a fresh HOME: it starts, keeps nothing beside its
#     binary, writes its settings under XDG_CONFIG_HOME (credentials 0600, folders 0700) and
#     its log under XDG_STATE_HOME, reads the shipped radioconfig.vnk from the data folder
#     without writing it, and a second run keeps what the first saved;
#  3. pkg-config and a find_package consumer build and run against the staged libraries;
#  4. the .deb: its dependencies resolve, dpkg installs it (into a root of its own, so the
#     machine's /usr stays as it was) and the installed program starts with the default XDG
#     folders.
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build/release}

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() {
    echo "install-check: $*" >&2
    exit 1
}
step() { echo "-- $*"; }

# ---- 1. Staged install
stage=$work/stage
cmake --install "$build" --prefix "$stage" >/dev/null
for f in bin/Varnok \
    lib/libBVParse.so lib/libBVComm.so lib/libBVDevice.so \
    include/BVParse/Em_Gnss.h include/BVComm/PortInstance.h include/BVDevice/EmGnss_Receiver.h \
    include/BVDevice/EmGnss_ReceiverOps.def \
    lib/cmake/BVParse/BVParseConfig.cmake lib/cmake/BVComm/BVCommConfig.cmake \
    lib/cmake/BVDevice/BVDeviceConfig.cmake lib/cmake/BVDevice/BVDeviceConfigVersion.cmake \
    lib/pkgconfig/BVParse.pc lib/pkgconfig/BVComm.pc lib/pkgconfig/BVDevice.pc \
    share/icons/hicolor/64x64/apps/varnok.png share/applications/varnok.desktop \
    share/varnok/configs/radioconfig.vnk; do
    [ -e "$stage/$f" ] || fail "not installed: $f"
done
for f in SessionTestHooks.h varnok-simreceiver varnok_screenshots varnok_bt_probe; do
    if [ -n "$(find "$stage" -name "$f")" ]; then fail "installed, but a test tool: $f"; fi
done
cmp -s "$stage/share/varnok/configs/radioconfig.vnk" app/settings/configs/radioconfig.vnk ||
    fail "the shipped radioconfig.vnk differs from the source"
for lib in BVParse BVComm BVDevice; do
    soname=$(readelf -d "$stage/lib/lib$lib.so" | sed -n 's/.*Library soname: \[\(.*\)\]/\1/p')
    [[ "$soname" =~ ^lib$lib\.so\.[0-9]+$ ]] || fail "lib$lib has no versioned SONAME: '$soname'"
    [ -e "$stage/lib/$soname" ] || fail "no $soname beside lib$lib.so"
done
for f in "$stage/bin/Varnok" "$stage"/lib/lib*.so; do
    if readelf -d "$f" | grep -qE 'R(UN)?PATH'; then fail "$f carries an RPATH"; fi
done
if command -v desktop-file-validate >/dev/null; then
    desktop-file-validate "$stage/share/applications/varnok.desktop"
fi
step "staged install: files, SONAMEs, no RPATH"

# ---- 2. The staged program with a fresh HOME
# run_varnok <prefix> <home> [VAR=value...]: starts <prefix>/bin/Varnok on a virtual X display
# in an environment of only what it needs, with the settings probe; prints its output.
run_varnok() {
    local prefix=$1 home=$2
    shift 2
    local runtime=$home/run
    mkdir -p "$runtime"
    chmod 700 "$runtime"
    # A start number of its own makes a clash with another virtual display unlikely.
    # shellcheck disable=SC2016  # expanded by the inner shell, inside the virtual display
    xvfb-run -a -n $((100 + RANDOM % 400)) bash -c 'exec env -i PATH="$PATH" \
        DISPLAY="$DISPLAY" XAUTHORITY="${XAUTHORITY:-}" "$@"' run_varnok \
        HOME="$home" XDG_RUNTIME_DIR="$runtime" LD_LIBRARY_PATH="$prefix/lib" \
        QT_QPA_PLATFORM=xcb VARNOK_STARTUP_PROBE=settings "$@" "$prefix/bin/Varnok" 2>&1
}
expect_line() {
    grep -qxF -- "$2" <<<"$1" || fail "expected the line '$2' in:
$1"
}
mode_of() { stat -c %a "$1"; }
# check_settings <output> <configs folder> <log folder> <shipped radioconfig.vnk>
check_settings() {
    local out=$1 configs=$2 logs=$3 shipped=$4
    expect_line "$out" "menu Connection|Exit"
    expect_line "$out" "page Varnok::Connect"
    expect_line "$out" "configs $configs"
    expect_line "$out" "logs $logs"
    expect_line "$out" "radioconfig $shipped 0 UHF 450-470 MHz"
    [ "$(mode_of "$configs")" = 700 ] || fail "$configs has mode $(mode_of "$configs")"
    [ "$(mode_of "$(dirname "$configs")")" = 700 ] || fail "$(dirname "$configs") is not 0700"
    for f in netserver authority; do
        [ "$(mode_of "$configs/$f.vnk")" = 600 ] || fail "$f.vnk has mode $(mode_of "$configs/$f.vnk")"
    done
    # The connection page's stores wrote theirs as the page opened.
    [ -s "$configs/connectmethods.vnk" ] || fail "the connection page kept no connectmethods.vnk"
    [ ! -e "$configs/radioconfig.vnk" ] || fail "radioconfig.vnk was copied among the settings"
    grep -q "settings probe" "$logs/log.txt" || fail "no log line in $logs/log.txt"
}

home=$work/home
mkdir -p "$home"
find "$stage" -printf '%p %s %T@\n' | sort >"$work/stage-before"
out=$(run_varnok "$stage" "$home" XDG_CONFIG_HOME="$home/xdg-config" XDG_STATE_HOME="$home/xdg-state")
check_settings "$out" "$home/xdg-config/varnok/configs" "$home/xdg-state/varnok" \
    "$stage/share/varnok/configs/radioconfig.vnk"
expect_line "$out" "servers "
expect_line "$out" "login 0"
find "$stage" -printf '%p %s %T@\n' | sort >"$work/stage-after"
diff "$work/stage-before" "$work/stage-after" >&2 ||
    fail "the program changed its install folder (above)"
[ ! -e "$home/.config" ] || fail "settings went to ~/.config although XDG_CONFIG_HOME was set"

out=$(run_varnok "$stage" "$home" XDG_CONFIG_HOME="$home/xdg-config" XDG_STATE_HOME="$home/xdg-state")
expect_line "$out" "servers probe-1"
expect_line "$out" "login 1"
check_settings "$out" "$home/xdg-config/varnok/configs" "$home/xdg-state/varnok" \
    "$stage/share/varnok/configs/radioconfig.vnk"
step "staged program: settings under XDG_CONFIG_HOME, log under XDG_STATE_HOME, kept by a second run"

# ---- 3. Consumers of the installed libraries
flags=$(PKG_CONFIG_PATH="$stage/lib/pkgconfig" pkg-config --cflags --libs BVParse)
[[ "$flags" == *"-I$stage/include"* && "$flags" == *"-lBVParse"* ]] ||
    fail "pkg-config gives '$flags'"
# shellcheck disable=SC2086
g++ -std=c++17 tests/install/pkgconfig_consumer.cpp $flags -o "$work/pc-consumer"
LD_LIBRARY_PATH="$stage/lib" "$work/pc-consumer" | grep -qx "pkg-config consumer ok" ||
    fail "the pkg-config consumer did not run"
PKG_CONFIG_PATH="$stage/lib/pkgconfig" pkg-config --exists BVDevice || fail "no BVDevice.pc"
cmake -S tests/install/consumer -B "$work/consumer" -G Ninja -DCMAKE_PREFIX_PATH="$stage" \
    >/dev/null
cmake --build "$work/consumer" >/dev/null
# shellcheck disable=SC2016  # an NMEA sentence, not an expansion
printf '$GPGGA,000000.00,0000.0000,N,00000.0000,E,0,00,,,M,,M,,*66\r\n' >"$work/replay.txt"
LD_LIBRARY_PATH="$stage/lib" "$work/consumer/consumer" "$work/replay.txt" | grep -qx "consumer ok" ||
    fail "the find_package consumer did not run"
step "pkg-config and find_package consumers build and run"

# ---- 4. The Debian package
deb=$(find "$build" -maxdepth 1 -name 'varnok_*.deb' | sort | tail -n 1)
[ -n "$deb" ] || fail "no varnok_*.deb in $build"
depends=$(dpkg-deb -f "$deb" Depends)
for p in libqt6widgets6 libtinyxml2; do
    [[ "$depends" == *"$p"* ]] || fail "the package does not depend on $p: $depends"
done
if [[ "$depends" == *BV* ]]; then fail "the package depends on its own libraries: $depends"; fi
if dpkg-deb -c "$deb" | grep -qE 'simreceiver|screenshots|SessionTestHooks'; then
    fail "the package holds test tools"
fi
# Every dependency is installable here (simulated, nothing changes).
apt-get install -s -qq "$(realpath "$deb")" >"$work/apt.log" 2>&1 || {
    cat "$work/apt.log" >&2
    fail "the package's dependencies do not resolve"
}
root=$work/root
admin=$root/var/lib/dpkg
mkdir -p "$admin/info" "$admin/updates" "$admin/triggers"
touch "$admin/status" "$admin/available"
dpkg --force-not-root --force-depends --force-script-chrootless --instdir="$root" \
    --admindir="$admin" -i "$deb" >"$work/dpkg.log" 2>&1 || {
    cat "$work/dpkg.log" >&2
    fail "dpkg did not install the package"
}
dpkg --admindir="$admin" -s varnok | grep -qx 'Status: install ok installed' ||
    fail "dpkg does not list the package as installed"
deb_home=$work/deb-home
mkdir -p "$deb_home"
out=$(run_varnok "$root/usr" "$deb_home")
check_settings "$out" "$deb_home/.config/varnok/configs" "$deb_home/.local/state/varnok" \
    "$root/usr/share/varnok/configs/radioconfig.vnk"
step "package $(basename "$deb"): dependencies resolve, dpkg installs it, the program starts"
