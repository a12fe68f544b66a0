"""Runs a test HTTP server of ours on a free port of 127.0.0.1 until its
starter lets go.

With --report PORT the server connects to 127.0.0.1:PORT, sends its own port
and a line break, and serves until that connection closes: the starter closes
it to stop the server, and so does the end of the starter's process, however
it ends. Without --report it prints its port and serves until standard input
ends (the benchmark scripts). --lifetime bounds the whole run, so a lost
starter never leaves a server behind.
"""

import argparse
import os
import socket
import sys
import threading
from http.server import ThreadingHTTPServer


def serve(handler_class):
    parser = argparse.ArgumentParser()
    parser.add_argument("--report", type=int, help="port on 127.0.0.1 to report to")
    parser.add_argument("--lifetime", type=float, default=600.0)
    args = parser.parse_args()

    watchdog = threading.Timer(args.lifetime, lambda: os._exit(0))
    watchdog.daemon = True
    watchdog.start()

    server = ThreadingHTTPServer(("127.0.0.1", 0), handler_class)
    server.daemon_threads = True
    port = server.server_address[1]
    threading.Thread(target=server.serve_forever, daemon=True).start()

    control = None
    if args.report:
        control = socket.create_connection(("127.0.0.1", args.report))
        control.sendall(b"%d\n" % port)
        try:
            while control.recv(4096):
                pass
        except OSError:
            pass
    else:
        print(port, flush=True)
        while sys.stdin.read(4096):
            pass

    server.shutdown()
    server.server_close()
    if control:
        control.close()  # tells the starter that the server has stopped
