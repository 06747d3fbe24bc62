#!/usr/bin/env bash
# wine-run.sh --base DIR [--bin DIR] [--] PROGRAM.exe [ARGS...]
#
# Runs one Windows program (normally a test) under Wine in a private copy of
# the base prefix, with its own wineserver, and removes that copy afterwards.
# Every run is isolated: per-session objects (mutexes, window classes,
# HKEY_CURRENT_USER) never leak between tests running side by side.
#
# Environment:
#   HV_TIMEOUT=SECONDS  hard limit for the program (default 300)
#   HV_XVFB=1           give the run a virtual X display of its own
#   HV_FAKE_CLOCK=1     run the program under libfaketime; the program sets the
#                       time by writing an offset ("+SECONDS") to the file named
#                       by HV_FAKETIME_FILE (see e2e::SetFakeClock)
#   --artifacts DIR     where screenshots go (HV_ARTIFACTS inside Wine)
#   HV_KEEP_PREFIX=1    keep the copied prefix (path printed) for debugging
set -uo pipefail
here=$(cd "$(dirname "$0")" && pwd)
. "$here/wine-env.sh"

base=""
bin=""
artifacts=""
while [ $# -gt 0 ]; do
  case "$1" in
    --base) base=$2; shift 2;;
    --bin) bin=$2; shift 2;;
    --artifacts) artifacts=$2; shift 2;;
    --) shift; break;;
    *) break;;
  esac
done
[ -n "$base" ] && [ $# -gt 0 ] || { echo "usage: wine-run.sh --base DIR PROGRAM [ARGS]" >&2; exit 2; }

"$here/wine-prefix.sh" "$base" || { echo "wine-run: cannot create the base prefix" >&2; exit 2; }

runs="$base-runs"
mkdir -p "$runs"
prefix=$(mktemp -d "$runs/$(basename "$1" .exe)-XXXXXX")
# Hard links make the copy nearly free; files Wine rewrites in place are
# copied for real so the base never changes.
rmdir "$prefix"
cp -al "$base" "$prefix"
for f in system.reg user.reg userdef.reg .update-timestamp; do
  cp --remove-destination "$base/$f" "$prefix/$f"
done
find "$prefix/drive_c/windows" -maxdepth 1 -name '*.ini' -exec sh -c 'cp --remove-destination "$1" "$1.tmp" && mv "$1.tmp" "$1"' _ {} \;
export WINEPREFIX=$prefix
# Test programs live apart from the product; they find its DLLs through the path.
[ -n "$bin" ] && export WINEPATH="Z:${bin//\//\\}"
# Screenshots land as BMP in a folder of this run's own and are turned into
# PNG in the shared folder afterwards, so that a run never touches another
# run's half-written file under ctest -j2.
staging=""
if [ -n "$artifacts" ]; then
  mkdir -p "$artifacts"
  staging=$(mktemp -d "$artifacts/.run.XXXXXX")
  export HV_ARTIFACTS="Z:${staging//\//\\}"
fi

xvfb_pid=""
out=$(mktemp)
cleanup() {
  if [ -n "$staging" ]; then
    for f in "$staging"/*; do
      [ -f "$f" ] || continue
      name=$(basename "$f")
      if [ "${name##*.}" = bmp ] && command -v convert >/dev/null &&
         convert "$f" "$staging/${name%.bmp}.png" 2>/dev/null; then
        mv -f "$staging/${name%.bmp}.png" "$artifacts/"
      else
        mv -f "$f" "$artifacts/"
      fi
    done
    rm -rf "$staging"
  fi
  hv_clean_env wineserver -k >/dev/null 2>&1
  hv_clean_env wineserver -w >/dev/null 2>&1
  [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null
  if [ "${HV_KEEP_PREFIX:-0}" = 1 ]; then
    echo "wine-run: prefix kept at $prefix" >&2
  else
    rm -rf "$prefix"
  fi
  rm -f "$out"
}
trap cleanup EXIT
trap 'exit 143' TERM INT

if [ "${HV_XVFB:-0}" = 1 ]; then
  dfile=$(mktemp)
  Xvfb -displayfd 3 -screen 0 1280x800x24 -nolisten tcp 3>"$dfile" </dev/null >/dev/null 2>&1 &
  xvfb_pid=$!
  for _ in $(seq 100); do [ -s "$dfile" ] && break; sleep 0.05; done
  export DISPLAY=":$(head -n1 "$dfile")"
  rm -f "$dfile"
else
  unset DISPLAY
fi

# One wineserver for the whole run, and Wine's background processes started
# with their output on /dev/null, so nothing holds the caller's pipes open.
hv_clean_env wineserver -p30 </dev/null >/dev/null 2>&1
hv_clean_env wine cmd /c exit 0 </dev/null >/dev/null 2>&1

fake=()
if [ "${HV_FAKE_CLOCK:-0}" = 1 ]; then
  echo "+0" > "$prefix/faketime"
  fake=(env LD_PRELOAD=/usr/lib/x86_64-linux-gnu/faketime/libfaketime.so.1
        FAKETIME_TIMESTAMP_FILE="$prefix/faketime" FAKETIME_CACHE_DURATION=1
        FAKETIME_DONT_FAKE_MONOTONIC=1 NO_FAKE_STAT=1
        HV_FAKETIME_FILE="Z:${prefix//\//\\}\\faketime")
fi

prog=$1; shift
case "$prog" in
  /*) winprog="Z:${prog//\//\\}";;
  *) winprog=$prog;;
esac
timeout -k 5 "${HV_TIMEOUT:-300}" "${fake[@]}" wine "$winprog" "$@" </dev/null >"$out" 2>&1
rc=$?
cat "$out"
[ $rc -eq 124 ] && echo "wine-run: $prog timed out after ${HV_TIMEOUT:-300}s" >&2
exit $rc
