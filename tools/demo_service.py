#!/usr/bin/env python3
"""The demo live-broadcast service the client talks to out of the box.

    python3 tools/demo_service.py                 # http://127.0.0.1:18650/
    python3 tools/demo_service.py --port 0        # any free port
    python3 tools/demo_service.py --https         # TLS with a certificate made at start
    python3 tools/demo_service.py --rtmp-stat http://127.0.0.1:18651/stat
                                                  # watch pages read the RTMP server's figures

The first line on standard output is the port it listens on. It serves 127.0.0.1 only and
stops on Ctrl-C, on SIGTERM, when its parent process goes away, and, when its standard
input is a pipe, when that pipe is closed.
"""
import argparse
import ctypes
import json
import os
import shutil
import signal
import ssl
import stat
import subprocess
import sys
import tempfile
import threading
import time
from http.server import ThreadingHTTPServer

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))

from demo import store as data  # noqa: E402
from demo.handler import DemoHandler  # noqa: E402
from demo.sessions import DEFAULT_NAMES, Sessions, load_secret  # noqa: E402
from demo.stream import StreamWatch  # noqa: E402

DEFAULT_PORT = 18650
DEFAULT_RTMP_PORT = 1935
HERE = os.path.dirname(os.path.abspath(__file__))
PR_SET_PDEATHSIG = 1

_cleanup_dirs = []


class DemoServer(ThreadingHTTPServer):
    daemon_threads = True
    allow_reuse_address = True


def parse_args(argv):
    p = argparse.ArgumentParser(description="Demo live-broadcast service for the client.")
    p.add_argument("--port", type=int, default=DEFAULT_PORT, help="0 picks a free port")
    p.add_argument("--rtmp-port", type=int, default=DEFAULT_RTMP_PORT,
                   help="port of the RTMP server the tasks' push addresses name")
    p.add_argument("--rtmp-stat", default=None, metavar="URL",
                   help="statistics page of that RTMP server (nginx rtmp_stat), for the "
                        "watch pages")
    p.add_argument("--https", action="store_true", help="serve TLS with a fresh certificate")
    p.add_argument("--config", default=os.path.join(HERE, "..", "data", "config.json"),
                   help="client configuration whose cookie_name lists the sign-in cookies")
    p.add_argument("--state-dir", default=None,
                   help="where the session signing key is kept (default: user state folder)")
    p.add_argument("--verbose", action="store_true", help="log every request on stderr")
    p.add_argument("--auto-sign-in", action="store_true",
                   help="the sign-in page submits the demo account by itself (benchmarks)")
    return p.parse_args(argv)


def cookie_names(config_path):
    try:
        with open(config_path, encoding="utf-8") as f:
            names = json.load(f).get("cookie_name")
        if isinstance(names, list) and all(isinstance(n, str) and n for n in names):
            return names
    except (OSError, ValueError):
        pass
    return DEFAULT_NAMES


def default_state_dir():
    root = os.environ.get("XDG_STATE_HOME") or os.path.join(os.path.expanduser("~"), ".local",
                                                             "state")
    return os.path.join(root, "orblive-demo")


def make_certificate():
    """A self-signed certificate for 127.0.0.1, valid for two days, in a private folder."""
    folder = tempfile.mkdtemp(prefix="orblive-demo-tls-")
    _cleanup_dirs.append(folder)
    cert, key = os.path.join(folder, "cert.pem"), os.path.join(folder, "key.pem")
    subprocess.run(["openssl", "req", "-x509", "-newkey", "rsa:2048", "-nodes", "-days", "2",
                    "-subj", "/CN=127.0.0.1", "-addext", "subjectAltName=IP:127.0.0.1",
                    "-keyout", key, "-out", cert],
                   check=True, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    return cert, key


def enable_tls(server):
    cert, key = make_certificate()
    context = ssl.SSLContext(ssl.PROTOCOL_TLS_SERVER)
    context.load_cert_chain(cert, key)
    # The handshake runs on the request's own thread, so a stalled client blocks no one.
    server.socket = context.wrap_socket(server.socket, server_side=True,
                                        do_handshake_on_connect=False)
    return cert


def stop(*_):
    for folder in _cleanup_dirs:
        shutil.rmtree(folder, ignore_errors=True)
    os._exit(0)


def watch_parent():
    """Ends the service with its parent: a kernel signal where available, and a poll."""
    try:
        ctypes.CDLL(None, use_errno=True).prctl(PR_SET_PDEATHSIG, signal.SIGTERM)
    except (OSError, AttributeError):
        pass
    parent = os.getppid()

    def poll():
        while os.getppid() == parent:
            time.sleep(0.5)
        stop()

    threading.Thread(target=poll, daemon=True).start()


def watch_stdin():
    """A caller that holds our standard input as a pipe ends us by closing it."""
    try:
        mode = os.fstat(sys.stdin.fileno()).st_mode
    except (OSError, ValueError):
        return
    if not (stat.S_ISFIFO(mode) or stat.S_ISSOCK(mode)):
        return

    def read():
        while os.read(sys.stdin.fileno(), 4096):
            pass
        stop()

    threading.Thread(target=read, daemon=True).start()


def main(argv):
    args = parse_args(argv)
    signal.signal(signal.SIGTERM, stop)
    signal.signal(signal.SIGINT, stop)
    watch_parent()
    watch_stdin()

    server = DemoServer(("127.0.0.1", args.port), DemoHandler)
    port = server.server_address[1]
    cert = enable_tls(server) if args.https else None
    scheme = "https" if args.https else "http"
    server.base_url = "%s://127.0.0.1:%d/" % (scheme, port)
    server.https = args.https
    server.verbose = args.verbose
    server.auto_sign_in = args.auto_sign_in
    server.store = data.Store(args.rtmp_port)
    server.stream_watch = StreamWatch(args.rtmp_stat, args.rtmp_port)
    state_dir = args.state_dir or default_state_dir()
    server.sessions = Sessions(load_secret(state_dir), cookie_names(args.config))

    print(port, flush=True)
    print("demo service on %s  account %s  password %s%s" % (
        server.base_url, data.ACCOUNT, data.PASSWORD,
        "  certificate %s" % cert if cert else ""), flush=True)
    server.serve_forever()


if __name__ == "__main__":
    main(sys.argv[1:])
