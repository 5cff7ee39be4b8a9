#!/usr/bin/env python3
"""Independent HTTP peer for the tests, on 127.0.0.1 and a free port.

usage: httppeer.py answer

Prints "port N" once listening, then runs a python http.server that prints
"GET <path>" for each request and answers 200.
"""
import http.server
import sys


def say(line):
    sys.stdout.write(line + "\n")
    sys.stdout.flush()


class Handler(http.server.BaseHTTPRequestHandler):
    def do_GET(self):
        say("GET " + self.path)
        body = b"ok"
        self.send_response(200)
        self.send_header("Content-Type", "text/plain")
        self.send_header("Content-Length", str(len(body)))
        self.end_headers()
        self.wfile.write(body)

    def log_message(self, *args):
        pass


def main():
    server = http.server.ThreadingHTTPServer(("127.0.0.1", 0), Handler)
    say("port %d" % server.server_address[1])
    server.serve_forever()


if __name__ == "__main__":
    main()
