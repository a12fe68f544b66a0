#!/usr/bin/env python3
"""The version service: serves a folder as static files over plain HTTP.

    serve.py [--folder DIR] [--port PORT] [--log FILE]

The folder (by default the one this script lives in) holds what the program
asks for, Soft/VER/SVERS.json. The server listens on 127.0.0.1 only and runs
until it is stopped. With --log, every request is appended to FILE as its
request line and header lines, each ending in CR LF, followed by an empty
line. A publisher may put the same folder on any web server instead.
"""

import argparse
import functools
import os
import sys
import threading
from http.server import SimpleHTTPRequestHandler, ThreadingHTTPServer

HOST = "127.0.0.1"
DEFAULT_PORT = 18731


class ServiceHandler(SimpleHTTPRequestHandler):
    """Static files, and a log entry per request."""

    request_log = None  # the log file's path, or None
    log_lock = threading.Lock()

    def parse_request(self):
        parsed = super().parse_request()
        if parsed and self.request_log:
            self.write_log_entry()
        return parsed

    def write_log_entry(self):
        lines = [self.requestline] + ["%s: %s" % item for item in self.headers.raw_items()]
        entry = ("\r\n".join(lines) + "\r\n\r\n").encode("latin-1", "replace")
        # One write per entry, so a reader never sees half of one.
        with self.log_lock, open(self.request_log, "ab") as log:
            log.write(entry)

    def list_directory(self, path):  # a service, not a file browser
        self.send_error(404)
        return None

    def log_message(self, format, *args):
        pass


def make_server(folder, port, request_log=None, handler=ServiceHandler):
    handler_class = type("Handler", (handler,), {"request_log": request_log})
    return ThreadingHTTPServer((HOST, port), functools.partial(handler_class, directory=folder))


def parse_arguments(argv=None):
    parser = argparse.ArgumentParser(description="Serve the version service folder on %s." % HOST)
    parser.add_argument("--folder", default=os.path.dirname(os.path.abspath(__file__)),
                        help="folder to serve (default: the one holding this script)")
    parser.add_argument("--port", type=int, default=DEFAULT_PORT, help="port (default %d)" % DEFAULT_PORT)
    parser.add_argument("--log", help="append each request's line and headers to this file")
    return parser.parse_args(argv)


def main():
    arguments = parse_arguments()
    server = make_server(arguments.folder, arguments.port, arguments.log)
    try:
        server.serve_forever()
    except KeyboardInterrupt:
        pass
    finally:
        server.server_close()
    return 0


if __name__ == "__main__":
    sys.exit(main())
