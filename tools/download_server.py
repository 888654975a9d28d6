#!/usr/bin/env python3
"""Loopback download server for tests and benchmarks: nginx with a generated config.

  download_server.py --root DIR [--sizes N,N,...] [--port-file FILE]

Generates the packages pkg_<size>.exe into DIR/files and serves, on a free loopback
port:
  /software/pkg_<size>.exe  302 -> /d/<md5>/pkg_<size>.exe (the file, HEAD and ranges)
  /wrongmd5/pkg_<size>.exe  302 -> /d/<a digest that does not match>/pkg_<size>.exe
  /plain/pkg_<size>.exe     the file without an MD5 directory
nginx runs in the foreground with every path inside DIR. The port is written to
--port-file, or to $PARLINO_SERVER_DIR/$PARLINO_SERVER_NAME.port for a test fixture.
"""
import argparse
import os
import signal
import socket
import subprocess
import sys
import time

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import test_packages  # noqa: E402

WRONG_MD5 = "0123456789abcdef0123456789abcdef"
START_ATTEMPTS = 5
READY_POLLS = 100
READY_POLL_SECONDS = 0.05


def free_port():
    with socket.socket() as s:
        s.bind(("127.0.0.1", 0))
        return s.getsockname()[1]


def link(src, dst):
    os.makedirs(os.path.dirname(dst), exist_ok=True)
    if os.path.exists(dst):
        os.remove(dst)
    os.link(src, dst)


def prepare_root(root, sizes):
    files = os.path.join(root, "files")
    os.makedirs(files, exist_ok=True)
    redirects = []
    for size in sizes:
        name = test_packages.package_name(size)
        src = os.path.join(files, name)
        md5 = test_packages.write_package(src, size)
        redirects.append(publish(root, src, name, md5))
    return redirects


def publish(root, src, name, md5):
    """Places SRC under its MD5 directory and under the wrong one; returns the
    (name, md5) redirect that write_config takes."""
    link(src, os.path.join(root, "d", md5, name))
    link(src, os.path.join(root, "d", WRONG_MD5, name))
    return (name, md5)


def port_file_path(given):
    """--port-file, or the fixture's $PARLINO_SERVER_DIR/$PARLINO_SERVER_NAME.port."""
    return given or os.path.join(os.environ["PARLINO_SERVER_DIR"], os.environ["PARLINO_SERVER_NAME"] + ".port")


def write_config(root, port, redirects):
    run = os.path.join(root, "nginx")
    os.makedirs(run, exist_ok=True)
    locations = []
    for name, md5 in redirects:
        locations.append("    location = /software/%s { return 302 /d/%s/%s; }" % (name, md5, name))
        locations.append("    location = /wrongmd5/%s { return 302 /d/%s/%s; }" % (name, WRONG_MD5, name))
    user = "user root;\n" if os.geteuid() == 0 else ""
    conf = """%(user)sdaemon off;
worker_processes 1;
pid %(run)s/nginx.pid;
error_log %(run)s/error.log;
events { worker_connections 256; }
http {
  access_log %(run)s/access.log;
  client_body_temp_path %(run)s/client_body;
  proxy_temp_path %(run)s/proxy;
  fastcgi_temp_path %(run)s/fastcgi;
  uwsgi_temp_path %(run)s/uwsgi;
  scgi_temp_path %(run)s/scgi;
  default_type application/octet-stream;
  sendfile on;
  absolute_redirect off;
  server {
    listen 127.0.0.1:%(port)d;
    root %(root)s;
%(locations)s
    location /plain/ { alias %(root)s/files/; }
  }
}
""" % {"user": user, "run": run, "port": port, "root": root, "locations": "\n".join(locations)}
    path = os.path.join(run, "nginx.conf")
    with open(path, "w") as f:
        f.write(conf)
    return path


def listening(port):
    try:
        with socket.create_connection(("127.0.0.1", port), timeout=0.5):
            return True
    except OSError:
        return False


def serve(root, redirects, port_file):
    """Runs nginx for ROOT on a free loopback port until SIGTERM; exits with nginx's
    status. The port goes to PORT_FILE once nginx listens."""
    for _ in range(START_ATTEMPTS):
        port = free_port()
        conf = write_config(root, port, redirects)
        nginx = subprocess.Popen(["nginx", "-p", os.path.dirname(conf), "-c", conf])
        for _ in range(READY_POLLS):
            if nginx.poll() is not None or listening(port):
                break
            time.sleep(READY_POLL_SECONDS)
        if nginx.poll() is None and listening(port):
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


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--root", required=True)
    parser.add_argument("--sizes", default=",".join(str(s) for s in test_packages.TEST_SIZES))
    parser.add_argument("--port-file")
    args = parser.parse_args()
    root = os.path.abspath(args.root)
    redirects = prepare_root(root, [int(s) for s in args.sizes.split(",") if s])
    serve(root, redirects, port_file_path(args.port_file))


if __name__ == "__main__":
    main()
