#!/bin/sh
# Runs the examples of README.md as a reader would, and compares what they
# print with what README.md shows, byte for byte:
#   readme_check.sh BINARY README
# A block fenced ```console readme-check is a terminal session: "$ " starts a
# command, "> " continues it, every other line is what the commands before it
# print on standard output. Each block runs under sh with BINARY first on
# PATH as lsscreens, in a world of two monitors: Xorg with the dummy driver,
# DUMMY0 2560x1440 (597 x 336 mm, primary) and DUMMY1 1920x1080 (598 x
# 337 mm) to its right, and a display registry mounted over /sys/class/drm
# (in a mount namespace of the block's own) whose connectors card0-DUMMY0 and
# card0-DUMMY1 carry two of tests/data/edid's EDIDs, so that the names are
# real. A block fenced ```console readme-check hotplug starts with DUMMY1
# switched off, which is switched on a second later. Every block must print
# exactly what README.md shows, nothing on standard error, end with status 0
# and within 60 s.
# Exit status 77 (skipped) without root (Xorg with the dummy driver needs
# it), Xorg's dummy driver, xrandr, jq or a mount namespace.
set -u
binary=$(realpath "$1") readme=$2 name=$(basename "$2") data=$(cd "$(dirname "$0")/data" && pwd)

skip() {
    echo "skipped: $*"
    exit 77
}
[ "$(id -u)" = 0 ] || skip "Xorg with the dummy driver needs root"
for program in Xorg xrandr jq unshare mount; do
    command -v "$program" >/dev/null || skip "$program is not installed"
done
[ -e /usr/lib/xorg/modules/drivers/dummy_drv.so ] || skip "Xorg's dummy driver is not installed"
unshare --mount --propagation private mount -t tmpfs readme-check /sys/class 2>/dev/null ||
    skip "no mount namespace here for a display registry over /sys/class/drm"

work=$(mktemp -d) xorg=
trap '[ -z "$xorg" ] || kill "$xorg"; wait; rm -rf "$work"' EXIT

# The display registry: a connected connector with an EDID for each monitor.
# The X outputs carry no EDID of their own, so each is named through the
# connector of its name, as on XWayland.
connector() {
    mkdir -p "$work/drm/card0-$1"
    echo connected >"$work/drm/card0-$1/status"
    cp "$data/edid/$2" "$work/drm/card0-$1/edid"
}
connector DUMMY0 DEL_A056_001.bin  # DELL U2711
connector DUMMY1 SAM_707F_003.bin  # LF27T35

# The X server, on the display it finds free.
Xorg -displayfd 3 -nolisten tcp -noreset -config "$data/xorg-dummy.conf" -configdir "$work" \
    -logfile "$work/xorg.log" -novtswitch -sharevts 3>"$work/display" >/dev/null 2>&1 &
xorg=$!
for _ in $(seq 100); do [ -s "$work/display" ] && break; sleep 0.1; done
[ -s "$work/display" ] || { echo "FAIL: Xorg did not start"; cat "$work/xorg.log"; exit 1; }
DISPLAY=:$(cat "$work/display") && export DISPLAY
# The server takes an output's millimetres on its next probe (a plain xrandr).
switch_on_dummy1() {
    xrandr --output DUMMY1 --mode 1920x1080 --right-of DUMMY0 && xrandr >/dev/null
}
xrandr --newmode 2560x1440 241.50 2560 2608 2640 2720 1440 1443 1448 1481 +hsync -vsync &&
    xrandr --addmode DUMMY0 2560x1440 --addmode DUMMY1 1920x1080 &&
    xrandr --output DUMMY0 --mode 2560x1440 --primary --set WIDTH_MM 597 --set HEIGHT_MM 336 \
        --output DUMMY1 --set WIDTH_MM 598 --set HEIGHT_MM 337 &&
    switch_on_dummy1 || { echo "FAIL: xrandr could not set up the monitors"; exit 1; }

# lsscreens on PATH; no compositor to find.
mkdir "$work/bin" "$work/runtime" "$work/blocks"
ln -s "$binary" "$work/bin/lsscreens"
PATH=$work/bin:$PATH XDG_RUNTIME_DIR=$work/runtime && export PATH XDG_RUNTIME_DIR
unset WAYLAND_DISPLAY WAYLAND_SOCKET DBUS_SESSION_BUS_ADDRESS

# Each block N becomes N.sh (its commands, each after a marker line), N.expected
# (the marker before each command's output) and N.info (README's line number
# and the fence's words after readme-check).
awk -v blocks="$work/blocks" '
    fence && /^```/ { fence = 0; next }
    /^```console readme-check( |$)/ {
        fence = 1; n++; file = blocks "/" n
        info = $0; sub(/^```console readme-check */, "", info)
        print NR, info > (file ".info")
        printf "" > (file ".sh"); printf "" > (file ".expected")
        next
    }
    fence && /^\$ / { print "printf \"%s\\n\" @readme-check@" > (file ".sh"); print substr($0, 3) > (file ".sh")
                      print "@readme-check@" > (file ".expected"); next }
    fence && /^> / { print substr($0, 3) > (file ".sh"); next }
    fence { print > (file ".expected") }
' "$readme"

failures=0 count=0
while [ -e "$work/blocks/$((count + 1)).sh" ]; do
    count=$((count + 1))
    block=$work/blocks/$count script=$work/blocks/$count.sh
    read -r line info <"$block.info"
    [ "$info" = hotplug ] && xrandr --output DUMMY1 --off
    (
        cd "$work" &&
            exec unshare --mount --propagation private sh -c 'mount -t tmpfs readme-check /sys/class &&
                mkdir /sys/class/drm && mount --bind "$0" /sys/class/drm && exec timeout 60 sh "$1"' \
                "$work/drm" "$script" >"$block.out" 2>"$block.err"
    ) &
    running=$!
    if [ "$info" = hotplug ]; then
        sleep 1
        switch_on_dummy1 || { echo "FAIL: $name line $line: xrandr could not switch DUMMY1 on"; failures=$((failures + 1)); }
    fi
    wait "$running"
    status=$?
    if ! diff -u --label "$name line $line" --label "what it prints" "$block.expected" "$block.out"; then
        failures=$((failures + 1))
    elif [ "$status" -ne 0 ] || [ -s "$block.err" ]; then
        echo "FAIL: $name line $line: exit status $status, standard error:"
        cat "$block.err"
        failures=$((failures + 1))
    else
        echo "ok: $name line $line${info:+ ($info)}"
    fi
done
[ "$count" -gt 0 ] || { echo "FAIL: no block fenced \`\`\`console readme-check in $readme"; exit 1; }
echo "$count blocks, $failures failed"
[ "$failures" -eq 0 ]
