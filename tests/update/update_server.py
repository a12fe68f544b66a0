#!/usr/bin/env python3
"""HTTP server for the update tests, on 127.0.0.1 only; started and stopped
like download_server.py (--report PORT).

GET /manifest?version=V&download=D[&signature=S] answers a version manifest
    whose "Click" entry holds those values (signature only when given).
GET /body?file=NAME answers the file NAME of the folder in the environment
    variable UPDATE_SERVER_FOLDER. Options:
    status=S   answer status S with a small HTML page instead
    cut=K      declare the whole file, send K bytes, then close the connection
"""

import argparse
import json
import os
import socket
import threading
from http.server import BaseHTTPRequestHandler, ThreadingHTTPServer
from urllib.parse import parse_qs, urlsplit


class Handler(BaseHTTPRequestHandler):
    protocol_version = "HTTP/1.1"

    def log_message(self, format, *args):
        pass

    def do_GET(self):
        url = urlsplit(self.path)
        query = {key: values[0] for key, values in parse_qs(url.query, keep_blank_values=True).items()}
        if url.path == "/manifest":
            entry = {"version": query.get("version", ""), "update": "fixes",
                     "download": query.get("download", ""), "Support": True}
            if "signature" in query:
                entry["signature"] = query["signature"]
            self.answer(200, json.dumps({"Click": entry}).encode(), "application/json")
        elif url.path == "/body":
            if "status" in query:
                self.answer(int(query["status"]), b"<html><body>not here</body></html>", "text/html")
                return
            folder = os.environ.get("UPDATE_SERVER_FOLDER", ".")
            name = os.path.basename(query.get("file", ""))
            with open(os.path.join(folder, name), "rb") as source:
                body = source.read()
            cut = int(query.get("cut", len(body)))
            self.answer(200, body, "application/octet-stream", send=cut)
            if cut < len(body):
                self.close_connection = True
        else:
            self.answer(404, b"<html><body>not here</body></html>", "text/html")

    def answer(self, status, body, content_type, send=None):
        self.send_response(status)
        self.send_header("Content-Type", content_type)
        self.send_header("Content-Length", str(len(body)))
        self.end_headers()
        self.wfile.write(body[:len(body) if send is None else send])
        self.wfile.flush()


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--report", type=int, required=True, help="port on 127.0.0.1 to report to")
    args = parser.parse_args()
    server = ThreadingHTTPServer(("127.0.0.1", 0), Handler)
    server.daemon_threads = True
    threading.Thread(target=server.serve_forever, daemon=True).start()
    control = socket.create_connection(("127.0.0.1", args.report))
    control.sendall(b"%d\n" % server.server_address[1])
    while control.recv(4096):  # until our starter closes it, or ends
        pass
    server.shutdown()
    server.server_close()
    control.close()


if __name__ == "__main__":
    main()
