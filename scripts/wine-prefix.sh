#!/usr/bin/env bash
# wine-prefix.sh DIR: creates the project's base Wine prefix in DIR once
# (Windows 10, Japanese fonts, crash handling, no window manager waits) and
# returns at once when it is already there. Safe to call from parallel tests.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
. "$here/wine-env.sh"
dir=$1
[ -f "$dir/.hv-ready" ] && exit 0
mkdir -p "$(dirname "$dir")"
exec 9>"$dir.lock"
flock 9
[ -f "$dir/.hv-ready" ] && exit 0

rm -rf "$dir" "$dir.new"
export WINEPREFIX="$dir.new"
unset DISPLAY
hv_clean_env wineboot -i </dev/null >/dev/null 2>&1
reg_file=$(mktemp --suffix=.reg)
cat > "$reg_file" <<'REG'
REGEDIT4

[HKEY_CURRENT_USER\Software\Wine]
"Version"="win10"

[HKEY_CURRENT_USER\Software\Wine\Drivers]
"Graphics"="x11,null"

[HKEY_CURRENT_USER\Software\Wine\X11 Driver]
"Managed"="N"
"Decorated"="Y"

[HKEY_CURRENT_USER\Software\Wine\Fonts\Replacements]
"MS UI Gothic"="IPAGothic"
"MS Gothic"="IPAGothic"
"MS PGothic"="IPAPGothic"

[HKEY_CURRENT_USER\Software\Wine\WineDbg]
"ShowCrashDialog"=dword:00000000

[HKEY_LOCAL_MACHINE\Software\Microsoft\Windows NT\CurrentVersion\AeDebug]
"Debugger"="cmd.exe /c exit 0"
"Auto"="1"
REG
hv_clean_env wine regedit /S "Z:${reg_file//\//\\}" </dev/null >/dev/null 2>&1
rm -f "$reg_file"
hv_clean_env wineserver -w
marlett=$(find /usr/share/wine /usr/lib/x86_64-linux-gnu/wine -name marlett.ttf 2>/dev/null | head -n1 || true)
[ -n "$marlett" ] && cp "$marlett" "$WINEPREFIX/drive_c/windows/Fonts/"
touch "$WINEPREFIX/.hv-ready"
mv "$WINEPREFIX" "$dir"
