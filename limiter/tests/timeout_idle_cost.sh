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

# "pid ticks" (user + system CPU) of every Wine process of this run's private
# prefix (the virtual display's server, which shares its environment, apart).
prefix_ticks() {
  local p ticks
  for p in /proc/[0-9]*; do
    grep -qz '^WINEPREFIX=.*/timeout_idle_probe-' "$p/environ" 2>/dev/null || continue
    grep -qz '^Xvfb' "$p/cmdline" 2>/dev/null && continue
    # Fields after the parenthesised command name, which may hold spaces.
    ticks=$(sed 's/.*) //' "$p/stat" 2>/dev/null | awk '{ print $12 + $13 }')
    [ -n "$ticks" ] && echo "${p#/proc/} $ticks"
  done
}

# CPU seconds between two snapshots: what each process used meanwhile (all
# of it for a process started meanwhile).
cpu_between() {
  awk -v hz="$(getconf CLK_TCK)" 'NR == FNR { t0[$1] = $2; next } { s += $2 - ($1 in t0 ? t0[$1] : 0) }
    END { printf "%.2f", s / hz }' "$1" "$2"
}

# Whether a process of this run runs the program `name`.
running() {
  local p
  for p in /proc/[0-9]*; do
    grep -qz '^WINEPREFIX=.*/timeout_idle_probe-' "$p/environ" 2>/dev/null || continue
    grep -qzE "\\\\$1\$" "$p/cmdline" 2>/dev/null && return 0
  done
  return 1
}

# Waits for `name` to run (the probe's output only comes at its end), lets
# it settle, then measures SECONDS.
measure() {
  for _ in $(seq 600); do
    running "$1" && break
    kill -0 $run 2>/dev/null || { echo "the probe ended early" >&2; exit 1; }
    sleep 0.5
  done
  sleep 5
  prefix_ticks >"$out.0"
  sleep "$seconds"
  prefix_ticks >"$out.1"
  cpu_between "$out.0" "$out.1"
  rm -f "$out.0" "$out.1"
}

floor=$(measure timeout_idle_floor.exe) || exit 1
product=$(measure cfwHelper.exe) || exit 1
wait $run
grep '^probe' "$out"
rm -f "$out"
echo "floor:   $floor s of CPU over $seconds s idle (whole prefix)"
echo "product: $product s of CPU over $seconds s idle (whole prefix)"
echo "ratio product / floor: $(echo "scale=2; $product / $floor" | bc)"
