#!/usr/bin/env bash
# Builds the libFuzzer targets with clang (AddressSanitizer and
# UndefinedBehaviorSanitizer on) and runs each for the given number of seconds
# (default 60), starting from the real EDIDs in tests/data/edid and the
# inputs in fuzz/regressions (each once found by a fuzzer): the EDID
# reader, the JSON writer, and the reading of the X server's RandR replies;
# and the Wayland session, from the conversations lsscreens_wayland_seeds
# writes. A crash or a broken promise aborts the fuzzer, which exits non-zero,
# and so does this.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-60}

CXX=clang++ cmake -S . -B build-fuzz -DLSSCREENS_FUZZ=ON -DLSSCREENS_BUILD_TESTS=OFF \
    -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build build-fuzz -j2

seeds=$(mktemp -d) wayland_seeds=$(mktemp -d)
trap 'rm -rf "$seeds" "$wayland_seeds"' EXIT
cp tests/data/edid/*.bin fuzz/regressions/* "$seeds"
build-fuzz/fuzz/lsscreens_wayland_seeds "$wayland_seeds"

# EDIDs are read from the base block only; product names are short; the X
# reply fuzzer starts from EDIDs too (their bytes are as good as any). Longer
# inputs would only slow the search. A Wayland session's first 4096 bytes
# are the registry (see wayland_seeds.cpp).
for target in edid:1024 json:512 x11_reply:4096 wayland_session:16384; do
    name=${target%%:*}
    corpus=build-fuzz/corpus-$name
    mkdir -p "$corpus"
    echo "== fuzzing $name for $seconds s"
    log=build-fuzz/fuzz-$name.log
    status=0
    mkdir -p "build-fuzz/artifacts-$name"
    "build-fuzz/fuzz/lsscreens_${name}_fuzzer" -max_total_time="$seconds" -max_len="${target##*:}" \
        -artifact_prefix="build-fuzz/artifacts-$name/" -print_final_stats=1 "$corpus" \
        "$([ "$name" = wayland_session ] && echo "$wayland_seeds" || echo "$seeds")" >"$log" 2>&1 || status=$?
    if [ "$status" -ne 0 ]; then
        tail -n 40 "$log"
        echo "fuzzer $name failed with status $status"
        exit 1
    fi
    grep -E '^(Done|stat::number_of_executed_units)' "$log"
done
