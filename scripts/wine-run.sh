#!/usr/bin/env bash
# Runs Windows programs under Wine with the project's own prefix.
#
#   wine-run.sh PROGRAM.exe [ARGS...]   run one program (CTest's emulator)
#   wine-run.sh --session CMD [ARGS...] run any command inside one Wine session
#
# A session creates the prefix under build/ on first use, starts Xvfb when no
# DISPLAY is set, keeps one wineserver alive for the whole command and stops
# both at the end. A program started outside a session opens its own.
set -euo pipefail

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
export WINEPREFIX=${ORVEL_WINEPREFIX:-$root/build/wineprefix}
export WINEARCH=win64
export WINEDEBUG=${ORVEL_WINEDEBUG:--all}
export WINEDLLOVERRIDES="mscoree,mshtml="

xvfb_pid=

stop_session() {
  wineserver -k >/dev/null 2>&1 || true
  if [ -n "$xvfb_pid" ]; then
    kill "$xvfb_pid" >/dev/null 2>&1 || true
    wait "$xvfb_pid" 2>/dev/null || true
  fi
}

start_display() {
  [ -n "${DISPLAY:-}" ] && return 0
  local n
  for n in $(seq 90 140); do
    [ -e "/tmp/.X$n-lock" ] || [ -e "/tmp/.X11-unix/X$n" ] && continue
    Xvfb ":$n" -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 8>&- &
    xvfb_pid=$!
    local i
    for i in $(seq 1 100); do
      [ -e "/tmp/.X11-unix/X$n" ] && { export DISPLAY=":$n"; return 0; }
      kill -0 "$xvfb_pid" 2>/dev/null || break
      sleep 0.05
    done
    kill "$xvfb_pid" >/dev/null 2>&1 || true
    xvfb_pid=
  done
  echo "wine-run: could not start Xvfb" >&2
  return 1
}

ensure_prefix() {
  mkdir -p "$(dirname "$WINEPREFIX")"
  # Two runs creating the prefix at once would corrupt it.
  exec 9>"$WINEPREFIX.lock"
  flock 9
  if [ ! -f "$WINEPREFIX/system.reg" ]; then
    echo "wine-run: creating Wine prefix $WINEPREFIX (once, ~15 s)" >&2
    wineboot -i >/dev/null 2>&1 8>&- || true
    wineserver -w
  fi
  flock -u 9
}

if [ "${1:-}" = "--session" ]; then
  shift
  [ $# -gt 0 ] || { echo "usage: wine-run.sh --session CMD [ARGS...]" >&2; exit 2; }
  if [ -n "${ORVEL_WINE_SESSION:-}" ]; then exec "$@"; fi
  # One session per prefix at a time: a second one would share the
  # wineserver and kill it under the first when it ends.
  mkdir -p "$(dirname "$WINEPREFIX")"
  exec 8>"$WINEPREFIX.session"
  if ! flock -n 8; then
    echo "wine-run: waiting for another session on $WINEPREFIX" >&2
    flock 8
  fi
  trap stop_session EXIT
  trap 'exit 130' INT TERM
  start_display
  ensure_prefix
  wineserver -p 8>&-
  # Start Wine's background processes (services, the desktop window) now,
  # detached from our output: started later by a test they would inherit
  # its pipes and keep CTest waiting for them to close.
  wine wineboot >/dev/null 2>&1 </dev/null 8>&- || true
  wine cmd.exe /c exit >/dev/null 2>&1 </dev/null 8>&- || true
  # Without a window manager Wine waits 2 s for every managed top-level
  # window to unmap; tests create hundreds. Unmanaged windows do not wait.
  if [ ! -f "$WINEPREFIX/.orvel-unmanaged" ]; then
    wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null 2>&1 </dev/null 8>&- &&
      touch "$WINEPREFIX/.orvel-unmanaged"
  fi
  # Wine ships Tahoma, the face the packs name, but Debian does not install
  # it where Wine looks; without it a substitute monospaced face is chosen.
  if [ ! -f "$WINEPREFIX/drive_c/windows/Fonts/tahoma.ttf" ]; then
    cp /usr/share/wine/fonts/tahoma*.ttf "$WINEPREFIX/drive_c/windows/Fonts/" 2>/dev/null || true
  fi
  export ORVEL_WINE_SESSION=1
  set +e
  "$@"
  rc=$?
  set -e
  exit $rc
fi

[ $# -gt 0 ] || { echo "usage: wine-run.sh PROGRAM.exe [ARGS...]" >&2; exit 2; }
if [ -z "${ORVEL_WINE_SESSION:-}" ]; then
  exec "$0" --session "$0" "$@"
fi
exec wine "$@"
