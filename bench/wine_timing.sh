#!/usr/bin/env bash
# The time of one lsscreens.exe run under a warm wineserver, next to an empty
# Windows program and one that only asks user32 for the number of monitors
# (both built here with the same mingw-w64), under the same Wine:
#   bench/wine_timing.sh build-windows/lsscreens.exe [RUNS]
# Runs on the X server DISPLAY names (or none), in a fresh Wine prefix of its
# own whose wineserver stays up; one untimed run of each, then the programs in
# turn, RUNS times; prints wall times per run.
set -euo pipefail
exe=$(realpath "$1") runs=${2:-50}
work=$(mktemp -d)
export WINEPREFIX=$work/prefix WINEDEBUG=-all
trap 'wineserver -k 2>/dev/null || true; rm -rf "$work"' EXIT
printf 'int main() { return 0; }\n' >"$work/empty.cpp"
printf '#include <windows.h>\nint main() { return GetSystemMetrics(SM_CMONITORS) > 0 ? 0 : 1; }\n' >"$work/monitor_count.cpp"
for program in empty monitor_count; do
    x86_64-w64-mingw32-g++-posix -O2 -static "$work/$program.cpp" -o "$work/$program.exe"
done
mkdir "$WINEPREFIX"
wineserver -p  # started first, so that it stays up between the runs
wineboot -i >/dev/null 2>&1
programs=("$exe" "$work/empty.exe" "$work/monitor_count.exe")
for program in "${programs[@]}"; do wine "$program" >/dev/null || true; done
for _ in $(seq "$runs"); do
    for program in "${programs[@]}"; do
        start=$(date +%s%N)
        wine "$program" >/dev/null || true
        echo "$(basename "$program") $(( ($(date +%s%N) - start) / 1000 ))"
    done
done | sort -k1,1 -k2n | awk '
    {t[$1, ++n[$1]] = $2; sum[$1] += $2}
    END {for (p in n) printf "%-18s median %.0f ms, mean %.0f ms, min %.0f ms (%d runs)\n",
                             p, t[p, int((n[p] + 1) / 2)] / 1000, sum[p] / n[p] / 1000, t[p, 1] / 1000, n[p]}'
