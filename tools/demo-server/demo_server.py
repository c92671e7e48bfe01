#!/usr/bin/env python3
"""The demo configuration and download server of the box, on 127.0.0.1.

    demo_server.py [--port N] [--packages FOLDER] [--port-file FILE]
    demo_server.py start DIR [--packages FOLDER]   in the background at a free port: the
                                                   port in DIR/demo.port, the process in DIR/demo.pid
    demo_server.py stop DIR

GET /box.txt        the demo box configuration (catalogue.ini beside this script) in GBK
                    with CRLF line ends, its comment lines left out and {server} replaced
                    by this server's host:port
GET /packages/NAME  a file of the packages folder, with its Content-Length
GET /pages/NAME     a small page standing in for a homepage or a tutorial
Anything else is a 404. Port 0 picks a free port; --port-file receives the port taken."""
import argparse
import http.server
import os
import signal
import subprocess
import sys
import time
import urllib.parse

HERE = os.path.dirname(os.path.abspath(__file__))


def box_configuration(server):
    with open(os.path.join(HERE, "catalogue.ini"), encoding="utf-8") as source:
        lines = [line.rstrip("\n") for line in source if not line.startswith(";")]
    return "\r\n".join(lines).replace("{server}", server).encode("gbk")


class DemoHandler(http.server.BaseHTTPRequestHandler):
    server_version = "QovraDemo/1.0"
    packages = ""

    def reply(self, status, body, content_type):
        self.send_response(status)
        self.send_header("Content-Type", content_type)
        self.send_header("Content-Length", str(len(body)))
        self.end_headers()
        if self.command != "HEAD":
            self.wfile.write(body)

    def do_GET(self):
        path = urllib.parse.unquote(urllib.parse.urlsplit(self.path).path)
        host = "%s:%d" % self.server.server_address[:2]
        if path == "/box.txt":
            return self.reply(200, box_configuration(host), "text/plain; charset=gbk")
        if path.startswith("/packages/"):
            name = path[len("/packages/"):]
            # One plain file name: nothing outside the packages folder is served.
            if name and os.path.basename(name) == name and name not in (".", ".."):
                file = os.path.join(self.packages, name)
                if os.path.isfile(file):
                    with open(file, "rb") as data:
                        return self.reply(200, data.read(), "application/octet-stream")
        if path.startswith("/pages/"):
            page = "<html><head><meta charset=\"utf-8\"><title>Qovra</title></head>" \
                   "<body><h1>Qovra 演示页面</h1><p>%s</p></body></html>" % path[len("/pages/"):]
            return self.reply(200, page.encode("utf-8"), "text/html; charset=utf-8")
        self.reply(404, b"<html><body>404 Not Found</body></html>", "text/html")

    do_HEAD = do_GET

    def log_message(self, format, *args):
        pass


def serve(port, packages, port_file):
    DemoHandler.packages = os.path.abspath(packages)
    try:
        server = http.server.ThreadingHTTPServer(("127.0.0.1", port), DemoHandler)
    except OSError as error:
        sys.exit("demo server: port %d: %s" % (port, error))
    if port_file:
        with open(port_file + ".new", "w") as out:
            out.write(str(server.server_address[1]))
        os.replace(port_file + ".new", port_file)
    server.serve_forever()


def start(folder, packages):
    """Starts a detached server and waits until it has written its port."""
    os.makedirs(folder, exist_ok=True)
    stop(folder)
    port_file = os.path.join(folder, "demo.port")
    process = subprocess.Popen([sys.executable, os.path.abspath(__file__), "--port", "0",
                                "--packages", packages, "--port-file", port_file],
                               stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL,
                               stderr=subprocess.DEVNULL, start_new_session=True)
    with open(os.path.join(folder, "demo.pid"), "w") as out:
        out.write(str(process.pid))
    for _ in range(100):
        if os.path.exists(port_file):
            return
        if process.poll() is not None:
            sys.exit("demo server: ended at start")
        time.sleep(0.05)
    sys.exit("demo server: no port after 5 s")


def stop(folder):
    pid_file = os.path.join(folder, "demo.pid")
    try:
        with open(pid_file) as source:
            os.kill(int(source.read()), signal.SIGTERM)
    except (OSError, ValueError):
        pass
    for name in ("demo.pid", "demo.port"):
        try:
            os.remove(os.path.join(folder, name))
        except OSError:
            pass


def main():
    if len(sys.argv) >= 3 and sys.argv[1] in ("start", "stop"):
        parser = argparse.ArgumentParser()
        parser.add_argument("mode")
        parser.add_argument("folder")
        parser.add_argument("--packages", default=os.path.join(HERE, "packages"))
        args = parser.parse_args()
        return start(args.folder, args.packages) if args.mode == "start" else stop(args.folder)
    parser = argparse.ArgumentParser()
    parser.add_argument("--port", type=int, default=8731)
    parser.add_argument("--packages", default=os.path.join(HERE, "packages"))
    parser.add_argument("--port-file")
    args = parser.parse_args()
    serve(args.port, args.packages, args.port_file)


if __name__ == "__main__":
    main()
