#!/usr/bin/env bash
# Installs what the build and the tests need on Debian 12, quietly and only
# when something is missing, so that it costs nothing on a prepared machine.
set -euo pipefail

pkgs=(
  cmake ninja-build make g++ python3
  g++-mingw-w64-x86-64-posix mingw-w64-tools binutils-mingw-w64-x86-64
  googletest
  wine wine64 fonts-wine
  xvfb xauth x11-apps imagemagick xdotool
  fonts-ipafont-gothic locales
  faketime libfaketime
  clang libclang-rt-14-dev
  nsis fp-utils
)

# Wine takes the ANSI code page (932) from the Unix locale, which must exist.
have_locale() { locale -a 2>/dev/null | grep -qi '^ja_JP\.utf-\?8$'; }

missing=()
for p in "${pkgs[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && have_locale && exit 0

if [ "$(id -u)" -ne 0 ]; then
  echo "deps: missing packages: ${missing[*]} (run as root to install them)" >&2
  exit 1
fi
export DEBIAN_FRONTEND=noninteractive
if [ ${#missing[@]} -gt 0 ]; then
  echo "deps: installing ${missing[*]}"
  apt-get update -qq
  apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
fi
if ! have_locale; then
  sed -i 's/^# *ja_JP.UTF-8 UTF-8/ja_JP.UTF-8 UTF-8/' /etc/locale.gen
  grep -q '^ja_JP.UTF-8 UTF-8' /etc/locale.gen || echo 'ja_JP.UTF-8 UTF-8' >> /etc/locale.gen
  locale-gen >/dev/null
fi
