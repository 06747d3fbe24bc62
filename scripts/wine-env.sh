# Sourced by the Wine scripts: the environment every Wine process of the
# project runs with.
export WINEARCH=win64
export WINEDEBUG=${WINEDEBUG:--all}
export WINEDLLOVERRIDES="mscoree,mshtml="
# A Japanese system: ANSI code page 932, as the narrow interfaces expect.
export LANG=ja_JP.UTF-8
unset LC_ALL LC_CTYPE
# POSIX form, so that the C runtime's localtime() and Wine agree.
export TZ=${TZ_OVERRIDE:-JST-9}
# The fake clock must never reach Wine's own long-lived processes.
hv_clean_env() { env -u LD_PRELOAD -u FAKETIME -u FAKETIME_DONT_FAKE_MONOTONIC -u NO_FAKE_STAT "$@"; }
