#!/usr/bin/env python3
"""Independent HTTP peer for the tests, on 127.0.0.1 and a free port.

usage: httppeer.py answer|silent

Prints "port N" once listening. "answer": a python http.server that prints
"GET <path>" for each request and answers 200. "silent": accepts
connections, prints "GET <path>" for each request it reads but never
answers; prints "closed" when the client closes a connection.
"""
import http.server
import socket
import sys
import threading


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


def silent_client(conn):
    data = b""
    while True:
        chunk = conn.recv(4096)
        if not chunk:
            say("closed")
            return
        data += chunk
        while b"\r\n\r\n" in data:
            head, data = data.split(b"\r\n\r\n", 1)
            words = head.split(b"\r\n", 1)[0].split()
            say("GET " + words[1].decode("latin-1"))


def main():
    if sys.argv[1] == "answer":
        server = http.server.ThreadingHTTPServer(("127.0.0.1", 0), Handler)
        say("port %d" % server.server_address[1])
        server.serve_forever()
    else:
        listener = socket.socket()
        listener.bind(("127.0.0.1", 0))
        listener.listen(16)
        say("port %d" % listener.getsockname()[1])
        while True:
            conn, _ = listener.accept()
            threading.Thread(target=silent_client, args=(conn,), daemon=True).start()


if __name__ == "__main__":
    main()
