#!/usr/bin/env bash
# Hand-run benchmark of the backup tool: backup and restore of 1,000 and
# 10,000 registered users against `reg export` / `reg import` of the same keys,
# in one fresh prefix. Build the win64 tree first (cmake --build --preset win64).
#   backup/tests/benchmark.sh
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
build=$root/build/win64
[ -x "$build/test-bin/backup_benchmark.exe" ] || { echo "build the win64 tree first" >&2; exit 2; }
HV_TIMEOUT=${HV_TIMEOUT:-1800} exec "$root/scripts/wine-run.sh" --base "$build/wine/base" --bin "$build/bin" \
  "$build/test-bin/backup_benchmark.exe"
