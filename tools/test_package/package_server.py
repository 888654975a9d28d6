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
import os
import shutil
import sys

sys.path.insert(0, os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
import download_server  # noqa: E402
import test_packages  # noqa: E402

MIN_PACKAGE_BYTES = (1 << 20) + 1024


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
        redirects.append(download_server.publish(root, target, name, test_packages.file_md5(target)))
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
    download_server.serve(root, redirects, download_server.port_file_path(args.port_file))


if __name__ == "__main__":
    main()
