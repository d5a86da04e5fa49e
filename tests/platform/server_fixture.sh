#!/usr/bin/env bash
# Starts or stops one test server for ctest's fixtures.
#   server_fixture.sh start STATE_DIR SERVER_SCRIPT [ARGS...]
#   server_fixture.sh stop STATE_DIR
# The server must write its port to STATE_DIR/port once it listens. Its pid is kept in
# STATE_DIR/pid; its output goes to STATE_DIR/server.log, never to ctest's pipes, which
# ctest would otherwise wait on for as long as the server lives.
set -euo pipefail

action=$1
state=$2
shift 2

# Python modules of the test servers come from Debian's packages, which only the system
# interpreter sees.
python=/usr/bin/python3

stop_recorded_server() {
  local pid
  [[ -f $state/pid ]] || return 0
  pid=$(<"$state/pid")
  # Only a process that still runs one of our server scripts is ours to stop.
  if grep -qa "_server.py" "/proc/$pid/cmdline" 2>/dev/null; then
    kill "$pid"
    for _ in $(seq 50); do
      kill -0 "$pid" 2>/dev/null || break
      sleep 0.1
    done
  fi
  rm -f "$state/pid"
}

start_server() {
  stop_recorded_server
  rm -rf "$state"
  mkdir -p "$state"
  setsid "$python" "$@" </dev/null >"$state/server.log" 2>&1 &
  echo $! >"$state/pid"
  for _ in $(seq 200); do
    if [[ -s $state/port ]]; then
      echo "server listening on 127.0.0.1:$(<"$state/port")"
      return 0
    fi
    if ! kill -0 "$(<"$state/pid")" 2>/dev/null; then
      break
    fi
    sleep 0.1
  done
  echo "server did not start:" >&2
  cat "$state/server.log" >&2
  return 1
}

case $action in
  start) start_server "$@" ;;
  stop) stop_recorded_server ;;
  *)
    echo "usage: $0 start|stop STATE_DIR [SERVER_SCRIPT ARGS...]" >&2
    exit 2
    ;;
esac
