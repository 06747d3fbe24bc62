#!/usr/bin/env bash
# Starts the product (the limiter, which keeps its helper running) and the
# administrator's settings utility under Wine in a prefix of its own, build/win64/run-prefix, made once from the base
# prefix of the tests. A first run registers the Linux user (who is the Wine
# user) with a demo limit: a daily allowance of 2 hours that counts down.
#
# With $DISPLAY set it runs on that display until Ctrl+C. Without one it runs
# on a private virtual display for a few seconds, saves a screenshot of the
# limiter and one of the settings utility, and stops.
#
#   HV_RUN_TREE=build/other   use another build tree (default build/win64)
#   HV_RUN_SECONDS=n          how long a run without display lasts (default 8)
#   HV_RUN_RESET=1            start over with a fresh prefix and demo settings
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
root=$(dirname "$here")
. "$here/wine-env.sh"

tree=$(realpath -m "${HV_RUN_TREE:-$root/build/win64}")
bin=$tree/bin
seconds=${HV_RUN_SECONDS:-8}
for f in hvCurfew.exe cfwHelper.exe cfwEdit.exe cfwCommon.dll; do
    if [ ! -f "$bin/$f" ]; then
        echo "run.sh: $bin/$f is missing; build first (make run does)." >&2
        exit 1
    fi
done

# --- the prefix -----------------------------------------------------------------
bash "$here/wine-prefix.sh" "$tree/wine/base"
export WINEPREFIX=$tree/run-prefix
if [ "${HV_RUN_RESET:-0}" = 1 ] && [ -d "$WINEPREFIX" ]; then
    hv_clean_env wineserver -k 2>/dev/null || true
    rm -rf "$WINEPREFIX"
fi
if [ ! -f "$WINEPREFIX/.hv-ready" ]; then
    rm -rf "$WINEPREFIX" "$WINEPREFIX.new"
    cp -a "$tree/wine/base" "$WINEPREFIX.new"
    mv "$WINEPREFIX.new" "$WINEPREFIX"
fi

# --- the display ------------------------------------------------------------------
xvfb_pid=
headless=0
if [ -z "${DISPLAY:-}" ]; then
    headless=1
    for n in $(seq 70 130); do
        [ -e "/tmp/.X$n-lock" ] || [ -e "/tmp/.X11-unix/X$n" ] || { display=":$n"; break; }
    done
    Xvfb "$display" -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
    xvfb_pid=$!
    export DISPLAY=$display
    for _ in $(seq 50); do
        [ -e "/tmp/.X11-unix/X${display#:}" ] && break
        sleep 0.1
    done
fi

stop() {
    hv_clean_env wineserver -k 2>/dev/null || true
    if [ -n "$xvfb_pid" ]; then
        kill "$xvfb_pid" 2>/dev/null || true
        wait "$xvfb_pid" 2>/dev/null || true
    fi
}
trap stop EXIT
trap 'exit 130' INT TERM

# A server left from a run on another display keeps that display: start anew.
hv_clean_env wineserver -k 2>/dev/null || true
hv_clean_env wineserver -w 2>/dev/null || true
hv_clean_env wineserver -p5 </dev/null >/dev/null 2>&1

# --- demo settings, only when the user has none ------------------------------------
user=$(id -un)
root_key='HKEY_LOCAL_MACHINE\Software\Halvern Software\Halvern Curfew\2.0'
if ! hv_clean_env wine reg query "$root_key\\Users\\$user" </dev/null >/dev/null 2>&1; then
    hours=00,00,00,00,00,00,00,00,01,01,01,01,01,01,01,01,01,01,01,01,01,01,00,00  # 8:00 to 21:59
    reg_file=$(mktemp --suffix=.reg)
    cat > "$reg_file" <<REG
REGEDIT4

[$root_key]
"TimeOutMode"=dword:00000000
"Amusement"=dword:00000000
"PasswordLockHash"=dword:ffffffff
"IsInitialized"=dword:00000001

[$root_key\\Users\\$user]
"LimitMode"=dword:00000005
"Group"=""
"TodayLimitTable"=hex:$hours
"WeeklyLimitTable1"=hex:$hours
"WeeklyLimitTable2"=hex:$hours
"LimitTable (Mon)"=hex:$hours
"LimitTable (Thu)"=hex:$hours
"LimitTable (Wed)"=hex:$hours
"LimitTable (The)"=hex:$hours
"LimitTable (Fri)"=hex:$hours
"LimitTable (Sat)"=hex:$hours
"LimitTable (Sun)"=hex:$hours
"LimitModeFlag"=dword:00000000
"LimitModeTimeDay"=dword:00000078
"LimitModeTimeHalfAM"=dword:0000001e
"LimitModeTimeHalfPM"=dword:0000001e
REG
    hv_clean_env wine regedit /S "Z:${reg_file//\//\\}" </dev/null >/dev/null 2>&1
    rm -f "$reg_file"
    echo "Registered the Wine user \"$user\" with a demo limit: 2 hours a day, counting down."
fi

# --- the limiter ---------------------------------------------------------------------
cd "$bin"
hv_clean_env wine "$bin/hvCurfew.exe" </dev/null >/dev/null 2>&1 &
# The limiter starts minimised. On the private display (no window manager)
# Wine keeps its icon title at the bottom left: a double click there brings
# the window with the countdown up. Then the monitor window, which lists the
# account with its mode.
sleep 3
if [ "$headless" = 1 ]; then
    xdotool mousemove 50 $((768 - 11)) click --repeat 2 --delay 80 1 2>/dev/null || true
    sleep 0.5
fi
hv_clean_env wine "$bin/hvCurfew.exe" /Monitor </dev/null >/dev/null 2>&1 || true

shoot() {  # file, what
    if import -display "$DISPLAY" -window root "$1" 2>/dev/null; then
        echo "$2: $1"
    else
        echo "$2: no screenshot (ImageMagick import failed)."
    fi
}
if [ "$headless" = 1 ]; then
    sleep "$seconds"
    mkdir -p "$tree/artifacts"
    shoot "$tree/artifacts/run.png" "Halvern Curfew ran for $seconds s on a virtual display; the limiter"
fi

# --- the settings utility, as an administrator sees it ------------------------------
hv_clean_env wine "$bin/cfwEdit.exe" </dev/null >/dev/null 2>&1 &
if [ "$headless" = 1 ]; then
    sleep 4
    shoot "$tree/artifacts/run-editor.png" "The settings utility"
    exit 0
fi

echo "Halvern Curfew runs on $DISPLAY in the Wine prefix $WINEPREFIX."
echo "Press Ctrl+C to stop it (this ends every program of that prefix)."
hv_clean_env wineserver -w || true
