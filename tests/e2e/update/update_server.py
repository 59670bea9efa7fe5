"""A small update server on loopback for the update tests: each file name
maps to a behaviour (a normal answer, a status, a redirect, or one of the
faults a real network shows: a reset halfway, a body shorter than its
Content-Length, a server that stops answering, an oversized file). It can be
stopped and started again on the same port to play a server that is gone.
Optionally https with a self-signed certificate that nobody trusts."""
from __future__ import annotations

import socket
import ssl
import struct
import subprocess
import threading
import time
from dataclasses import dataclass, field
from http.server import BaseHTTPRequestHandler, ThreadingHTTPServer
from pathlib import Path

BASE_PATH = "/Presenter/Vela/Normal/Windowsxp/"


@dataclass
class Answer:
    kind: str = "ok"            # ok | status | redirect | short | reset | hang | hang_mid | oversize
    body: bytes = b""
    status: int = 200
    location: str = ""
    chunk: int = 4096           # bytes per write for ok / slow bodies
    delay: float = 0.0          # seconds between chunks
    content_length: bool = True


def ok(body: bytes, **kw) -> Answer:
    return Answer("ok", body, **kw)


@dataclass
class Request:
    path: str
    headers: dict = field(default_factory=dict)


class UpdateServer:
    def __init__(self, https_cert_dir: Path | None = None):
        self.routes: dict[str, Answer] = {}
        self.requests: list[Request] = []
        self._lock = threading.Lock()
        self._stop_hanging = threading.Event()
        self._server: ThreadingHTTPServer | None = None
        self._thread: threading.Thread | None = None
        self._tls: ssl.SSLContext | None = None
        if https_cert_dir is not None:
            self._tls = _self_signed_context(https_cert_dir)
        self.port = 0

    # ------------------------------------------------------------ life
    def start(self) -> "UpdateServer":
        outer = self

        class Handler(BaseHTTPRequestHandler):
            protocol_version = "HTTP/1.1"

            def log_message(self, *args):  # quiet
                pass

            def do_GET(self):
                outer._serve(self)

        server = ThreadingHTTPServer(("127.0.0.1", self.port), Handler, bind_and_activate=False)
        server.allow_reuse_address = True
        server.daemon_threads = True
        server.socket.setsockopt(socket.SOL_SOCKET, socket.SO_REUSEADDR, 1)
        server.server_bind()
        server.server_activate()
        if self._tls is not None:
            server.socket = self._tls.wrap_socket(server.socket, server_side=True)
        self.port = server.server_address[1]
        self._server = server
        self._stop_hanging.clear()
        self._thread = threading.Thread(target=server.serve_forever, kwargs={"poll_interval": 0.1}, daemon=True)
        self._thread.start()
        return self

    def stop(self) -> None:
        """The server is gone: nothing listens on its port any more."""
        self._stop_hanging.set()
        if self._server is not None:
            self._server.shutdown()
            self._server.server_close()
            self._server = None
        if self._thread is not None:
            self._thread.join(timeout=5)
            self._thread = None

    def __enter__(self) -> "UpdateServer":
        return self.start()

    def __exit__(self, *exc) -> None:
        self.stop()

    @property
    def base_url(self) -> str:
        scheme = "https" if self._tls is not None else "http"
        host = "localhost" if self._tls is not None else "127.0.0.1"
        return f"{scheme}://{host}:{self.port}{BASE_PATH}"

    def set(self, name: str, answer: Answer) -> None:
        with self._lock:
            self.routes[BASE_PATH + name] = answer

    def requested(self, name: str) -> list[Request]:
        with self._lock:
            return [r for r in self.requests if r.path == BASE_PATH + name]

    def clear_log(self) -> None:
        with self._lock:
            self.requests.clear()

    # ----------------------------------------------------------- answers
    def _serve(self, handler: BaseHTTPRequestHandler) -> None:
        with self._lock:
            self.requests.append(Request(handler.path, {k.lower(): v for k, v in handler.headers.items()}))
            answer = self.routes.get(handler.path, Answer("status", status=404))
        try:
            getattr(self, "_answer_" + answer.kind)(handler, answer)
        except (BrokenPipeError, ConnectionResetError, ssl.SSLError, OSError):
            pass
        handler.close_connection = True

    @staticmethod
    def _headers(handler, status: int, length: int | None, extra: dict | None = None) -> None:
        handler.send_response(status)
        handler.send_header("Content-Type", "application/octet-stream")
        handler.send_header("Cache-Control", "max-age=600")
        if length is not None:
            handler.send_header("Content-Length", str(length))
        for key, value in (extra or {}).items():
            handler.send_header(key, value)
        handler.send_header("Connection", "close")
        handler.end_headers()

    def _answer_ok(self, handler, a: Answer) -> None:
        self._headers(handler, a.status, len(a.body) if a.content_length else None)
        for offset in range(0, len(a.body), a.chunk):
            handler.wfile.write(a.body[offset:offset + a.chunk])
            handler.wfile.flush()
            if a.delay and self._stop_hanging.wait(a.delay):
                return

    def _answer_status(self, handler, a: Answer) -> None:
        body = f"status {a.status}".encode()
        self._headers(handler, a.status, len(body))
        handler.wfile.write(body)

    def _answer_redirect(self, handler, a: Answer) -> None:
        self._headers(handler, a.status or 302, 0, {"Location": a.location})

    def _answer_short(self, handler, a: Answer) -> None:
        # Announces the whole body, sends half of it and closes normally.
        self._headers(handler, 200, len(a.body))
        handler.wfile.write(a.body[:len(a.body) // 2])
        handler.wfile.flush()

    def _answer_reset(self, handler, a: Answer) -> None:
        # Half the body, then a TCP reset (SO_LINGER 0).
        self._headers(handler, 200, len(a.body))
        handler.wfile.write(a.body[:len(a.body) // 2])
        handler.wfile.flush()
        time.sleep(0.2)
        handler.connection.setsockopt(socket.SOL_SOCKET, socket.SO_LINGER, struct.pack("ii", 1, 0))
        handler.connection.close()

    def _answer_hang(self, handler, a: Answer) -> None:
        self._stop_hanging.wait(120)

    def _answer_hang_mid(self, handler, a: Answer) -> None:
        self._headers(handler, 200, len(a.body))
        handler.wfile.write(a.body[:len(a.body) // 2])
        handler.wfile.flush()
        self._stop_hanging.wait(120)

    def _answer_oversize(self, handler, a: Answer) -> None:
        # Claims one byte more than the program accepts, then sends a little.
        self._headers(handler, 200, 256 * 1024 * 1024 + 1)
        handler.wfile.write(b"\0" * 65536)
        handler.wfile.flush()
        self._stop_hanging.wait(5)


def _self_signed_context(folder: Path) -> ssl.SSLContext:
    folder.mkdir(parents=True, exist_ok=True)
    cert, key = folder / "cert.pem", folder / "key.pem"
    subprocess.run(["openssl", "req", "-x509", "-newkey", "rsa:2048", "-nodes", "-days", "2",
                    "-subj", "/CN=localhost", "-addext", "subjectAltName=DNS:localhost",
                    "-keyout", str(key), "-out", str(cert)],
                   check=True, capture_output=True, timeout=60)
    context = ssl.SSLContext(ssl.PROTOCOL_TLS_SERVER)
    context.load_cert_chain(cert, key)
    return context
