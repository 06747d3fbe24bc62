#!/usr/bin/env bash
# timeout_idle_cost.sh BUILD_DIR [SECONDS]
#
# A benchmark run by hand, not a test: the CPU time that every process of one
# Wine session (wineserver, explorer and the rest included) uses over SECONDS
# (default 60) of idle time, first with the floor program (a window and a
# notification-area icon whose label and tip count down once a second), then
# with the limiter in the timer mode and its helper, on a virtual display.
# Prints both and the ratio product / floor. Linux's /proc is the source:
# Wine reports no other process's times to a Windows program.
set -uo pipefail
build=$(cd "$1" && pwd)
seconds=${2:-60}
here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/../.." && pwd)
out=$(mktemp)

HV_XVFB=1 HV_TIMEOUT=$((2 * seconds + 180)) "$root/scripts/wine-run.sh" --base "$build/wine/base" \
  --bin "$build/bin" -- "$build/test-bin/timeout_idle_probe.exe" "$seconds" >"$out" 2>&1 &
run=$!

# CPU seconds (user + system) of every process of this run's private prefix.
prefix_cpu() {
  local hz p total=0
  hz=$(getconf CLK_TCK)
  for p in /proc/[0-9]*; do
    tr '\0' '\n' 2>/dev/null <"$p/environ" | grep -q '^WINEPREFIX=.*/timeout_idle_probe-' || continue
    total=$((total + $(awk '{ print $14 + $15 }' "$p/stat" 2>/dev/null || echo 0)))
  done
  echo "scale=3; $total / $hz" | bc
}

measure() {  # waits for the probe's marker, then measures SECONDS
  for _ in $(seq 600); do
    grep -q "^probe: $1 measure" "$out" && break
    kill -0 $run 2>/dev/null || { echo "the probe ended early"; cat "$out"; exit 1; }
    sleep 0.5
  done
  local c0 c1
  c0=$(prefix_cpu)
  sleep "$seconds"
  c1=$(prefix_cpu)
  echo "$c1 - $c0" | bc
}

floor=$(measure floor)
product=$(measure product)
wait $run
grep '^probe' "$out"
rm -f "$out"
echo "floor:   $floor s of CPU over $seconds s idle (whole prefix)"
echo "product: $product s of CPU over $seconds s idle (whole prefix)"
echo "ratio product / floor: $(echo "scale=2; $product / $floor" | bc)"
