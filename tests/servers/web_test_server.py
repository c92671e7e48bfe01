#!/usr/bin/env python3
"""Local HTTP server for the web client tests, on 127.0.0.1 at a free port.

  web_test_server.py start DIR   starts it in the background; when it is listening, its
                                 port is in DIR/web.port and its process id in DIR/web.pid
  web_test_server.py stop DIR    ends the server started there
  web_test_server.py serve DIR   runs it in the foreground

Paths:
  /echo...            the request as it arrived: the request line, every header line in
                      arrival order with its own spelling, an empty line, then the body
  /redirect?to=PATH   302 to PATH (default /echo/redirected)
  /cookies            two Set-Cookie lines: "a=1; path=/" and "b=2"
  /charset/NAME       a page in a charset, named by a header, a meta tag or nothing
  /gzip               a gzip-compressed body, said so by Content-Encoding
  /status/CODE        an error page with that status
  /long-headers       a 4000-byte header, then a Set-Cookie line "late=1; path=/"
  /garbage            bytes that are no HTTP reply, then the connection closes
  /silent             reads the request and never answers
"""
import gzip
import http.server
import os
import signal
import socketserver
import subprocess
import sys
import threading
import time
import urllib.parse

CHINESE = "盒子配置：中文内容"
PAGES = {
    # name: (content type, body bytes)
    "utf8-header": ("text/plain; charset=UTF-8", CHINESE.encode("utf-8")),
    "utf8-quoted": ('text/plain; charset="utf-8"', CHINESE.encode("utf-8")),
    "utf8-plain": ("text/plain", CHINESE.encode("utf-8")),
    "gbk-plain": ("text/plain", CHINESE.encode("gbk")),
    "meta-big5": ("text/html",
                  ('<html><head><meta http-equiv="Content-Type" content="text/html; charset=Big5">'
                   '</head><body>中文</body></html>').encode("big5")),
    "meta-utf8": ("text/html",
                  ('<html><head><meta charset="UTF-8"></head><body>' + CHINESE + '</body></html>').encode("utf-8")),
}
GZIP_TEXT = "gzip body: 压缩的内容".encode("utf-8")
stopping = threading.Event()


class Handler(http.server.BaseHTTPRequestHandler):
    protocol_version = "HTTP/1.1"

    def log_message(self, *args):
        pass

    def reply(self, status, body, headers=()):
        self.send_response(status)
        for name, value in headers:
            self.send_header(name, value)
        self.send_header("Content-Length", str(len(body)))
        self.end_headers()
        if self.command != "HEAD":
            self.wfile.write(body)

    def read_body(self):
        length = int(self.headers.get("Content-Length") or 0)
        return self.rfile.read(length) if length > 0 else b""

    def echo(self, body):
        lines = [self.requestline] + ["%s: %s" % (n, v) for n, v in self.headers.items()]
        text = ("\r\n".join(lines) + "\r\n\r\n").encode("latin-1", "replace") + body
        self.reply(200, text, [("Content-Type", "text/plain")])

    def handle_any(self):
        body = self.read_body()
        url = urllib.parse.urlsplit(self.path)
        query = urllib.parse.parse_qs(url.query)
        path = url.path
        if path.startswith("/echo"):
            self.echo(body)
        elif path == "/redirect":
            target = query.get("to", ["/echo/redirected"])[0]
            self.reply(302, b"moved", [("Location", target)])
        elif path == "/cookies":
            self.reply(200, b"cookies", [("Set-Cookie", "a=1; path=/"), ("Set-Cookie", "b=2")])
        elif path.startswith("/charset/") and path[9:] in PAGES:
            content_type, page = PAGES[path[9:]]
            self.reply(200, page, [("Content-Type", content_type)])
        elif path == "/gzip":
            self.reply(200, gzip.compress(GZIP_TEXT), [("Content-Type", "text/plain"), ("Content-Encoding", "gzip")])
        elif path.startswith("/status/"):
            code = int(path[8:] or 500)
            self.reply(code, ("error page %d" % code).encode(), [("Content-Type", "text/html")])
        elif path == "/long-headers":
            self.reply(200, b"long", [("X-Filler", "f" * 4000), ("Set-Cookie", "late=1; path=/")])
        elif path == "/garbage":
            self.wfile.write(b"not http at all\r\n\r\nbody")
            self.close_connection = True
        elif path == "/silent":
            stopping.wait()
            self.close_connection = True
        else:
            self.reply(404, b"no such path", [("Content-Type", "text/plain")])

    do_GET = do_POST = do_HEAD = do_PUT = do_DELETE = handle_any


class Server(socketserver.ThreadingMixIn, http.server.HTTPServer):
    daemon_threads = True
    allow_reuse_address = True


def serve(directory):
    server = Server(("127.0.0.1", 0), Handler)
    signal.signal(signal.SIGTERM, lambda *a: (stopping.set(), threading.Thread(target=server.shutdown).start()))
    port_file = os.path.join(directory, "web.port")
    with open(port_file + ".tmp", "w") as f:
        f.write(str(server.server_address[1]))
    os.replace(port_file + ".tmp", port_file)
    server.serve_forever(poll_interval=0.2)


def stop(directory):
    pid_file = os.path.join(directory, "web.pid")
    try:
        with open(pid_file) as f:
            os.kill(int(f.read().strip()), signal.SIGTERM)
    except (OSError, ValueError):
        pass
    for name in ("web.pid", "web.port"):
        try:
            os.remove(os.path.join(directory, name))
        except OSError:
            pass


def start(directory):
    os.makedirs(directory, exist_ok=True)
    stop(directory)
    process = subprocess.Popen([sys.executable, os.path.abspath(__file__), "serve", directory],
                               stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL,
                               start_new_session=True)
    with open(os.path.join(directory, "web.pid"), "w") as f:
        f.write(str(process.pid))
    deadline = time.time() + 20
    while time.time() < deadline:
        if os.path.exists(os.path.join(directory, "web.port")):
            return 0
        if process.poll() is not None:
            break
        time.sleep(0.05)
    print("web test server did not start", file=sys.stderr)
    return 1


if __name__ == "__main__":
    if len(sys.argv) != 3 or sys.argv[1] not in ("start", "stop", "serve"):
        print(__doc__, file=sys.stderr)
        sys.exit(2)
    action, where = sys.argv[1], sys.argv[2]
    if action == "start":
        sys.exit(start(where))
    if action == "stop":
        stop(where)
    else:
        serve(where)
