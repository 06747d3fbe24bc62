#!/usr/bin/env bash
# timeout_idle_cost.sh BUILD_DIR [SECONDS]
#
# A measurement, not a test: the CPU time and private memory that an idle
# limiter and its helper use under Wine over SECONDS (default 60), as Linux
# sees the two processes (Wine reports neither figure of another process to a
# Windows program: GetProcessTimes and GetProcessMemoryInfo give zeros).
set -uo pipefail
build=$(cd "$1" && pwd)
seconds=${2:-60}
here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/../.." && pwd)
bin=$build/bin
out=$(mktemp)

HV_TIMEOUT=$((seconds + 120)) "$root/scripts/wine-run.sh" --base "$build/wine/base" --bin "$bin" -- \
  "$build/test-bin/timeout_idle_probe.exe" "$seconds" >"$out" 2>&1 &
run=$!

# Wine processes of this run (its private prefix), by the program's name.
winbuild=$(echo "Z:$build" | tr / '\\')
pids_of() {
  local c p
  for c in /proc/[0-9]*/cmdline; do
    IFS= read -r -d '' first 2>/dev/null <"$c" || continue
    case "$first" in "$winbuild"*"\\$1") ;; *) continue;; esac
    p=${c//[^0-9]/}
    tr '\0' '\n' 2>/dev/null <"/proc/$p/environ" | grep -q '^WINEPREFIX=.*/timeout_idle_probe-' && echo "$p"
  done
}
pid_of() { pids_of "$1" | head -n1; }
cpu() { awk -v hz="$(getconf CLK_TCK)" '{ printf "%.3f", ($14 + $15) / hz }' "/proc/$1/stat"; }
private_kib() { awk '/^Private_(Clean|Dirty):/ { s += $2 } END { print s }' "/proc/$1/smaps_rollup"; }
rss_kib() { awk '/^VmRSS:/ { print $2 }' "/proc/$1/status"; }

# Both up, and the helper copies that lost the race for its mutex gone.
for _ in $(seq 120); do
  n=$(pids_of cfwHelper.exe | wc -l)
  l=$(pid_of hvCurfew.exe)
  [ -n "$l" ] && [ "$n" = 1 ] && break
  sleep 0.5
done
sleep 5
limiter=$(pid_of hvCurfew.exe) helper=$(pid_of cfwHelper.exe)
[ -n "$limiter" ] && [ -n "$helper" ] || { echo "limiter or helper not found"; wait $run; cat "$out"; exit 1; }
declare -A c0
for p in $limiter $helper; do c0[$p]=$(cpu $p); done
sleep "$seconds"
for name in hvCurfew.exe cfwHelper.exe; do
  p=$limiter; [ $name = cfwHelper.exe ] && p=$helper
  c1=$(cpu $p)
  echo "linux: $name: CPU $(echo "$c1 - ${c0[$p]}" | bc) s over $seconds s idle; private $(private_kib $p) KiB, RSS $(rss_kib $p) KiB"
done
wait $run
grep '^probe' "$out"
rm -f "$out"
