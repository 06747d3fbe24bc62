#!/usr/bin/env bash
# timeout_exit_flags.sh WINE_RUN BASE BIN PROBE ARTIFACTS
#
# Each time-out action, carried out for real in a throwaway Wine session and
# judged from here: the exit call ends processes of the session (with force,
# every one of them and the wineserver), so the test program inside cannot be
# the judge. The probe prints its observations; Wine's relay trace shows the
# flags the limiter passed to ExitWindowsEx.
set -uo pipefail
run=$1 base=$2 bin=$3 probe=$4 artifacts=$5
mkdir -p "$artifacts"
failed=0

fail() { echo "FAIL mode $mode: $*"; failed=1; }

# mode, how the countdown ends, the flags expected (none: no exit call), what
# Wine does with them
while read -r mode action flags outcome; do
  log="$artifacts/timeout_exit_mode$mode.log"
  HV_TIMEOUT=80 "$run" --base "$base" --bin "$bin" -- "$probe" "$mode" "$action" >"$log" 2>&1
  echo "mode $mode ($action): exit code $?"
  grep '^probe' "$log"
  grep -F 'Call user32.ExitWindowsEx(' "$log"

  grep -q 'probe .*: countdown shown' "$log" || fail "no countdown"
  calls=$(grep -c -F 'Call user32.ExitWindowsEx(' "$log")
  if [ "$flags" = none ]; then
    [ "$calls" = 0 ] || fail "$calls exit calls, expected none"
  else
    [ "$calls" = 1 ] || fail "$calls exit calls, expected 1"
    grep -q -F "Call user32.ExitWindowsEx($flags,00000000)" "$log" || fail "exit flags are not $flags"
  fi
  case "$action" in kill*)
    # However often the limiter is killed, the exit call comes at most 30 s
    # and one restart after the first time-out. Wine stamps the relay line
    # with the same tick count that the probe prints.
    shown=$(sed -n 's/.*countdown shown at tick \([0-9]*\).*/\1/p' "$log")
    called=$(grep -F 'Call user32.ExitWindowsEx(' "$log" | head -n1 | sed -n 's/^ *\([0-9]*\)\.\([0-9]*\):.*/\1\2/p')
    if [ -n "$shown" ] && [ -n "$called" ]; then
      ms=$((10#$called - shown))
      echo "mode $mode ($action): exit call $ms ms after the first time-out"
      [ "$ms" -le 36000 ] || fail "exit call $ms ms after the first time-out"
    else
      fail "no timing (shown ${shown:-?}, exit call ${called:-?})"
    fi
  esac
  if [ "$action" = wait ]; then
    # The countdown runs its 300 tenths by itself, then the action follows.
    ms=$(sed -n 's/.*countdown ended after \([0-9]*\) ms.*/\1/p' "$log")
    [ -n "$ms" ] && [ "$ms" -ge 28000 ] && [ "$ms" -le 40000 ] || fail "countdown lasted ${ms:-?} ms"
  fi
  case "$outcome" in
    session-ends)
      # Without force, Wine asks the windows to end the session and then
      # ends their processes: the limiter stores its state on the way out.
      grep -q 'probe .*: limiter ended' "$log" || fail "the limiter did not end"
      grep -q 'probe .*: stored LastLoginDate set' "$log" || fail "no state stored at the end of the session"
      ;;
    limiter-exits)
      # Exited by an administrator during the countdown: the limit is off for
      # this session, so the limiter ends and nothing else does.
      grep -q 'probe .*: limiter ended' "$log" || fail "the limiter did not end"
      grep -q 'probe .*: survived' "$log" || fail "the session did not go on"
      ;;
    all-killed)
      # With force, Wine kills every process of the session at once,
      # the probe included.
      grep -q 'probe .*: survived' "$log" && fail "the probe survived a forced exit"
      ;;
  esac
done <<'EOF'
0 wait 00000000 session-ends
1 press 00000000 session-ends
2 press 00000009 session-ends
3 press 0000000d all-killed
0 exit none limiter-exits
0 killonce 00000000 session-ends
0 killevery 00000000 session-ends
EOF
exit $failed
