#!/usr/bin/env python3
"""HTTP server for the web request tests and benchmark, on 127.0.0.1 only.

    test_server.py --report PORT   connect to 127.0.0.1:PORT, send our port and a
                                   newline, serve until that connection closes
    test_server.py                 print our port, serve until stdin closes

Either way the server also ends after --lifetime seconds, so a lost parent
never leaves it behind. Any path that no route below claims is echoed: the
request line, the header lines as received and the request body. A request
whose target is an absolute http:// URL, or a CONNECT, is served as a forward
proxy would see it: it is recorded (see /proxy-log) and echoed.
"""

import base64
import os
import sys
import threading
import time
from http.server import BaseHTTPRequestHandler
from urllib.parse import parse_qsl, urlsplit
sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "tools"))
from report_server import serve  # noqa: E402

AUTH_USER = "user"
AUTH_PASSWORD = "p@ss"
PROXY_LOG = []
PROXY_LOG_LOCK = threading.Lock()
BIG_BODIES = {}

GBK_PAGE = '<html><head><meta charset=gbk></head><body>中文</body></html>'
HTML_PAGES = {
    # path: (text, encoding the bytes are sent in)
    "/utf8-quoted": ('<html><head><meta charset="utf-8"><title>t</title></head><body>中文页</body></html>', "utf-8"),
    "/utf8-unquoted": ('<html><head><META http-equiv=Content-Type content="text/html; CHARSET=utf-8">'
                       '</head><body>中文页</body></html>', "utf-8"),
    "/gbk": (GBK_PAGE, "gbk"),
    "/big5": ('<html><head><meta charset="big5"></head><body>中文</body></html>', "big5"),
    "/unknown-charset": ('<html><head><meta charset="x-nothing"></head><body>中文</body></html>', "gbk"),
    # The meta tag sits beyond the first 1024 bytes, so nothing is re-decoded.
    "/utf8-late": ("<html>" + " " * 1100 + '<meta charset="utf-8"><body>中文页</body></html>', "utf-8"),
}

# Responses written byte for byte, then the connection is closed.
RAW_RESPONSES = {
    "/no-colon-header": b"HTTP/1.1 200 OK\r\nBadHeaderLine\r\nX-Fine: 1\r\nContent-Length: 2\r\n"
                        b"Connection: close\r\n\r\nok",
    "/close-mid-body": b"HTTP/1.1 200 OK\r\nContent-Length: 100000\r\nConnection: close\r\n\r\n" + b"x" * 1000,
    "/short-status": b"HTTP/1.1 2\r\nContent-Length: 2\r\nConnection: close\r\n\r\nok",
    "/bare-status": b"HTTP/1.0\r\nContent-Length: 2\r\nConnection: close\r\n\r\nok",
    "/location-empty": b"HTTP/1.1 200 OK\r\nContent-Length: 2\r\nConnection: close\r\nLocation: \r\n\r\nok",
}


class Handler(BaseHTTPRequestHandler):
    protocol_version = "HTTP/1.1"
    # Headers and body go out in separate writes; without this the body would
    # wait for the client's delayed acknowledgement of the headers.
    disable_nagle_algorithm = True

    def log_message(self, format, *args):  # quiet: tests read their own output
        pass

    # -- helpers -------------------------------------------------------------

    def request_body(self):
        length = int(self.headers.get("Content-Length") or 0)
        return self.rfile.read(length) if length else b""

    def echo_text(self, body=b""):
        lines = [self.requestline] + ["%s: %s" % (k, v) for k, v in self.headers.raw_items()]
        return ("\r\n".join(lines) + "\r\n\r\n").encode("latin-1") + body

    def reply(self, status, body, headers=(), reason=None, close=False):
        self.send_response(status, reason)
        for name, value in headers:
            self.send_header(name, value)
        self.send_header("Content-Length", str(len(body)))
        if close:
            self.send_header("Connection", "close")
            self.close_connection = True
        self.end_headers()
        if self.command != "HEAD":
            self.wfile.write(body)

    # -- routes --------------------------------------------------------------

    def handle_any(self):
        body = self.request_body()
        if self.path.startswith("http://") or self.command == "CONNECT":
            return self.proxy(body)
        url = urlsplit(self.path)
        route = getattr(self, "route_" + url.path.strip("/").replace("-", "_"), None)
        if url.path in RAW_RESPONSES:
            self.wfile.write(RAW_RESPONSES[url.path])
            self.close_connection = True
        elif url.path in HTML_PAGES:
            text, encoding = HTML_PAGES[url.path]
            self.reply(200, text.encode(encoding), [("Content-Type", "text/html")])
        elif route:
            route(url, body)
        else:
            self.reply(200, self.echo_text(body), [("Content-Type", "text/plain")])

    do_GET = do_POST = do_HEAD = do_PUT = do_OPTIONS = do_DELETE = do_TRACE = do_CONNECT = handle_any

    def proxy(self, body):
        with PROXY_LOG_LOCK:
            PROXY_LOG.append(self.echo_text())
        if self.command == "CONNECT":
            self.reply(403, b"no tunnels here", close=True)
        else:
            self.reply(200, self.echo_text(body), [("Content-Type", "text/plain")])

    def route_proxy_log(self, url, body):
        with PROXY_LOG_LOCK:
            text = b"\r\n----\r\n".join(PROXY_LOG)
        self.reply(200, text, [("Content-Type", "text/plain")])

    def route_set_cookies(self, url, body):
        # /set-cookies?a=1&b=2 sets a=1 with attributes and b=2 without.
        cookies = parse_qsl(url.query, keep_blank_values=True)
        headers = [("Set-Cookie", "%s=%s%s" % (k, v, "; path=/; HttpOnly" if i == 0 else ""))
                   for i, (k, v) in enumerate(cookies)]
        self.reply(200, self.echo_text(body), headers + [("Content-Type", "text/plain")])

    def route_redirect(self, url, body):
        self.reply(302, b"moved", [("Location", "/landed?from=redirect")], reason="Found")

    def route_cookie_redirect(self, url, body):
        # A cookie set on the way: only a client that keeps cookies sends it on.
        self.reply(302, b"moved", [("Set-Cookie", "r=1; path=/"), ("Location", "/landed")], reason="Found")

    def route_missing(self, url, body):
        self.reply(404, b"<html><body>missing</body></html>", [("Content-Type", "text/html")],
                   reason="Not Found")

    def route_zero(self, url, body):
        self.reply(200, b"ab\x00cd", [("Content-Type", "application/octet-stream")])

    def route_chunked(self, url, body):
        self.send_response(200)
        self.send_header("Transfer-Encoding", "chunked")
        self.send_header("Content-Type", "text/plain")
        self.end_headers()
        for i in range(20):
            chunk = ("chunk %02d;" % i).encode()
            self.wfile.write(b"%x\r\n%s\r\n" % (len(chunk), chunk))
            self.wfile.flush()
        self.wfile.write(b"0\r\n\r\n")

    def route_slow(self, url, body):
        time.sleep(float(dict(parse_qsl(url.query)).get("seconds", "2.5")))
        try:
            self.reply(200, b"late", close=True)
        except OSError:
            pass  # the client gave up waiting

    def route_auth(self, url, body):
        expected = "Basic " + base64.b64encode(("%s:%s" % (AUTH_USER, AUTH_PASSWORD)).encode()).decode()
        if self.headers.get("Authorization") == expected:
            self.reply(200, b"welcome")
        else:
            self.reply(401, b"who are you", [("WWW-Authenticate", 'Basic realm="test"')])

    def route_big(self, url, body):
        # /big?size=N: N bytes of "a", a new connection for every request.
        size = int(dict(parse_qsl(url.query)).get("size", "0"))
        if size not in BIG_BODIES:
            BIG_BODIES[size] = b"a" * size
        self.reply(200, BIG_BODIES[size], [("Content-Type", "application/octet-stream")], close=True)

    def route_small(self, url, body):
        # A short page, a new connection for every request.
        self.reply(200, b"<html><body>ok</body></html>", [("Content-Type", "text/html")], close=True)



if __name__ == "__main__":
    serve(Handler)
