#!/usr/bin/env python3
"""Fault-injecting HTTP server for the download tests (standard library only).

  fault_server.py [--port-file FILE]

Serves the stand-in packages of test_packages.py under
  /f/<faults>/<any directory>/pkg_<size>.exe
where <faults> is "-" or a comma list of:
  id=X        names the counters and the request log of this test
  drop=N      close the connection after N body bytes
  first=K     drop/trickle/get apply only to the first K GET requests of this id
  pause1=MS   before the first dropped close, wait MS milliseconds
  trickle     after the headers send one byte every few seconds (below 1 byte/s)
  slow=MS     pause MS milliseconds between blocks of 64 KiB (a long, steady transfer)
  head=CODE   answer HEAD with CODE; get=CODE answer GET with CODE
  headlen=N   HEAD claims a Content-Length of N
  badlen=D    claim a length D bytes off (D may be negative) on HEAD and GET; the body
              is the real file for D > 0 and only the claimed bytes for D < 0
  norange     ignore Range
  loop        302 to the same URL, for ever
/log/<id> lists the requests of that id ("GET bytes=0-99" or "HEAD -"), one a line.
"""
import argparse
import functools
import os
import re
import socket
import sys
import threading
import time
from http.server import BaseHTTPRequestHandler, ThreadingHTTPServer

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import test_packages  # noqa: E402

TRICKLE_INTERVAL_SECONDS = 4
TRICKLE_MAX_BYTES = 15  # bounds the trickle to about a minute
SEND_BLOCK = 64 * 1024

_lock = threading.Lock()
_requests = {}   # id -> list of lines
_gets = {}       # id -> GET count


@functools.lru_cache(maxsize=8)
def package(size):
    return test_packages.package_bytes(size)


def parse_faults(text):
    faults = {}
    if text == "-":
        return faults
    for item in text.split(","):
        key, _, value = item.partition("=")
        faults[key] = value
    return faults


class Handler(BaseHTTPRequestHandler):
    protocol_version = "HTTP/1.1"

    def log_message(self, *args):
        pass

    def do_HEAD(self):
        self.serve(head=True)

    def do_GET(self):
        self.serve(head=False)

    def send_plain(self, code, body=b"", headers=()):
        self.send_response(code)
        for k, v in headers:
            self.send_header(k, v)
        self.send_header("Content-Length", str(len(body)))
        self.send_header("Connection", "close")
        self.end_headers()
        if self.command != "HEAD":
            self.wfile.write(body)

    def serve(self, head):
        self.close_connection = True
        m = re.match(r"^/log/([^/]+)$", self.path)
        if m:
            with _lock:
                lines = list(_requests.get(m.group(1), []))
            return self.send_plain(200, "".join(l + "\n" for l in lines).encode())
        m = re.match(r"^/f/([^/]+)/(?:[^/]+/)?pkg_(\d+)\.exe$", self.path)
        if not m:
            return self.send_plain(404)
        faults = parse_faults(m.group(1))
        size = int(m.group(2))
        tag = faults.get("id", "")
        rng = self.headers.get("Range")
        with _lock:
            _requests.setdefault(tag, []).append("%s %s" % (self.command, rng or "-"))
            if not head:
                _gets[tag] = _gets.get(tag, 0) + 1
            count = _gets.get(tag, 0)
        faulted = not head and ("first" not in faults or count <= int(faults["first"]))

        if "loop" in faults:
            return self.send_plain(302, headers=[("Location", self.path)])
        if head and "head" in faults:
            return self.send_plain(int(faults["head"]))
        if faulted and "get" in faults:
            return self.send_plain(int(faults["get"]))

        data = package(size)
        skew = int(faults.get("badlen", "0"))
        if skew < 0:
            data = data[:len(data) + skew]
        claimed = len(data) + max(skew, 0)
        start, end, code = 0, claimed - 1, 200
        if rng and "norange" not in faults:
            r = re.match(r"^bytes=(\d+)-(\d*)$", rng)
            if r:
                start = int(r.group(1))
                end = min(int(r.group(2)), claimed - 1) if r.group(2) else claimed - 1
                if start >= claimed or start > end:
                    return self.send_plain(416, headers=[("Content-Range", "bytes */%d" % claimed)])
                code = 206
        self.send_response(code)
        length = end - start + 1
        if head and "headlen" in faults:
            length = int(faults["headlen"])
        self.send_header("Content-Length", str(length))
        if code == 206:
            self.send_header("Content-Range", "bytes %d-%d/%d" % (start, end, claimed))
        self.send_header("Accept-Ranges", "bytes")
        self.send_header("Connection", "close")
        self.end_headers()
        if head:
            return
        body = data[start:end + 1]
        try:
            if faulted and "trickle" in faults:
                for i in range(min(TRICKLE_MAX_BYTES, len(body))):
                    time.sleep(TRICKLE_INTERVAL_SECONDS)
                    self.wfile.write(body[i:i + 1])
                    self.wfile.flush()
                return
            if faulted and "drop" in faults:
                body = body[:int(faults["drop"])]
            pause = int(faults.get("slow", "0")) / 1000.0
            for i in range(0, len(body), SEND_BLOCK):
                self.wfile.write(body[i:i + SEND_BLOCK])
                if pause:
                    self.wfile.flush()
                    time.sleep(pause)
            self.wfile.flush()
            if faulted and "drop" in faults and "pause1" in faults and count == 1:
                time.sleep(int(faults["pause1"]) / 1000.0)
        except (BrokenPipeError, ConnectionResetError, socket.timeout):
            pass


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--port-file")
    args = parser.parse_args()
    server = ThreadingHTTPServer(("127.0.0.1", 0), Handler)
    server.daemon_threads = True
    port_file = args.port_file or os.path.join(os.environ["PARLINO_SERVER_DIR"],
                                               os.environ["PARLINO_SERVER_NAME"] + ".port")
    with open(port_file + ".tmp", "w") as f:
        f.write("%d\n" % server.server_address[1])
    os.replace(port_file + ".tmp", port_file)
    server.serve_forever()


if __name__ == "__main__":
    main()
