#!/bin/sh
# The macOS adaptor on GNUstep's Foundation and AppKit, with the test-only
# CoreFoundation, CoreGraphics and IOKit declarations beside this script.
#   gnustep_adaptor.sh CLANGXX GNUSTEP_CONFIG check
#     clang++ -fsyntax-only on the adaptor; warnings are errors.
#   gnustep_adaptor.sh CLANGXX GNUSTEP_CONFIG run SANITIZE LIBRARY...
#     links the adaptor, the real core (its static libraries) and the scripted
#     world of gnustep_world.mm, runs it on Xvfb with one screen and, as root,
#     on Xorg with the dummy driver and five monitors, and compares all it
#     writes (stdout and stderr) with the expected line byte for byte.
set -eu
clangxx=$1 gnustep_config=$2 mode=$3 source_dir=$(dirname "$0")/../..
# GNUstep's headers are system headers here: their own warnings are not ours.
# libobjc's headers (objc/objc.h) live in gcc's own include directory.
compile="$clangxx -x objective-c++ -std=c++20 -fobjc-runtime=gcc -isystem $(gcc -print-file-name=include)
  $("$gnustep_config" --objc-flags | sed 's/-MMD//; s/-MP//; s/ -I\. / /; s/-I\//-isystem \//g')
  -Wall -Wextra -Wpedantic -Werror -I $source_dir/tests/macos/sdk_declarations -I $source_dir"
[ "$mode" = check ] && exec $compile -fsyntax-only "$source_dir/platform/macos/macos_platform.mm"
[ "$4" = ON ] && compile="$compile -fsanitize=address,undefined -fno-sanitize-recover=all"
shift 4
work=$(mktemp -d) servers=
trap 'kill $servers 2>/dev/null; wait; rm -rf "$work"' EXIT
# shellcheck disable=SC2046  # the flags are meant to split into words
$compile -o "$work/adaptor" "$source_dir/platform/macos/macos_platform.mm" \
    "$source_dir/tests/macos/gnustep_world.mm" -x none "$@" $("$gnustep_config" --gui-libs)

# Starts an X server and waits (at most 10 s) for the display it took.
start() {
    "$@" -displayfd 3 -nolisten tcp -noreset 3>"$work/$1" >/dev/null 2>&1 & servers="$servers $!"
    for _ in $(seq 100); do [ -s "$work/$1" ] && break; sleep 0.1; done
    DISPLAY=:$(cat "$work/$1") && export DISPLAY
}
# Without a window manager GNUstep waits for one unless it handles window
# decorations itself; GNUstep and fontconfig keep their caches to the end, the
# world counts ours. Exit status 1: references not balanced; 124: hung.
expect() {
    ASAN_OPTIONS=detect_leaks=0 timeout 20 "$work/adaptor" -GSX11HandlesWindowDecorations NO >"$work/out" 2>&1 ||
        echo "exit status $?" >>"$work/out"
    printf '%s\n' "$1" | diff -u - "$work/out"
}

start Xvfb -screen 0 1920x1080x24
expect '[{"resWidth":1920,"resHeight":1080,"mmWidth":597,"mmHeight":336,"id":0,"name":"Écran"}]'

[ "$(id -u)" = 0 ] || { echo "not root: Xorg with the dummy driver is not run"; exit 0; }
start Xorg -config "$source_dir/tests/data/xorg-dummy.conf" -configdir "$work" -logfile "$work/log" -novtswitch -sharevts
# Five monitors in a row, the second one primary.
xrandr --addmode DUMMY1 1280x1024 --addmode DUMMY2 1024x768 --addmode DUMMY3 800x600 --addmode DUMMY4 640x480
xrandr --output DUMMY1 --mode 1280x1024 --right-of DUMMY0 --primary --output DUMMY2 --mode 1024x768 --right-of DUMMY1 \
    --output DUMMY3 --mode 800x600 --right-of DUMMY2 --output DUMMY4 --mode 640x480 --right-of DUMMY3
expect '[{"resWidth":1280,"resHeight":1024,"mmWidth":527,"mmHeight":296,"id":1},'\
'{"resWidth":2048,"resHeight":1536,"mmWidth":597,"mmHeight":336,"id":0,"name":"Écran"},'\
'{"resWidth":1024,"resHeight":768,"mmWidth":344,"mmHeight":194,"id":2},{"resWidth":800,"resHeight":600,"mmWidth":0,'\
'"mmHeight":0,"id":3},{"resWidth":640,"resHeight":480,"mmWidth":600,"mmHeight":340,"id":4}]'
