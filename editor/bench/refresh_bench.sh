#!/usr/bin/env bash
# Hand-run benchmark of the settings utility's list refresh with 1,000 and
# 10,000 registered users, against `reg query` of the same key in the same
# run (not part of the test suite: timings on a shared machine are no test).
#
#   editor/bench/refresh_bench.sh [BUILD_TREE]     (default build/win64)
#
# Prints, per size, the start-up and F5 times with their ratio to `reg query`.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/../.." && pwd)
tree=$(realpath -m "${1:-$root/build/win64}")
cmake --build "$tree" --target refresh_bench_probe cfwEdit >/dev/null
HV_TIMEOUT=1200 HV_XVFB=0 "$root/scripts/wine-run.sh" --base "$tree/wine/base" --bin "$tree/bin" \
    "$tree/test-bin/refresh_bench_probe.exe"
