#!/usr/bin/env bash
# Runs a Windows test binary under wine64 with the private prefix of its build tree.
# The prefix is created once (under a lock, so parallel tests wait for it) and its
# wineserver is kept alive (-p) so that later binaries start in about a second.
# test.sh stops it at the end with: cmake/wine_run.sh --stop BUILD_DIR
set -euo pipefail
WINE64=${WINE64:-/usr/lib/wine/wine64}
WINESERVER=${WINESERVER:-/usr/lib/wine/wineserver64}

find_tree() {  # the build tree holding $1 (the folder with CMakeCache.txt)
  local d
  d=$(cd "$(dirname "$1")" && pwd)
  while [ "$d" != / ] && [ ! -f "$d/CMakeCache.txt" ]; do d=$(dirname "$d"); done
  [ -f "$d/CMakeCache.txt" ] || { echo "wine_run: no build tree above $1" >&2; exit 2; }
  echo "$d"
}

if [ "${1:-}" = --stop ]; then
  export WINEPREFIX=$(cd "$2" && pwd)/wineprefix
  [ -d "$WINEPREFIX" ] && "$WINESERVER" -k 2>/dev/null || true
  exit 0
fi

[ $# -ge 1 ] || { echo "usage: wine_run.sh PROGRAM.exe [ARGS...] | --stop BUILD_DIR" >&2; exit 2; }
tree=${PARLINO_BINARY_DIR:-$(find_tree "$1")}
export WINEPREFIX=$tree/wineprefix
export WINEARCH=win64
export WINEDEBUG=${WINEDEBUG:--all}
export WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-mscoree,mshtml=}
export DISPLAY=${DISPLAY:-:99}

(
  flock 9
  if [ ! -f "$WINEPREFIX/.ready" ]; then
    rm -rf "$WINEPREFIX"
    "$WINE64" wineboot -i </dev/null >/dev/null 2>&1 9>&- || true
    "$WINESERVER" -w
    touch "$WINEPREFIX/.ready"
  fi
  # The server and the prefix's services (started by the first program of a server
  # session) must not inherit a test's output: CTest would wait for them to close it.
  # So both are started here, detached, once per server session.
  # (`wineserver -w` returns at once when no server runs, and waits while one does.)
  if timeout 0.3 "$WINESERVER" -w 9>&-; then
    "$WINESERVER" -p </dev/null >/dev/null 2>&1 9>&- || true
    "$WINE64" wineboot </dev/null >/dev/null 2>&1 9>&- || true
  fi
) 9>"$tree/.wineprefix.lock"

exec "$WINE64" "$@"
