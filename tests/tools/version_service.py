#!/usr/bin/env python3
"""The version service of a test run: service/serve.py on a fixed port of
127.0.0.1, serving a copy of the repository's service folder from the build
tree, so that tests can change what it serves.

    version_service.py start --source DIR --folder DIR --port PORT
    version_service.py stop --folder DIR

start replaces the folder by a fresh copy of source, empties its request log
(FOLDER/requests.log), ends a server that an earlier run of the same folder
left behind, and starts the server in the background. The server ends by
itself when the process that ran start (CTest) has gone, however the run
ended. stop ends it now.

The tests' additions to the service: while a file NAME.silent exists beside
a served file NAME, a request for NAME is logged and then answered by closing
the connection without a response, which the program sees as a service that
does not answer.
"""

import argparse
import os
import shutil
import signal
import socket
import subprocess
import sys
import threading
import time

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, os.path.join(HERE, "..", "..", "service"))
sys.dont_write_bytecode = True  # nothing of ours lands in the source tree
import serve  # noqa: E402  (the service's own server)

START_SECONDS = 15
STOP_SECONDS = 10


def pid_file(folder):
    return folder.rstrip("/") + ".pid"


def log_file(folder):
    return os.path.join(folder, "requests.log")


class TestServiceHandler(serve.ServiceHandler):
    def parse_request(self):
        if not super().parse_request():
            return False
        if os.path.exists(self.translate_path(self.path) + ".silent"):
            self.close_connection = True
            return False
        return True


def our_server_pid(folder):
    """The pid of the server that an earlier start of this folder left, if it still runs."""
    try:
        with open(pid_file(folder)) as f:
            pid = int(f.read().strip())
        with open("/proc/%d/cmdline" % pid, "rb") as f:
            command = f.read().split(b"\0")
    except (OSError, ValueError):
        return None
    ours = b"serve" in command and os.path.abspath(folder).encode() in command
    return pid if ours else None


def stop(folder):
    pid = our_server_pid(folder)
    if pid:
        os.kill(pid, signal.SIGTERM)
        deadline = time.monotonic() + STOP_SECONDS
        while time.monotonic() < deadline and our_server_pid(folder):
            time.sleep(0.1)
    try:
        os.remove(pid_file(folder))
    except OSError:
        pass
    return 0


def port_answers(port):
    with socket.socket() as s:
        s.settimeout(0.5)
        return s.connect_ex((serve.HOST, port)) == 0


def start(source, folder, port):
    stop(folder)
    if port_answers(port):
        print("port %d of %s is taken by another program (another test run?)" % (port, serve.HOST),
              file=sys.stderr)
        return 1
    shutil.rmtree(folder, ignore_errors=True)
    shutil.copytree(source, folder, ignore=shutil.ignore_patterns("*.py", "__pycache__"))
    open(log_file(folder), "wb").close()
    folder = os.path.abspath(folder)
    server = subprocess.Popen(
        [sys.executable, os.path.abspath(__file__), "serve", "--folder", folder, "--port", str(port),
         "--watch", str(os.getppid())],
        stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL,
        start_new_session=True)
    with open(pid_file(folder), "w") as f:
        f.write("%d\n" % server.pid)
    deadline = time.monotonic() + START_SECONDS
    while time.monotonic() < deadline:
        if server.poll() is not None:
            print("the version service ended at once (code %d)" % server.returncode, file=sys.stderr)
            return 1
        if port_answers(port):
            print("version service on %s:%d serving %s" % (serve.HOST, port, folder))
            return 0
        time.sleep(0.1)
    print("the version service did not listen within %d s" % START_SECONDS, file=sys.stderr)
    return 1


def run_server(folder, port, watch):
    server = serve.make_server(folder, port, log_file(folder), TestServiceHandler)

    def watch_parent():
        while True:
            try:
                os.kill(watch, 0)
            except OSError:
                break
            time.sleep(0.5)
        server.shutdown()

    signal.signal(signal.SIGTERM, lambda *_: threading.Thread(target=server.shutdown).start())
    threading.Thread(target=watch_parent, daemon=True).start()
    server.serve_forever()
    server.server_close()
    return 0


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n")[0])
    parser.add_argument("action", choices=["start", "stop", "serve"])
    parser.add_argument("--source")
    parser.add_argument("--folder", required=True)
    parser.add_argument("--port", type=int)
    parser.add_argument("--watch", type=int)
    arguments = parser.parse_args()
    if arguments.action == "start":
        return start(arguments.source, arguments.folder, arguments.port)
    if arguments.action == "stop":
        return stop(arguments.folder)
    return run_server(arguments.folder, arguments.port, arguments.watch)


if __name__ == "__main__":
    sys.exit(main())
