#!/usr/bin/env bash
# idle_cost.sh BUILD_DIR [SECONDS]
#
# A benchmark run by hand, not a test: what the running notification service
# costs while nothing happens, over SECONDS (default 60), first for a build
# whose service thread polls its state every millisecond, then for the real
# build, which waits on an event. From Linux's /proc: the CPU time (user +
# system) and the voluntary context switches (wake-ups) of the service
# process's threads. Wine reports no other process's times to a Windows
# program. Prints both and the ratio polling / event.
set -uo pipefail
build=$(cd "$1" && pwd)
seconds=${2:-60}
here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/../.." && pwd)
out=$(mktemp)
markers=$(mktemp)

HV_TIMEOUT=$((2 * seconds + 180)) "$root/scripts/wine-run.sh" --base "$build/wine/base" \
  --bin "$build/bin" -- "$build/test-bin/service_idle_cost_probe.exe" "$seconds" "Z:${markers//\//\\}" >"$out" 2>&1 &
run=$!

service_pid() {  # the Linux process whose command line names the program
  local p line
  for p in /proc/[0-9]*; do
    line=$(tr '\0' ' ' 2>/dev/null <"$p/cmdline")
    case "$line" in *"\\$1 /Service"*) basename "$p"; return 0 ;; esac
  done
  return 1
}

# "cpu_ticks switches" summed over the process's threads.
sample() {
  local t ticks=0 switches=0
  for t in /proc/"$1"/task/*; do
    ticks=$((ticks + $(awk '{ print $14 + $15 }' "$t/stat" 2>/dev/null || echo 0)))
    switches=$((switches + $(awk '/^voluntary_ctxt_switches/ { print $2 }' "$t/status" 2>/dev/null || echo 0)))
  done
  echo "$ticks $switches"
}

measure() {  # $1 label, $2 program name
  for _ in $(seq 600); do
    grep -q "^probe: $1 measure" "$markers" && break
    grep -q "^probe: $1 could not" "$markers" && return 1
    kill -0 $run 2>/dev/null || return 1
    sleep 0.5
  done
  local pid s0 s1 hz
  pid=$(service_pid "$2")
  [ -n "$pid" ] || return 1
  hz=$(getconf CLK_TCK)
  s0=$(sample "$pid")
  sleep "$seconds"
  s1=$(sample "$pid")
  set -- $s0 $s1
  echo "$(echo "scale=3; ($3 - $1) / $hz" | bc) $(($4 - $2))"
}

fail() { echo "$1"; tr -d '\r' <"$markers"; cat "$out"; rm -f "$out" "$markers"; exit 1; }
polling=$(measure polling cfwNotifySvcPolling.exe) || fail "the polling build could not be measured"
event=$(measure event 'cfwNotifySvc.exe') || fail "the event build could not be measured"
wait $run
tr -d '\r' <"$markers"
rm -f "$out" "$markers"
read -r pcpu pwake <<<"$polling"
read -r ecpu ewake <<<"$event"
echo "polling: ${pcpu} s of CPU, ${pwake} wake-ups over $seconds s idle (service process)"
echo "event:   ${ecpu} s of CPU, ${ewake} wake-ups over $seconds s idle (service process)"
echo "wake-ups polling / event: $(echo "scale=1; $pwake / ($ewake + 1)" | bc) (event count + 1 against zero)"
