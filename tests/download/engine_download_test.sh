#!/usr/bin/env bash
# parlino-engine download: one line per status, exit 0 exactly when the last is 1003.
#   engine_download_test.sh ENGINE SERVERS_DIR
set -uo pipefail
engine=$1 servers=$2
nginx="http://127.0.0.1:$(cat "$servers/download_nginx.port")"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
passed=0 failed=0

check() {  # name expected-exit expected-codes args...
  local name=$1 want_exit=$2 want_codes=$3; shift 3
  local out codes rc
  out=$("$engine" download "$@" 2>/dev/null); rc=$?
  codes=$(printf '%s\n' "$out" | awk '$1 != 1002 {print $1}' | tr '\n' ' ')
  if [ "$rc" = "$want_exit" ] && [ "$codes" = "$want_codes" ]; then
    passed=$((passed + 1))
  else
    failed=$((failed + 1))
    echo "FAILED $name: exit $rc (want $want_exit), codes '$codes' (want '$want_codes')"
    printf '%s\n' "$out"
  fi
}

check "single connection" 0 "1001 1003 " --type 1 "$nginx/software/pkg_1048576.exe" "$work/a.exe"
check "multi-part, two parts" 0 "1001 1003 " --type 3 "$nginx/software/pkg_30000001.exe" "$work/b.exe"
check "system service" 0 "1001 1003 " --type 2 "$nginx/software/pkg_1048576.exe" "$work/c.exe"
check "mismatch retried from the status, then failed" 1 "1001 1006 1005 1001 1006 1004 " \
  --type 3 "$nginx/wrongmd5/pkg_1048576.exe" "$work/d.exe"
check "no MD5 directory" 0 "1001 1006 1003 " "$nginx/plain/pkg_1048576.exe" "$work/e.exe"
last=$("$engine" download --type 1 "$nginx/software/pkg_1048576.exe" "$work/f.exe" | tail -1)
if [ "$last" = "1003 0 LibCurl" ]; then passed=$((passed + 1)); else failed=$((failed + 1)); echo "FAILED line: '$last'"; fi
if "$engine" download --type 1 2>/dev/null; then failed=$((failed + 1)); echo "FAILED usage"; else passed=$((passed + 1)); fi

echo "$passed passed, $failed failed"
[ "$failed" = 0 ]
