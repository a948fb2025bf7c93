#!/usr/bin/env python3
"""Tests of tools/update_service.py, the stand-in update service."""

import http.client
import json
import os
import signal
import socket
import ssl
import subprocess
import sys
import tempfile
import time
import unittest

TOP = os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
SERVICE = os.path.join(TOP, "tools", "update_service.py")
MAKE_CA = os.path.join(TOP, "tools", "make-test-ca.sh")
SERVICE_PATH = "/pcapp/GetLatestPCAplCommonAPI"
PACKAGE = bytes(range(256)) * 40  # 10240 bytes, every byte value


class Service:
    """The service as a subprocess, stopped by PID."""

    def __init__(self, folder, *extra):
        self.folder = folder
        self.config = os.path.join(folder, "config.json")
        self.requests = os.path.join(folder, "requests.jsonl")
        ready = os.path.join(folder, "ready")
        self.process = subprocess.Popen(
            [sys.executable, SERVICE, "--port", "0", "--ready-file", ready, "--config", self.config,
             "--requests", self.requests, "--files", folder, *extra],
            stderr=subprocess.DEVNULL)
        deadline = time.monotonic() + 10
        while not os.path.exists(ready):
            if self.process.poll() is not None or time.monotonic() > deadline:
                self.stop()
                raise RuntimeError("update service did not start")
            time.sleep(0.02)
        with open(ready) as f:
            self.port = int(f.read())

    def configure(self, config):
        with open(self.config, "w") as f:
            json.dump(config, f)

    def recorded(self):
        with open(self.requests) as f:
            return [json.loads(line) for line in f]

    def stop(self):
        if self.process.poll() is None:
            os.kill(self.process.pid, signal.SIGTERM)
            try:
                self.process.wait(timeout=5)
            except subprocess.TimeoutExpired:
                os.kill(self.process.pid, signal.SIGKILL)
                self.process.wait(timeout=5)


class PlainTests(unittest.TestCase):
    def setUp(self):
        self.folder = tempfile.TemporaryDirectory()
        with open(os.path.join(self.folder.name, "Launcher.msi"), "wb") as f:
            f.write(PACKAGE)
        self.service = Service(self.folder.name)
        self.addCleanup(self.folder.cleanup)
        self.addCleanup(self.service.stop)

    def connect(self, timeout=5):
        return http.client.HTTPConnection("127.0.0.1", self.service.port, timeout=timeout)

    def post_check(self, conn):
        # Sent the way the launcher sends it: no space after the colon, empty body.
        conn.putrequest("POST", SERVICE_PATH, skip_accept_encoding=True)
        conn.putheader("User-Agent", "27KexLPNI/1.000000")
        conn._output(b"Content-Type:application/x-www-form-urlencoded")
        conn.putheader("Content-Length", "0")
        conn.endheaders()
        return conn.getresponse()

    def get(self, path, timeout=5):
        conn = self.connect(timeout)
        self.addCleanup(conn.close)
        conn.request("GET", path)
        return conn.getresponse()

    def test_reply_from_config_and_recorded_request(self):
        self.service.configure({"reply": {"RET": 0, "DLVER": "1.2.0", "DLURL": "{base}/Launcher.msi",
                                          "MEVER": 'a&b"c'}})
        conn = self.connect()
        self.addCleanup(conn.close)
        reply = self.post_check(conn)
        self.assertEqual(reply.status, 200)
        base = f"http://127.0.0.1:{self.service.port}"
        self.assertEqual(reply.read().decode(),
                         f'RET=0&DLVER=1.2.0&DLURL={base}/Launcher.msi&UMVER=&UMURL=&"MEVER=a&b""c"&MEURL=')
        [entry] = self.service.recorded()
        self.assertEqual(entry["method"], "POST")
        self.assertEqual(entry["path"], SERVICE_PATH)
        self.assertEqual(entry["body"], "")
        headers = dict(entry["headers"])
        self.assertEqual(headers["User-Agent"], "27KexLPNI/1.000000")
        self.assertEqual(headers["Content-Type"], "application/x-www-form-urlencoded")

    def test_raw_reply(self):
        self.service.configure({"raw_reply": "RET=5"})
        conn = self.connect()
        self.addCleanup(conn.close)
        self.assertEqual(self.post_check(conn).read(), b"RET=5")

    def test_package_download(self):
        reply = self.get("/Launcher.msi")
        self.assertEqual(reply.status, 200)
        self.assertEqual(reply.getheader("Content-Length"), str(len(PACKAGE)))
        self.assertEqual(reply.read(), PACKAGE)
        self.assertEqual(self.get("/missing.msi").status, 404)

    def test_error_statuses(self):
        for status in (404, 500):
            self.service.configure({"faults": {"/Launcher.msi": {"kind": "status", "status": status}}})
            self.assertEqual(self.get("/Launcher.msi").status, status)
        self.service.configure({"faults": {SERVICE_PATH: {"kind": "status", "status": 500}}})
        conn = self.connect()
        self.addCleanup(conn.close)
        self.assertEqual(self.post_check(conn).status, 500)

    def test_stall_before_headers_times_out(self):
        self.service.configure({"faults": {"/Launcher.msi": {"kind": "stall_headers"}}})
        start = time.monotonic()
        with self.assertRaises(TimeoutError):
            self.get("/Launcher.msi", timeout=1)
        self.assertLess(time.monotonic() - start, 3)
        self.assertEqual(self.service.recorded()[-1]["path"], "/Launcher.msi")

    def test_stall_in_body_times_out(self):
        self.service.configure({"faults": {"/Launcher.msi": {"kind": "stall_body", "bytes": 1000}}})
        reply = self.get("/Launcher.msi", timeout=1)
        self.assertEqual(reply.getheader("Content-Length"), str(len(PACKAGE)))
        self.assertEqual(reply.read(1000), PACKAGE[:1000])
        with self.assertRaises(TimeoutError):
            reply.read(1)

    def test_short_body(self):
        self.service.configure({"faults": {"/Launcher.msi": {"kind": "short", "bytes": 3000}}})
        reply = self.get("/Launcher.msi")
        with self.assertRaises(http.client.IncompleteRead) as caught:
            reply.read()
        self.assertEqual(caught.exception.partial, PACKAGE[:3000])

    def test_reset(self):
        self.service.configure({"faults": {"/Launcher.msi": {"kind": "reset"}}})
        with self.assertRaises(ConnectionResetError):
            self.get("/Launcher.msi")
        self.service.configure({"faults": {"/Launcher.msi": {"kind": "reset", "bytes": 100}}})
        reply = self.get("/Launcher.msi")
        with self.assertRaises(ConnectionResetError):
            reply.read()

    def test_chunked(self):
        self.service.configure({"faults": {"/Launcher.msi": {"kind": "chunked", "chunk": 1000}}})
        reply = self.get("/Launcher.msi")
        self.assertEqual(reply.getheader("Transfer-Encoding"), "chunked")
        self.assertIsNone(reply.getheader("Content-Length"))
        self.assertEqual(reply.read(), PACKAGE)

    def test_slow_body(self):
        self.service.configure({"faults": {"/Launcher.msi": {"kind": "slow", "chunk": 2048, "interval": 0.1}}})
        start = time.monotonic()
        reply = self.get("/Launcher.msi")
        self.assertEqual(reply.read(), PACKAGE)
        self.assertGreaterEqual(time.monotonic() - start, 0.4)  # five chunks, four pauses


class TlsTests(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.certs = tempfile.TemporaryDirectory()
        subprocess.run([MAKE_CA, cls.certs.name], check=True, timeout=30)

    @classmethod
    def tearDownClass(cls):
        cls.certs.cleanup()

    def serve(self, cert):
        folder = tempfile.TemporaryDirectory()
        self.addCleanup(folder.cleanup)
        service = Service(folder.name, "--cert", os.path.join(self.certs.name, cert),
                          "--key", os.path.join(self.certs.name, "server.key"))
        self.addCleanup(service.stop)
        return service

    def post(self, service):
        context = ssl.create_default_context(cafile=os.path.join(self.certs.name, "ca.pem"))
        conn = http.client.HTTPSConnection("localhost", service.port, timeout=5, context=context)
        self.addCleanup(conn.close)
        conn.request("POST", SERVICE_PATH, body=b"",
                     headers={"Content-Type": "application/x-www-form-urlencoded"})
        return conn.getresponse()

    def test_valid_certificate(self):
        service = self.serve("valid.pem")
        service.configure({"reply": {"RET": 0, "DLURL": "{base}/a.msi"}})
        reply = self.post(service)
        self.assertEqual(reply.read().decode(),
                         f"RET=0&DLVER=&DLURL=https://localhost:{service.port}/a.msi&UMVER=&UMURL=&MEVER=&MEURL=")

    def test_expired_certificate(self):
        with self.assertRaisesRegex(ssl.SSLCertVerificationError, "expired"):
            self.post(self.serve("expired.pem"))

    def test_wrong_host_certificate(self):
        with self.assertRaisesRegex(ssl.SSLCertVerificationError, "match"):
            self.post(self.serve("wronghost.pem"))


if __name__ == "__main__":
    unittest.main()
