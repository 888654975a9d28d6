#!/usr/bin/env bash
# run_demo.sh BUILD_DIR: the installer's main job without a window, against local
# servers. Serves the demo package from a loopback nginx, starts the analytics
# receiver, runs `parlino-engine install` into a fresh directory, then says where the
# installed product, the install records and the received events are. Everything the
# demo writes stays under BUILD_DIR/demo (the POSIX registry and APPDATA included).
set -euo pipefail
[ $# -eq 1 ] || { echo "usage: tools/run_demo.sh BUILD_DIR" >&2; exit 2; }
src=$(cd "$(dirname "$0")/.." && pwd)
build=$(cd "$1" && pwd)
engine=$build/app/parlino-engine
package=$build/tools/test_package/parlino-demo-package
for f in "$engine" "$package"; do
  [ -x "$f" ] || { echo "run_demo: $f is missing; build the tree first" >&2; exit 2; }
done

work=$build/demo
rm -rf "$work"
mkdir -p "$work/servers"
servers=$work/servers
stop_servers() {
  "$src/tools/server_ctl.sh" stop demo_packages "$servers" || true
  "$src/tools/server_ctl.sh" stop demo_analytics "$servers" || true
}
trap stop_servers EXIT

"$src/tools/server_ctl.sh" start demo_packages "$servers" \
  python3 "$src/tools/test_package/package_server.py" --root "$work/download_root" \
  --file "demo-package.exe=$package"
"$src/tools/server_ctl.sh" start demo_analytics "$servers" \
  python3 "$src/tools/analytics_receiver.py" --port 0 --dir "$work/events"
package_port=$(cat "$servers/demo_packages.port")
analytics_port=$(cat "$servers/demo_analytics.port")

export PARLINO_ANALYTICS_URL="http://127.0.0.1:$analytics_port/sa?project=pc"
export XDG_CONFIG_HOME=$work/config   # the registry stand-in
export APPDATA=$work/appdata          # the analytics data folder of the records
install_dir=$work/Parlino
url="http://127.0.0.1:$package_port/software/demo-package.exe"

echo "== parlino-engine install -downloadurl=$url --dir $install_dir"
status=0
"$engine" install "-downloadurl=$url" --dir "$install_dir" || status=$?

echo
echo "== result (exit code $status)"
echo "installed product:  $install_dir/Parlino.exe $( [ -x "$install_dir/Parlino.exe" ] && echo '(present)' || echo '(MISSING)')"
echo "its uninstaller:    $install_dir/uninst.ep"
echo "install records:    $install_dir/set.ini"
echo "registry values:    $XDG_CONFIG_HOME/parlino/registry.ini"
[ -f "$XDG_CONFIG_HOME/parlino/registry.ini" ] && sed 's/^/    /' "$XDG_CONFIG_HOME/parlino/registry.ini"
events=$work/events/default.jsonl
echo "received events:    $events"
if [ -f "$events" ]; then
  python3 - "$events" <<'PY'
import json, sys
names = []
for line in open(sys.argv[1], encoding="utf-8"):
    record = json.loads(line)
    props = record.get("properties", {})
    names.append(record.get("event", "") + (" / " + props["vx_task_name"] if "vx_task_name" in props else ""))
for name in names:
    print("    " + name)
PY
fi
exit $status
