#!/usr/bin/env python3
"""HTTP server for the file downloader's tests and benchmark, on 127.0.0.1 only.

    download_server.py --report PORT   connect to 127.0.0.1:PORT, send our port and a
                                       newline, serve until that connection closes
    download_server.py                 print our port and serve until stdin closes

GET /body?size=N answers N bytes, byte i being i % 251. A request with the
header "Range: bytes=0-" gets 206 and a Content-Range, as web servers answer
it; otherwise 200. Options:
    chunked=1   no Content-Length: chunked transfer encoding
    piece=P     write P bytes at a time (default 65536, at most 512 KiB)
    delay=MS    pause MS milliseconds after each piece
    rate=B      pace the body to about B bytes per second
    cut=K       declare N bytes, send K, then close the connection
    die=K       send K bytes, then end the whole server at once
    status=S    answer status S with a small HTML page instead of the body
    wait=MS     wait MS milliseconds before answering at all
"""

import os
import sys
import time
from http.server import BaseHTTPRequestHandler
from urllib.parse import parse_qsl, urlsplit
sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "tools"))
from report_server import serve  # noqa: E402

MAX_PIECE = 512 * 1024
# Byte i of every body is i % 251; a whole number of periods, so any offset
# is a slice of it.
PATTERN = bytes(i % 251 for i in range(251)) * ((MAX_PIECE + 2 * 251) // 251)


class Handler(BaseHTTPRequestHandler):
    protocol_version = "HTTP/1.1"

    def log_message(self, format, *args):  # quiet: the tests read their own output
        pass

    def do_GET(self):
        url = urlsplit(self.path)
        options = {key: int(value) for key, value in parse_qsl(url.query)}
        time.sleep(options.get("wait", 0) / 1000.0)
        if url.path != "/body":
            return self.page(404, "no such page")
        if "status" in options:
            return self.page(options["status"], "status %d" % options["status"])
        size = options.get("size", 0)
        chunked = options.get("chunked", 0) == 1
        sent_limit = min(size, options.get("cut", size), options.get("die", size))
        if self.headers.get("Range", "").replace(" ", "") == "bytes=0-" and size > 0:
            self.send_response(206)
            self.send_header("Content-Range", "bytes 0-%d/%d" % (size - 1, size))
        else:
            self.send_response(200)
        self.send_header("Content-Type", "application/octet-stream")
        if chunked:
            self.send_header("Transfer-Encoding", "chunked")
        else:
            self.send_header("Content-Length", str(size))
        if "cut" in options:
            self.send_header("Connection", "close")
        self.end_headers()
        self.send_body(sent_limit, chunked, options)
        if "die" in options:
            self.wfile.flush()
            os._exit(0)
        if "cut" in options:
            self.close_connection = True
        elif chunked:
            self.wfile.write(b"0\r\n\r\n")

    def send_body(self, count, chunked, options):
        piece = max(1, min(options.get("piece", 65536), MAX_PIECE))
        delay = options.get("delay", 0) / 1000.0
        rate = options.get("rate", 0)
        started = time.monotonic()
        sent = 0
        while sent < count:
            length = min(piece, count - sent)
            offset = sent % 251
            data = PATTERN[offset:offset + length]
            if chunked:
                self.wfile.write(b"%x\r\n" % length + data + b"\r\n")
            else:
                self.wfile.write(data)
            sent += length
            if delay:
                time.sleep(delay)
            if rate:
                ahead = sent / rate - (time.monotonic() - started)
                if ahead > 0:
                    time.sleep(ahead)

    def page(self, status, text):
        body = ("<html><body><h1>%s</h1></body></html>" % text).encode()
        self.send_response(status)
        self.send_header("Content-Type", "text/html")
        self.send_header("Content-Length", str(len(body)))
        self.end_headers()
        self.wfile.write(body)



if __name__ == "__main__":
    serve(Handler)
