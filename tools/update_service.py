#!/usr/bin/env python3
"""Stand-in for the suite's update service, for tests and demos.

Answers the launcher's update check (POST /pcapp/GetLatestPCAplCommonAPI),
serves package files by GET, records every request and injects faults.

The JSON config file (--config) is re-read on every request, so a test can
change the reply or the faults while the service runs:

  {
    "reply": {"RET": 0, "DLVER": "1.2.0", "DLURL": "{base}/Launcher.msi"},
    "raw_reply": "RET=5",
    "faults": {"/Launcher.msi": {"kind": "slow", "chunk": 100, "interval": 0.05}}
  }

"reply" gives the seven reply fields (missing ones are empty; "{base}" in a
value becomes scheme://host of the request). "raw_reply", when present, is
sent as it is instead. "faults" maps a path (without query) to one of:
  {"kind": "status", "status": 404}         error status with a short body
  {"kind": "stall_headers"}                 read the request, never answer
  {"kind": "stall_body", "bytes": N}        headers, N body bytes, then silence
  {"kind": "slow", "chunk": N, "interval": S}  N bytes every S seconds
  {"kind": "short", "bytes": N}             headers, N body bytes, then close
  {"kind": "reset", "bytes": N}             RST; with "bytes", after headers
                                            and N body bytes
  {"kind": "chunked", "chunk": N}           chunked transfer encoding
Silent connections are kept until the client closes them or the service stops.
"""

import argparse
import http.server
import json
import os
import select
import signal
import socket
import ssl
import struct
import sys
import threading
import time
import urllib.parse

SERVICE_PATH = "/pcapp/GetLatestPCAplCommonAPI"
REPLY_KEYS = ("RET", "DLVER", "DLURL", "UMVER", "UMURL", "MEVER", "MEURL")


def quote_field(field):
    if "&" in field or '"' in field:
        return '"' + field.replace('"', '""') + '"'
    return field


def build_reply(fields, base):
    parts = []
    for key in REPLY_KEYS:
        value = str(fields.get(key, "")).replace("{base}", base)
        parts.append(quote_field(f"{key}={value}"))
    return "&".join(parts)


class Handler(http.server.BaseHTTPRequestHandler):
    protocol_version = "HTTP/1.1"
    server_version = "RavelinUpdateStandIn/1"

    def setup(self):
        super().setup()
        if isinstance(self.connection, ssl.SSLSocket):
            # Handshake here, not in accept(), so a bad client blocks only its own thread.
            self.connection.settimeout(10)
            self.connection.do_handshake()
            self.connection.settimeout(None)

    def log_message(self, format, *args):
        if self.server.verbose:
            super().log_message(format, *args)

    def do_GET(self):
        self.answer()

    def do_POST(self):
        self.answer()

    def answer(self):
        length = int(self.headers.get("Content-Length", "0") or 0)
        body = self.rfile.read(length) if length > 0 else b""
        self.server.record({
            "method": self.command,
            "path": self.path,
            "headers": [[k, v] for k, v in self.headers.items()],
            "body": body.decode("latin-1"),
        })
        config = self.server.load_config()
        path = urllib.parse.urlsplit(self.path).path
        payload = self.payload(path, config)
        fault = config.get("faults", {}).get(path)
        if fault is None:
            if payload is None:
                self.send_plain(404, b"not found\n")
            else:
                self.send_plain(200, payload)
            return
        self.close_connection = True
        self.inject(fault, payload if payload is not None else b"")

    def payload(self, path, config):
        if self.command == "POST":
            if path != SERVICE_PATH:
                return None
            if "raw_reply" in config:
                text = config["raw_reply"]
            else:
                scheme = "https" if self.server.tls else "http"
                base = f"{scheme}://{self.headers.get('Host', '')}"
                text = build_reply(config.get("reply", {"RET": 0}), base)
            return text.encode("cp932")
        name = urllib.parse.unquote(path.lstrip("/"))
        folder = self.server.files
        if folder is None or not name:
            return None
        full = os.path.realpath(os.path.join(folder, name))
        if os.path.dirname(full) != folder or not os.path.isfile(full):
            return None
        with open(full, "rb") as f:
            return f.read()

    def send_plain(self, status, body):
        self.send_response(status)
        self.send_header("Content-Type", "application/octet-stream" if self.command == "GET" else "text/plain")
        self.send_header("Content-Length", str(len(body)))
        self.end_headers()
        self.wfile.write(body)

    def send_head(self, length):
        self.send_response(200)
        self.send_header("Content-Type", "application/octet-stream")
        self.send_header("Content-Length", str(length))
        self.end_headers()

    def inject(self, fault, payload):
        kind = fault.get("kind")
        try:
            if kind == "status":
                self.send_plain(int(fault.get("status", 500)), b"injected error\n")
            elif kind == "stall_headers":
                self.wait_for_client_close()
            elif kind == "stall_body":
                self.send_head(len(payload))
                self.wfile.write(payload[:int(fault.get("bytes", len(payload) // 2))])
                self.wait_for_client_close()
            elif kind == "slow":
                self.send_head(len(payload))
                chunk = int(fault.get("chunk", 1024))
                interval = float(fault.get("interval", 0.1))
                for start in range(0, len(payload), chunk):
                    if start:
                        if self.server.stopping.wait(interval):
                            return
                    self.wfile.write(payload[start:start + chunk])
            elif kind == "short":
                self.send_head(len(payload))
                self.wfile.write(payload[:int(fault.get("bytes", len(payload) // 2))])
            elif kind == "reset":
                if "bytes" in fault:
                    self.send_head(len(payload))
                    self.wfile.write(payload[:int(fault["bytes"])])
                self.connection.setsockopt(socket.SOL_SOCKET, socket.SO_LINGER, struct.pack("ii", 1, 0))
                self.connection.close()
            elif kind == "chunked":
                self.send_response(200)
                self.send_header("Content-Type", "application/octet-stream")
                self.send_header("Transfer-Encoding", "chunked")
                self.end_headers()
                chunk = int(fault.get("chunk", 1000))
                for start in range(0, len(payload), chunk):
                    piece = payload[start:start + chunk]
                    self.wfile.write(b"%x\r\n%s\r\n" % (len(piece), piece))
                self.wfile.write(b"0\r\n\r\n")
            else:
                self.send_plain(500, f"unknown fault kind {kind!r}\n".encode())
        except (BrokenPipeError, ConnectionResetError):
            pass  # the client gave up; that is what most faults are for

    def wait_for_client_close(self):
        conn = self.connection
        conn.settimeout(0.2)
        while not self.server.stopping.is_set():
            readable, _, _ = select.select([conn], [], [], 0.2)
            if not readable:
                continue
            try:
                if not conn.recv(4096):
                    return
            except (socket.timeout, ssl.SSLWantReadError):
                continue
            except OSError:
                return


class Service(http.server.ThreadingHTTPServer):
    daemon_threads = True

    def __init__(self, args):
        super().__init__(("127.0.0.1", args.port), Handler)
        self.config_path = args.config
        self.requests_path = args.requests
        self.files = os.path.realpath(args.files) if args.files else None
        self.verbose = args.verbose
        self.stopping = threading.Event()
        self.lock = threading.Lock()
        self.tls = bool(args.cert)
        if self.tls:
            context = ssl.SSLContext(ssl.PROTOCOL_TLS_SERVER)
            context.load_cert_chain(args.cert, args.key)
            self.socket = context.wrap_socket(self.socket, server_side=True, do_handshake_on_connect=False)

    def load_config(self):
        if not self.config_path or not os.path.exists(self.config_path):
            return {}
        with open(self.config_path, encoding="utf-8") as f:
            return json.load(f)

    def record(self, entry):
        if not self.requests_path:
            return
        with self.lock, open(self.requests_path, "a", encoding="utf-8") as f:
            f.write(json.dumps(entry) + "\n")

    def handle_error(self, request, client_address):
        # Clients rejecting our certificate or hanging up are expected; one line is enough.
        print(f"update_service: {client_address}: {sys.exc_info()[1]!r}", file=sys.stderr)


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--port", type=int, default=0, help="0 picks a free port")
    parser.add_argument("--ready-file", help="written with the port once listening")
    parser.add_argument("--config", help="JSON reply and fault config, re-read per request")
    parser.add_argument("--requests", help="every request is appended here as a JSON line")
    parser.add_argument("--files", help="folder of package files served by GET")
    parser.add_argument("--cert", help="serve HTTPS with this certificate (PEM)")
    parser.add_argument("--key", help="private key of --cert (PEM)")
    parser.add_argument("--verbose", action="store_true", help="log each request to stderr")
    args = parser.parse_args()
    if bool(args.cert) != bool(args.key):
        parser.error("--cert and --key go together")

    server = Service(args)

    def stop(signum, frame):
        raise SystemExit(0)

    signal.signal(signal.SIGTERM, stop)
    port = server.server_address[1]
    if args.ready_file:
        # Written whole then renamed, so a waiting bench never reads half a port.
        temp = args.ready_file + ".tmp"
        with open(temp, "w") as f:
            f.write(f"{port}\n")
        os.replace(temp, args.ready_file)
    try:
        server.serve_forever(poll_interval=0.2)
    except KeyboardInterrupt:
        pass
    finally:
        server.stopping.set()
        server.server_close()


if __name__ == "__main__":
    main()
