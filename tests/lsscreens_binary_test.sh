#!/bin/sh
# Runs the real lsscreens executable the way a script would and checks what
# it prints and how it exits. With no window system reachable it must print
# exactly "[]" and a line feed, nothing on stderr, and exit 0; when standard
# output cannot be written it must not claim success.
#   lsscreens_binary_test.sh BINARY PLATFORM
# On macOS the window system is always reachable (DISPLAY means nothing
# there): the output is only checked to be one line holding an array.
set -u
binary=$1
platform=${2:-null}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

# No window system: nothing names one, and libwayland-client finds no
# XDG_RUNTIME_DIR (which it would complain about on stderr).
nothing="env -u DISPLAY -u WAYLAND_DISPLAY -u WAYLAND_SOCKET -u XDG_RUNTIME_DIR"
$nothing "$binary" --ignored-argument >"$work/out" 2>"$work/err"
status=$?
[ "$status" -eq 0 ] || fail "exit status $status without a window system"
[ ! -s "$work/err" ] || fail "wrote to stderr: $(cat "$work/err")"
if [ "$platform" = macos ]; then
    [ "$(wc -l <"$work/out")" -eq 1 ] || fail "output is not exactly one line"
    head -c 1 "$work/out" | grep -q '\[' || fail "output does not start with '['"
    tail -c 2 "$work/out" | head -c 1 | grep -q '\]' || fail "output does not end with ']' and a line feed"
    [ "$failures" -eq 0 ] && echo "lsscreens binary: all checks passed"
    exit "$failures"
fi
printf '[]\n' | cmp -s - "$work/out" || fail "output was not exactly '[]' and a line feed: $(od -c "$work/out")"

# A display and a Wayland socket that name no running server are the same as none.
DISPLAY=:4095 WAYLAND_DISPLAY=lsscreens-no-such-socket "$binary" >"$work/out" 2>"$work/err"
status=$?
[ "$status" -eq 0 ] || fail "exit status $status with an unreachable X server"
printf '[]\n' | cmp -s - "$work/out" || fail "unreachable X server: output was not exactly '[]' and a line feed"
[ ! -s "$work/err" ] || fail "wrote to stderr with an unreachable X server: $(cat "$work/err")"

if [ -w /dev/full ]; then
    $nothing "$binary" >/dev/full 2>"$work/err"
    status=$?
    [ "$status" -ne 0 ] || fail "exit status 0 although standard output could not be written"
    [ ! -s "$work/err" ] || fail "wrote to stderr on a failed write"
fi

[ "$failures" -eq 0 ] && echo "lsscreens binary: all checks passed"
[ "$failures" -eq 0 ]
