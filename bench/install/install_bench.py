#!/usr/bin/env python3
"""Install benchmark: wall time of one full installation attempt by the engine
(download with its checks, silent install through the console protocol, records,
package cleanup) against the same steps by hand: curl, md5sum, running the package.
The package is the demo package padded to --size bytes. Prints JSON.

  install_bench.py --engine PATH --package PATH --work DIR [--size BYTES] [--repeat N]
"""
import argparse
import json
import os
import shutil
import statistics
import subprocess
import sys
import time

HERE = os.path.dirname(os.path.abspath(__file__))
TOOLS = os.path.join(HERE, "..", "..", "tools")
DEFAULT_SIZE = 64 * 1024 * 1024
DEFAULT_REPEAT = 3
SERVER_START_POLLS = 1200
SERVER_POLL_SECONDS = 0.1
PAD_CHUNK = 1 << 20


def padded_package(source, target, size):
    shutil.copyfile(source, target)
    left = size - os.path.getsize(target)
    with open(target, "ab") as f:
        while left > 0:
            n = min(PAD_CHUNK, left)
            f.write(b"\0" * n)
            left -= n
    os.chmod(target, 0o755)


def start_server(work, package):
    port_file = os.path.join(work, "server.port")
    if os.path.exists(port_file):
        os.remove(port_file)
    server = subprocess.Popen(
        [sys.executable, os.path.join(TOOLS, "test_package", "package_server.py"), "--root",
         os.path.join(work, "root"), "--file", "bench-package.exe=" + package, "--port-file", port_file],
        stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, start_new_session=True)
    for _ in range(SERVER_START_POLLS):
        if os.path.exists(port_file) and open(port_file).read().strip():
            return server, int(open(port_file).read())
        if server.poll() is not None:
            sys.exit("install_bench: the package server did not start")
        time.sleep(SERVER_POLL_SECONDS)
    server.kill()
    sys.exit("install_bench: the package server did not report a port")


def timed(commands, env=None):
    start = time.monotonic()
    for command in commands:
        subprocess.run(command, check=True, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, env=env)
    return time.monotonic() - start


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--engine", required=True)
    parser.add_argument("--package", required=True)
    parser.add_argument("--work", required=True)
    parser.add_argument("--size", type=int, default=DEFAULT_SIZE)
    parser.add_argument("--repeat", type=int, default=DEFAULT_REPEAT)
    args = parser.parse_args()
    work = os.path.abspath(os.path.join(args.work, "install_bench"))
    shutil.rmtree(work, ignore_errors=True)
    os.makedirs(work)
    package = os.path.join(work, "bench-package.exe")
    padded_package(args.package, package, args.size)
    server, port = start_server(work, package)
    url = "http://127.0.0.1:%d/software/bench-package.exe" % port
    engine_times, manual_times = [], []
    try:
        for i in range(args.repeat):
            # A fresh registry each time, so that no earlier run is uninstalled first.
            env = dict(os.environ, XDG_CONFIG_HOME=os.path.join(work, "config%d" % i),
                       XDG_DATA_HOME=os.path.join(work, "data%d" % i))
            engine_times.append(timed([[args.engine, "install", "-isenableanalytics=false", "-downloadurl=" + url,
                                        "--dir", os.path.join(work, "engine%d" % i)]], env))
            manual_dir = os.path.join(work, "manual%d" % i)
            os.makedirs(manual_dir)
            downloaded = os.path.join(manual_dir, "__Package_Parlino.exe")
            manual_times.append(timed([
                ["curl", "-sSfL", "-o", downloaded, url],
                ["md5sum", downloaded],
                ["chmod", "+x", downloaded],
                [downloaded, "/S", "-console=show", "-instdir=" + manual_dir],
                ["rm", "-f", downloaded],
            ]))
    finally:
        server.terminate()
        server.wait()
    engine = statistics.median(engine_times)
    manual = statistics.median(manual_times)
    print(json.dumps({
        "benchmark": "install",
        "package_bytes": args.size,
        "repeat": args.repeat,
        "engine_install_wall_s": round(engine, 3),
        "by_hand_wall_s": round(manual, 3),
        "engine_vs_by_hand": round(engine / manual, 3) if manual > 0 else None,
        "engine_runs_s": [round(t, 3) for t in engine_times],
        "by_hand_runs_s": [round(t, 3) for t in manual_times],
    }, indent=2))


if __name__ == "__main__":
    main()
