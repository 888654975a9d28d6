#!/usr/bin/env bash
# run_bench.sh BENCH RECEIVER WORKDIR: starts the receiver on a free loopback port, runs
# the benchmark against it and stops the receiver again.
set -euo pipefail
bench=$1 receiver=$2 work=$3
rm -rf "$work" && mkdir -p "$work/received" "$work/data"
python3 "$receiver" --port 0 --dir "$work/received" >"$work/port" 2>"$work/receiver.log" &
pid=$!
trap 'kill $pid 2>/dev/null || true' EXIT
for _ in $(seq 100); do [ -s "$work/port" ] && break; sleep 0.1; done
port=$(head -1 "$work/port")
XDG_DATA_HOME="$work/data" "$bench" "http://127.0.0.1:$port/c/bench/sa"
