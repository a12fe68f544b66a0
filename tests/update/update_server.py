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

import json
import os
import sys
from http.server import BaseHTTPRequestHandler
from urllib.parse import parse_qs, urlsplit
sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "tools"))
from report_server import serve  # noqa: E402


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



if __name__ == "__main__":
    serve(Handler)
