#!/usr/bin/env bash
# Starts or stops the Wine session shared by the Windows unit tests of a build
# tree: a fresh prefix copied from the template, a virtual display and a
# persistent wineserver.  ctest runs "start" before and "stop" after them.
#
#   wine-session.sh start <build-dir>
#   wine-session.sh stop  <build-dir>
#
# A watchdog ends the session if the process that started it (ctest) dies
# without running "stop", so a killed test run leaves no Xvfb or wineserver.
set -euo pipefail
here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
source "$here/lib/wine-env.sh"

action="$1"
build="$(cd "$2" && pwd)"
root="$build/wine/unit"

stop_session() {
  if [[ -d "$root/prefix" ]]; then
    (pv_wine_env "$root"; timeout 20 wineserver -k 2>/dev/null || true)
  fi
  local pidfile
  for pidfile in "$root/watchdog.pid" "$root/xvfb.pid"; do
    if [[ -f "$pidfile" ]]; then
      kill "$(cat "$pidfile")" 2>/dev/null || true
      rm -f "$pidfile"
    fi
  done
  rm -f "$root/display"
}

start_xvfb() {
  command -v Xvfb >/dev/null || { echo "wine-session: Xvfb is not installed (run scripts/setup.sh)" >&2; return 1; }
  rm -f "$root/display.num"
  Xvfb -displayfd 3 -screen 0 1920x1080x24 -nolisten tcp 3>"$root/display.num" >/dev/null 2>&1 &
  echo $! >"$root/xvfb.pid"
  local i
  for ((i = 0; i < 100; i++)); do
    if [[ -s "$root/display.num" ]]; then
      echo ":$(tr -d '[:space:]' <"$root/display.num")" >"$root/display"
      return 0
    fi
    sleep 0.1
  done
  echo "wine-session: Xvfb did not start within 10 s" >&2
  return 1
}

start_watchdog() {
  local owner="$1"
  (
    trap '' HUP
    while kill -0 "$owner" 2>/dev/null && [[ -f "$root/xvfb.pid" ]]; do sleep 1; done
    if [[ -f "$root/xvfb.pid" ]]; then
      (pv_wine_env "$root"; timeout 20 wineserver -k 2>/dev/null || true)
      kill "$(cat "$root/xvfb.pid")" 2>/dev/null || true
    fi
  ) </dev/null >/dev/null 2>&1 &
  echo $! >"$root/watchdog.pid"
}

case "$action" in
  start)
    command -v wine >/dev/null || { echo "wine-session: wine is not installed (run scripts/setup.sh)" >&2; exit 1; }
    stop_session
    pv_wine_ensure_template "$build"
    pv_wine_clone_prefix "$build/wine/template" "$root"
    start_xvfb
    start_watchdog "$PPID"
    DISPLAY="$(cat "$root/display")"
    export DISPLAY
    (pv_wine_env "$root"; wineserver -p </dev/null >/dev/null 2>&1)
    # Wine's background services and its desktop process start with the first
    # program (and the first window) of a session, inherit that program's
    # output and keep it open, and end with the last program. A keeper that
    # owns a hidden window for up to an hour starts them here, detached from
    # every test's output, and keeps them up; "stop" ends it with the wineserver.
    (pv_wine_env "$root"; wine "$build/bin/pvprobe.exe" keeper 3600000 </dev/null >/dev/null 2>&1 &)
    # The keeper is started in the background: wait (bounded) until its window
    # exists, and with it the desktop process, before the first test runs.
    # Otherwise a test that creates the session's first window starts the
    # desktop itself, which keeps the test's output open after the test has
    # ended, and ctest waits for it until its time-out.
    if ! (pv_wine_env "$root"; timeout 90 wine "$build/bin/pvprobe.exe" wait "pvprobe keeper" 60000 \
      </dev/null >/dev/null 2>&1); then
      echo "wine-session: the keeper's window did not appear" >&2
      exit 1
    fi
    (pv_wine_env "$root"; timeout 60 wine reg query 'HKCU\Software\Wine' </dev/null >/dev/null 2>&1 || true)
    echo "wine session ready: prefix $root/prefix, display $(cat "$root/display")"
    ;;
  stop)
    stop_session
    echo "wine session stopped"
    ;;
  *)
    echo "usage: $0 start|stop <build-dir>" >&2
    exit 2
    ;;
esac
