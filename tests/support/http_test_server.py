#!/ usr / bin / env python3
"""A small HTTP file server on 127.0.0.1 for the update tests.

Serves the files of --root. Prints "port N" once it listens, then one line "GET <path>" for every request
as it arrives (before answering). A path under /cut/ serves the file of the rest of the path with its
full Content-Length, sends only the first half of it and closes the connection. A path under /endless/
answers with bytes that never end and no Content-Length, until the client hangs up (or 256 MiB have gone);
one under /announce/ announces 2 GiB, sends 1 KiB and waits up to 30 s for the client to hang up.
"""
import argparse
import http.server
import os
import socket
import sys
import threading

ENDLESS_LIMIT = 256 * 1024 * 1024


class Handler(http.server.BaseHTTPRequestHandler):
    root = "."
    protocol_version = "HTTP/1.1"

    def log_message(self, format, *args):  # noqa: A002 - the base class's name
        pass

    def do_GET(self):
        print("GET " + self.path, flush=True)
        path = self.path.split("?", 1)[0]
        if path.startswith("/endless/"):
            self.endless()
            return
        if path.startswith("/announce/"):
            self.announce()
            return
        cut = path.startswith("/cut/")
        if cut:
            path = path[len("/cut"):]
        name = os.path.realpath(os.path.join(self.root, path.lstrip("/")))
        if not name.startswith(self.root + os.sep) or not os.path.isfile(name):
            self.send_error(404)
            return
        with open(name, "rb") as file:
            body = file.read()
        self.send_response(200)
        self.send_header("Content-Type", "application/octet-stream")
        self.send_header("Content-Length", str(len(body)))
        self.end_headers()
        if cut:
            self.wfile.write(body[: len(body) // 2])
            self.wfile.flush()
            self.close_connection = True
            return
        self.wfile.write(body)

    def endless(self):
        self.send_response(200)
        self.send_header("Content-Type", "application/xml")
        self.send_header("Connection", "close")
        self.end_headers()
        self.close_connection = True
        chunk = b"<Line>" + b"x" * 65000 + b"</Line>\n"
        sent = 0
        try:
            while sent < ENDLESS_LIMIT:
                self.wfile.write(chunk)
                sent += len(chunk)
        except (BrokenPipeError, ConnectionResetError):
            pass

    def announce(self):
        self.send_response(200)
        self.send_header("Content-Type", "application/xml")
        self.send_header("Content-Length", str(2 * 1024 * 1024 * 1024))
        self.end_headers()
        self.close_connection = True
        try:
            self.wfile.write(b"<VelmoraVersionHistory>" + b" " * 1000)
            self.wfile.flush()
            self.connection.settimeout(30)
            self.connection.recv(1)
        except (BrokenPipeError, ConnectionResetError, socket.timeout):
            pass


def main():
    parser = argparse.ArgumentParser(description=__doc__)
    parser.add_argument("--root", required=True)
    options = parser.parse_args()
    Handler.root = os.path.realpath(options.root)
    server = http.server.ThreadingHTTPServer(("127.0.0.1", 0), Handler)
    server.daemon_threads = True
    print("port %d" % server.server_address[1], flush=True)
    # The test holds our standard input; when it ends, however it ends, so do we.
    threading.Thread(target=lambda: (sys.stdin.read(), os._exit(0)), daemon=True).start()
    try:
        server.serve_forever(poll_interval=0.1)
    except KeyboardInterrupt:
        pass
    return 0


if __name__ == "__main__":
    sys.exit(main())
