#!/usr/bin/env python3
"""Local analytics receiver for tests, benchmarks and the demo (standard library only).

Accepts POST bodies of exactly "data_list=<percent-encoded Base64 of gzip data>&gzip=1",
decodes them, checks that the data is a JSON array of analytics records, and appends
each record as one line to <dir>/<channel>.jsonl. Every request, accepted or not, is
also logged as one line {"status", "count", "path"} in <dir>/<channel>.requests.jsonl.

Paths (one running instance serves every test):
  /sa                          channel "default", answers --status (200)
  /c/<channel>/sa              channel <channel>, answers 200
  /status/<code>/<channel>/sa  answers <code>; records are not stored
  /hang/<seconds>/<channel>/sa waits, then answers 200 without storing (timeouts)
  /delay/<ms>/<code>/<channel>/sa  waits, then answers <code>; stores only on 200
A malformed body gets 400.

usage: analytics_receiver.py [--port N] [--dir DIR] [--status CODE] [--hang SECONDS] [--clean]
Port 0 picks a free port; the port is printed and, under the test fixtures, written to
$PARLINO_SERVER_DIR/$PARLINO_SERVER_NAME.port.
"""
import argparse
import base64
import gzip
import json
import os
import re
import sys
import threading
import time
import urllib.parse
from http.server import BaseHTTPRequestHandler, ThreadingHTTPServer

RECORD_KEYS_REQUIRED = {"type", "time", "properties", "lib", "_track_id"}
RECORD_KEYS_ALLOWED = RECORD_KEYS_REQUIRED | {"distinct_id", "project", "event", "original_id"}
RECORD_TYPES = {"track", "track_signup", "profile_set", "profile_set_once", "profile_increment", "profile_append"}
CHANNEL_RE = re.compile(r"^[A-Za-z0-9_.-]{1,100}$")
MAX_HANG_SECONDS = 30
MAX_BODY_BYTES = 64 * 1024 * 1024

write_lock = threading.Lock()


class BadRequest(Exception):
    pass


def decode_body(body: bytes):
    prefix, suffix = b"data_list=", b"&gzip=1"
    if not body.startswith(prefix) or not body.endswith(suffix) or len(body) < len(prefix) + len(suffix):
        raise BadRequest("body is not data_list=...&gzip=1")
    encoded = body[len(prefix):len(body) - len(suffix)]
    if re.search(rb"[^A-Za-z0-9%\-._~]", encoded):
        raise BadRequest("data_list is not percent-encoded")
    b64 = urllib.parse.unquote_to_bytes(encoded)
    if not re.fullmatch(rb"[A-Za-z0-9+/]*={0,2}", b64) or len(b64) % 4:
        raise BadRequest("data_list is not Base64")
    data = gzip.decompress(base64.b64decode(b64, validate=True))
    records = json.loads(data.decode("utf-8"))
    if not isinstance(records, list) or not records:
        raise BadRequest("data is not a non-empty JSON array")
    for record in records:
        if not isinstance(record, dict):
            raise BadRequest("record is not an object")
        keys = set(record)
        if not RECORD_KEYS_REQUIRED <= keys or not keys <= RECORD_KEYS_ALLOWED:
            raise BadRequest("record keys %s" % sorted(keys))
        if record["type"] not in RECORD_TYPES or not isinstance(record["time"], int):
            raise BadRequest("record type or time")
        if not isinstance(record["properties"], dict) or not isinstance(record["lib"], dict):
            raise BadRequest("record properties or lib")
        if record["type"] in ("track", "track_signup") and "event" not in record:
            raise BadRequest("event record without event")
    return records


class Handler(BaseHTTPRequestHandler):
    protocol_version = "HTTP/1.1"

    def log_message(self, fmt, *args):
        sys.stderr.write("receiver: " + (fmt % args) + "\n")

    def route(self):
        path = urllib.parse.urlsplit(self.path).path
        parts = [p for p in path.split("/") if p]
        opts = self.server.options
        if parts == ["sa"]:
            return "default", opts.status, opts.hang
        if len(parts) == 3 and parts[0] == "c" and parts[2] == "sa":
            return parts[1], 200, 0
        if len(parts) == 4 and parts[0] == "status" and parts[3] == "sa":
            return parts[2], int(parts[1]), 0
        if len(parts) == 4 and parts[0] == "hang" and parts[3] == "sa":
            return parts[2], 200, min(float(parts[1]), MAX_HANG_SECONDS)
        if len(parts) == 5 and parts[0] == "delay" and parts[4] == "sa":
            return parts[3], int(parts[2]), min(float(parts[1]) / 1000.0, MAX_HANG_SECONDS)
        return None

    def answer(self, code, text=b""):
        self.send_response(code)
        self.send_header("Content-Length", str(len(text)))
        self.end_headers()
        if text:
            self.wfile.write(text)

    def do_POST(self):
        try:
            route = self.route()
        except ValueError:
            route = None
        length = int(self.headers.get("Content-Length") or 0)
        body = self.rfile.read(min(length, MAX_BODY_BYTES)) if length > 0 else b""
        if route is None or not CHANNEL_RE.match(route[0]):
            self.answer(404, b"unknown path")
            return
        channel, status, wait = route
        count, error = 0, None
        try:
            records = decode_body(body)
            count = len(records)
        except Exception as exc:  # any decoding failure is the client's fault
            records, status, error = None, 400, str(exc)
        if wait:
            time.sleep(wait)
        directory = self.server.options.dir
        with write_lock:
            if status == 200 and records is not None and not (wait and self.path.startswith("/hang/")):
                with open(os.path.join(directory, channel + ".jsonl"), "a", encoding="utf-8") as out:
                    for record in records:
                        out.write(json.dumps(record, ensure_ascii=False, separators=(",", ":")) + "\n")
            with open(os.path.join(directory, channel + ".requests.jsonl"), "a", encoding="utf-8") as log:
                log.write(json.dumps({"status": status, "count": count, "path": self.path,
                                      "error": error, "bytes": len(body)}) + "\n")
        try:
            self.answer(status, (error or "ok").encode("utf-8"))
        except (BrokenPipeError, ConnectionResetError):
            pass  # the client gave up (timeout tests)

    def do_GET(self):
        self.answer(200 if self.path == "/health" else 404)


def main():
    parser = argparse.ArgumentParser(description="local analytics receiver")
    parser.add_argument("--port", type=int, default=0)
    parser.add_argument("--dir", default=".")
    parser.add_argument("--status", type=int, default=200, help="status answered on /sa")
    parser.add_argument("--hang", type=float, default=0, help="seconds to wait before answering on /sa")
    parser.add_argument("--clean", action="store_true", help="remove earlier .jsonl files from --dir")
    options = parser.parse_args()
    os.makedirs(options.dir, exist_ok=True)
    if options.clean:
        for name in os.listdir(options.dir):
            if name.endswith(".jsonl"):
                os.remove(os.path.join(options.dir, name))
    server = ThreadingHTTPServer(("127.0.0.1", options.port), Handler)
    server.daemon_threads = True
    server.options = options
    port = server.server_address[1]
    print(port, flush=True)
    server_dir, server_name = os.environ.get("PARLINO_SERVER_DIR"), os.environ.get("PARLINO_SERVER_NAME")
    if server_dir and server_name:
        tmp = os.path.join(server_dir, server_name + ".port.tmp")
        with open(tmp, "w") as f:
            f.write(str(port))
        os.replace(tmp, os.path.join(server_dir, server_name + ".port"))
    try:
        server.serve_forever()
    except KeyboardInterrupt:
        pass


if __name__ == "__main__":
    main()
