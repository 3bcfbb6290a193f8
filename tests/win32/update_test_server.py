"""Runs a Win32 test against a scripted HTTP server on loopback:
    update_test_server.py EMULATOR TEST_EXE [ARGS...]
The server's port reaches the test as TARNWICK_TEST_HTTP_PORT, and a closed
port as TARNWICK_TEST_CLOSED_PORT. Each path plays one reply the real
vendor server never gives; /count/NAME tells how often NAME was asked."""

import collections
import http.server
import os
import socket
import subprocess
import sys
import threading
import time

asked = collections.Counter()


class Handler(http.server.BaseHTTPRequestHandler):
    protocol_version = "HTTP/1.1"

    def log_message(self, *args):
        pass

    def reply(self, body, status=200, length=True, headers=()):
        self.send_response(status)
        for name, value in headers:
            self.send_header(name, value)
        if length is True:
            self.send_header("Content-Length", str(len(body)))
        elif length is not None:
            self.send_header("Content-Length", str(length))
        else:
            self.send_header("Connection", "close")
            self.close_connection = True
        self.end_headers()
        self.wfile.write(body)
        self.wfile.flush()

    def do_POST(self):
        self.do_GET()

    def do_GET(self):
        path = self.path.split("?")[0]
        name = path.strip("/").lower()
        if name.startswith("count/"):
            return self.reply(str(asked[name[6:]]).encode())
        if name.startswith("grow/"):
            name = "grow"  # one name however long the address has grown
        asked[name] += 1
        body = bytes((i * 7) % 251 for i in range(40000))
        if name == "big":
            self.reply(body)
        elif name == "nul":
            self.reply(b"before\0after")
        elif name == "auth":
            self.reply(b"no", status=401, headers=[("WWW-Authenticate", 'Basic realm="test"')])
        elif name == "slow":
            self.reply(b"", length=1000)
            try:
                for _ in range(100):  # a byte every tenth of a second
                    time.sleep(0.1)
                    self.wfile.write(b"x")
                    self.wfile.flush()
            except OSError:
                pass  # the client went away, as the test means it to
        elif name == "file3000":
            self.reply(body[:3000])
        elif name == "nolength":
            self.reply(body[:3000], length=None)
        elif name == "drop":
            self.reply(body[:1500], length=3000)
            self.close_connection = True
        elif name == "huge":
            self.reply(body[:100], length=1 << 40)
            self.close_connection = True
        elif name == "loop":
            self.redirect(path)
        elif name == "slowloop":
            time.sleep(0.3)
            self.redirect(path)
        elif name == "grow":
            self.redirect(path + "/" + "x" * 50)
        elif name.startswith("hop"):  # hop3 leads through hop2 and hop1 to the file
            left = int(name[3:])
            self.redirect("/file3000" if left == 1 else "hop%d" % (left - 1), status=307)
        elif name == "toftp":
            self.redirect("ftp://127.0.0.1/setup.exe")
        elif name in ("endless", "past"):
            self.send_response(200)
            self.send_header("Content-Length", str(10 << 30 if name == "endless" else 1000))
            self.end_headers()
            self.stream(None if name == "endless" else 100)
        elif name == "slowfile":
            self.send_response(200)
            self.send_header("Content-Length", "100000")
            self.end_headers()
            self.stream(100, pause=0.2)
        else:
            self.reply(b"unknown", status=404)

    def redirect(self, location, status=302):
        self.reply(b"moved", status=status, headers=[("Location", location)])

    def stream(self, blocks, pause=0.0):
        """Writes blocks of 1 KiB, `blocks` of them or without end, until the
        client goes away."""
        self.close_connection = True
        try:
            sent = 0
            while blocks is None or sent < blocks:
                self.wfile.write(b"y" * 1024)
                sent += 1
                if pause:
                    self.wfile.flush()
                    time.sleep(pause)
        except OSError:
            pass


def main():
    server = http.server.ThreadingHTTPServer(("127.0.0.1", 0), Handler)
    server.daemon_threads = True
    threading.Thread(target=server.serve_forever, daemon=True).start()
    closed = socket.socket()
    closed.bind(("127.0.0.1", 0))
    closed_port = closed.getsockname()[1]
    closed.close()
    env = dict(os.environ, TARNWICK_TEST_HTTP_PORT=str(server.server_address[1]),
               TARNWICK_TEST_CLOSED_PORT=str(closed_port))
    code = subprocess.call(sys.argv[1:], env=env)
    server.shutdown()
    sys.exit(code)


if __name__ == "__main__":
    main()
