#!/bin/sh
# Runs the real lsscreens executable as a script would:
#   lsscreens_binary_test.sh BINARY PLATFORM
# With no window system, or one that cannot be reached, it prints exactly "[]"
# and a line feed, nothing on stderr, and exits 0; when standard output cannot
# be written it must not claim success. On macOS the window system is always
# there: the output is only checked to be one line holding an array.
set -u
binary=$1 platform=${2:-null} failures=0
err=$(mktemp)
trap 'rm -f "$err"' EXIT
check() {  # check WHAT EXPECTED-OUTPUT COMMAND...: status 0, that output, empty stderr
    what=$1 expected=$2
    shift 2
    out=$("$@" 2>"$err"; echo "status $?")
    [ "$out" = "$expected
status 0" ] || { echo "FAIL $what: $out"; failures=$((failures + 1)); }
    [ ! -s "$err" ] || { echo "FAIL $what wrote to stderr: $(cat "$err")"; failures=$((failures + 1)); }
}
nothing="env -u DISPLAY -u WAYLAND_DISPLAY -u WAYLAND_SOCKET -u XDG_RUNTIME_DIR"
if [ "$platform" = macos ]; then
    out=$("$binary" --ignored-argument)
    case "$(printf "%s\n" "$out" | wc -l):$out" in "1:["*"]") ;; *) echo "FAIL: not one line holding an array: $out"; failures=1 ;; esac
    exit "$failures"
fi
check "no window system" "[]" $nothing "$binary" --ignored-argument
check "unreachable window systems" "[]" env DISPLAY=:4095 WAYLAND_DISPLAY=no-such-socket "$binary"
if [ -w /dev/full ]; then
    $nothing "$binary" >/dev/full 2>"$err" && { echo "FAIL: exit status 0 on a failed write"; failures=$((failures + 1)); }
    [ ! -s "$err" ] || { echo "FAIL: wrote to stderr on a failed write"; failures=$((failures + 1)); }
fi
[ "$failures" -eq 0 ] && echo "lsscreens binary: all checks passed"
exit "$failures"
