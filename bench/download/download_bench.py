#!/usr/bin/env python3
"""Download benchmark: one package from loopback nginx, every downloader and two
reference tools in the same run; wall time, CPU time and peak RSS as JSON.

  download_bench.py --engine PATH --work DIR [--size BYTES] [--repeat N]
"""
import argparse
import json
import os
import shutil
import signal
import subprocess
import sys
import time

HERE = os.path.dirname(os.path.abspath(__file__))
TOOLS = os.path.join(HERE, "..", "..", "tools")
DEFAULT_SIZE = 256 * 1024 * 1024
SERVER_START_SECONDS = 120
TARGET_SINGLE_VS_CURL = 1.15
TARGET_PEAK_RSS_MIB = 32
RSS_POLL_SECONDS = 0.01


def high_water_kib(pid):
    """VmHWM of a running process. (ru_maxrss would include this Python's own size,
    which a forked child carries until it executes the program.)"""
    try:
        with open("/proc/%d/status" % pid) as f:
            for line in f:
                if line.startswith("VmHWM:"):
                    return int(line.split()[1])
    except OSError:
        pass
    return 0


def run_measured(commands):
    """Runs the commands one after another; wall time, summed CPU, largest peak RSS."""
    start = time.monotonic()
    cpu = 0.0
    peak_kib = 0
    for command in commands:
        proc = subprocess.Popen(command, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        while True:
            pid, status, usage = os.wait4(proc.pid, os.WNOHANG)
            if pid:
                break
            peak_kib = max(peak_kib, high_water_kib(proc.pid))
            time.sleep(RSS_POLL_SECONDS)
        proc.returncode = os.waitstatus_to_exitcode(status)
        if proc.returncode != 0:
            raise RuntimeError("%s exited with %d" % (command[0], proc.returncode))
        cpu += usage.ru_utime + usage.ru_stime
    return {"wall_s": round(time.monotonic() - start, 3), "cpu_s": round(cpu, 3),
            "peak_rss_mib": round(peak_kib / 1024.0, 1)}


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--engine", required=True)
    parser.add_argument("--work", required=True)
    parser.add_argument("--size", type=int, default=DEFAULT_SIZE)
    parser.add_argument("--repeat", type=int, default=1)
    args = parser.parse_args()

    root = os.path.join(args.work, "download_root")
    out = os.path.join(args.work, "out")
    os.makedirs(out, exist_ok=True)
    port_file = os.path.join(args.work, "nginx.port")
    if os.path.exists(port_file):
        os.remove(port_file)
    server = subprocess.Popen([sys.executable, os.path.join(TOOLS, "download_server.py"), "--root", root,
                               "--sizes", str(args.size), "--port-file", port_file], start_new_session=True)
    try:
        deadline = time.monotonic() + SERVER_START_SECONDS
        while not os.path.exists(port_file):
            if server.poll() is not None or time.monotonic() > deadline:
                sys.exit("download server did not start")
            time.sleep(0.1)
        with open(port_file) as f:
            port = int(f.read())
        name = "pkg_%d.exe" % args.size
        url = "http://127.0.0.1:%d/software/%s" % (port, name)
        target = os.path.join(out, name)

        cases = {
            "single_connection_type1": [[args.engine, "download", "--type", "1", url, target]],
            "multi_part_type3": [[args.engine, "download", "--type", "3", url, target]],
            "system_service_type2": [[args.engine, "download", "--type", "2", url, target]],
            "curl_and_md5sum": [["curl", "-sSfL", "-o", target, url], ["md5sum", target]],
            "aria2c_x2_s2": [["aria2c", "-q", "-x2", "-s2", "--allow-overwrite=true", "--auto-file-renaming=false",
                              "-d", out, "-o", name, url]],
        }
        results = {}
        for _ in range(args.repeat):
            for case, commands in cases.items():
                if os.path.exists(target):
                    os.remove(target)
                measured = run_measured(commands)
                best = results.get(case)
                if best is None or measured["wall_s"] < best["wall_s"]:
                    results[case] = measured
        single = results["single_connection_type1"]["wall_s"]
        reference = results["curl_and_md5sum"]["wall_s"]
        report = {
            "package_bytes": args.size,
            "repeat": args.repeat,
            "results": results,
            "single_vs_curl_md5sum": round(single / reference, 3) if reference else None,
            "targets": {
                "single_vs_curl_md5sum_max": TARGET_SINGLE_VS_CURL,
                "peak_rss_mib_max": TARGET_PEAK_RSS_MIB,
                "single_within_target": reference > 0 and single / reference <= TARGET_SINGLE_VS_CURL,
                "rss_within_target": all(results[c]["peak_rss_mib"] < TARGET_PEAK_RSS_MIB
                                         for c in results if c.endswith(("type1", "type2", "type3"))),
            },
        }
        print(json.dumps(report, indent=2))
        if os.path.exists(target):
            os.remove(target)
    finally:
        os.killpg(server.pid, signal.SIGTERM)
        server.wait()


if __name__ == "__main__":
    main()
