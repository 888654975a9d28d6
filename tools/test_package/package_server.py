#!/usr/bin/env python3
"""Serves given files as installation packages from a loopback nginx, the way the
download server serves its generated packages (tools/download_server.py):

  package_server.py --root DIR --file NAME=PATH [--file NAME=PATH ...] [--port-file FILE]

  /software/NAME  302 -> /d/<md5 of the file>/NAME
  /wrongmd5/NAME  302 -> /d/<a digest that does not match>/NAME
  /plain/NAME     the file without an MD5 directory

The files are copied into DIR when the server starts, so a rebuild does not change
what a running server serves, and padded with zero bytes to at least 1 MiB + 1 KiB:
the downloaders refuse packages below 1 MiB. Executables run the same with the padding. The port goes to --port-file, or to
$PARLINO_SERVER_DIR/$PARLINO_SERVER_NAME.port for a test fixture.
"""
import argparse
import hashlib
import os
import shutil
import signal
import subprocess
import sys
import time

sys.path.insert(0, os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
import download_server  # noqa: E402

READ_CHUNK = 1 << 20
MIN_PACKAGE_BYTES = (1 << 20) + 1024


def md5_of(path):
    digest = hashlib.md5()
    with open(path, "rb") as f:
        for chunk in iter(lambda: f.read(READ_CHUNK), b""):
            digest.update(chunk)
    return digest.hexdigest()


def prepare_root(root, files):
    served = os.path.join(root, "files")
    os.makedirs(served, exist_ok=True)
    redirects = []
    for name, path in files:
        target = os.path.join(served, name)
        shutil.copyfile(path, target)
        size = os.path.getsize(target)
        if size < MIN_PACKAGE_BYTES:
            with open(target, "ab") as f:
                f.write(b"\0" * (MIN_PACKAGE_BYTES - size))
        md5 = md5_of(target)
        download_server.link(target, os.path.join(root, "d", md5, name))
        download_server.link(target, os.path.join(root, "d", download_server.WRONG_MD5, name))
        redirects.append((name, md5))
    return redirects


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--root", required=True)
    parser.add_argument("--file", action="append", default=[], metavar="NAME=PATH")
    parser.add_argument("--port-file")
    args = parser.parse_args()
    files = []
    for item in args.file:
        name, sep, path = item.partition("=")
        if not sep or not name or not os.path.isfile(path):
            sys.exit("package_server: bad --file %r" % item)
        files.append((name, path))
    root = os.path.abspath(args.root)
    redirects = prepare_root(root, files)
    port_file = args.port_file or os.path.join(os.environ["PARLINO_SERVER_DIR"],
                                               os.environ["PARLINO_SERVER_NAME"] + ".port")
    for _ in range(download_server.START_ATTEMPTS):
        port = download_server.free_port()
        conf = download_server.write_config(root, port, redirects)
        nginx = subprocess.Popen(["nginx", "-p", os.path.dirname(conf), "-c", conf])
        for _ in range(download_server.READY_POLLS):
            if nginx.poll() is not None or download_server.listening(port):
                break
            time.sleep(download_server.READY_POLL_SECONDS)
        if nginx.poll() is None and download_server.listening(port):
            break
        nginx.kill()
        nginx.wait()
    else:
        sys.exit("nginx did not start")

    def stop(*_):
        nginx.terminate()
    signal.signal(signal.SIGTERM, stop)
    signal.signal(signal.SIGINT, stop)
    with open(port_file + ".tmp", "w") as f:
        f.write("%d\n" % port)
    os.replace(port_file + ".tmp", port_file)
    sys.exit(nginx.wait())


if __name__ == "__main__":
    main()
