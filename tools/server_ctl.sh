#!/usr/bin/env bash
# Starts and stops the loopback test servers that CTest fixtures need.
#   server_ctl.sh start NAME DIR COMMAND...   runs COMMAND in the background; COMMAND
#       must write its port to DIR/NAME.port once it listens (it gets DIR and NAME in
#       PARLINO_SERVER_DIR and PARLINO_SERVER_NAME). Waits up to 20 s for that file.
#   server_ctl.sh stop NAME DIR               ends the server and its children.
set -euo pipefail
action=$1 name=$2 dir=$3; shift 3
mkdir -p "$dir"
pidfile=$dir/$name.pid
stop() {
  if [ -f "$pidfile" ]; then
    kill -- -"$(cat "$pidfile")" 2>/dev/null || kill "$(cat "$pidfile")" 2>/dev/null || true
    rm -f "$pidfile"
  fi
  rm -f "$dir/$name.port"
}
case $action in
  start)
    stop
    PARLINO_SERVER_DIR=$dir PARLINO_SERVER_NAME=$name setsid "$@" >"$dir/$name.log" 2>&1 </dev/null &
    echo $! >"$pidfile"
    for _ in $(seq 200); do
      [ -s "$dir/$name.port" ] && exit 0
      kill -0 "$(cat "$pidfile")" 2>/dev/null || { echo "server $name died:"; cat "$dir/$name.log"; exit 1; }
      sleep 0.1
    done
    echo "server $name did not report a port"; cat "$dir/$name.log"; stop; exit 1;;
  stop) stop;;
  *) echo "usage: server_ctl.sh start|stop NAME DIR [COMMAND...]" >&2; exit 2;;
esac
