#!/usr/bin/env bash
# The time of one lsscreens.exe run under a warm wineserver, next to an empty
# Windows program (built here with the same mingw-w64) under the same Wine:
#   bench/wine_timing.sh build-windows/lsscreens.exe [RUNS]
# Runs on the X server DISPLAY names (or none), in a fresh Wine prefix of its
# own, after one untimed run of each; prints wall time per run.
set -euo pipefail
exe=$(realpath "$1") runs=${2:-20}
work=$(mktemp -d)
export WINEPREFIX=$work/prefix WINEDEBUG=-all
trap 'wineserver -k 2>/dev/null || true; rm -rf "$work"' EXIT
printf 'int main() { return 0; }\n' >"$work/empty.cpp"
x86_64-w64-mingw32-g++-posix -O2 -static "$work/empty.cpp" -o "$work/empty.exe"
mkdir "$WINEPREFIX"
wineserver -p  # started first, so that it stays up between the runs
wineboot -i >/dev/null 2>&1
for program in "$exe" "$work/empty.exe"; do
    wine "$program" >/dev/null
    for _ in $(seq "$runs"); do
        start=$(date +%s%N)
        wine "$program" >/dev/null
        echo $(( ($(date +%s%N) - start) / 1000 ))
    done | sort -n | awk -v name="$(basename "$program")" \
        '{t[NR] = $1; sum += $1} END {printf "%-14s median %.0f ms, mean %.0f ms, min %.0f ms (%d runs)\n",
                                      name, t[int((NR + 1) / 2)] / 1000, sum / NR / 1000, t[1] / 1000, NR}'
done
