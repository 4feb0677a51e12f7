#!/usr/bin/python3
"""A small HTTP server for tests, doing on demand what a plain file server cannot.

Usage: scripted_http_server.py LOGFILE [ROOT]
Prints "PORT <n>" once it listens on 127.0.0.1, then serves until killed. Every request is
appended to LOGFILE as one JSON line: method, target, headers, the head as it came (its
request line and header lines), and which connection it came over (connectionNumber, counted
from 1 in the order they were accepted, and the client's port). Every accepted connection is
logged too, as {"connection": n}, so a test can show that nothing at all reached the server.

Paths (query arguments in brackets; the first segment picks the behaviour, so /file/a.exe
works like /file). A second segment with "=" in it carries arguments inside the path, for a
client that only appends names to a base address: /reset/size=9000&at=10/a.exe is
/reset/a.exe?size=9000&at=10 (a real query argument wins).
  /file[size]            200 with size bytes
  /auth[user,pass,size,page]
                         401 until the Basic credentials match, then 200 with size bytes. The
                         401 carries a short page, or page bytes with Content-Length, or with
                         page=endless a chunked page that never ends (until the client hangs up)
  /nolength[size]        200 without Content-Length; the body ends when the connection closes
  /stall[size]           announces 2*size bytes, sends size bytes, then goes silent
  /silent                accepts the request and never answers
  /drop[size]            announces 2*size bytes, sends size bytes, then drops the connection
  /redirect[to]          302 to the given address
  /status[code]          that status with a short body
  /garbage[line]         answers with the given line instead of a status line, then closes
  /bigheaders[bytes]     200 after that many bytes of header lines (1 MiB when not given)
  /loop                  302 back to the same address, forever
  /claim[size,length]    announces length bytes, sends size bytes, then closes
  /trickle[size]         announces size bytes and sends one a second
  /slowhead[lines,every,size]
                         sends its status line, then lines header lines (40 when not given), one
                         every every seconds (0.5), then 200 with size bytes
  /endless               200 with a chunked body that never ends (until the client hangs up)
  /badchunk[size]        chunked: one chunk of size bytes, then a chunk size that is no number
  /reset[size,at]        announces size bytes, sends at bytes, then resets the connection
  /flaky[fail,code,after,size]
                         fails the first fail requests for this address (3 when not given),
                         then 200 with size bytes; a failure is the status code (503 when not
                         given) with Retry-After after when given, or with code 0 a body broken
                         off halfway. Every answer but a status carries a fixed Last-Modified
  /resume[size,cut,cuts,acts,etags,lastmod,lastmods,ifrange,vary,seed,shift,total,ranges]
                         a file served with a validator that honours Range with If-Range. The
                         n-th request to a path (from 0) gets ETag etags[n] (the last one once
                         they run out; comma-separated, '"v1"' by default; noetag=1 for none) and
                         Last-Modified lastmod, or lastmods[n] taken as etags are ('|' between
                         them, as dates hold commas). A request with
                         Range whose If-Range matches (ifrange=0: whatever it names; none always
                         matches) gets 206 with Content-Range "bytes FIRST+shift-LAST/total"
                         (416 when FIRST is not below size); ranges=0 ignores Range (200). The
                         file's bytes are those of every route shifted by seed (0), and with
                         vary=1 also by the index of the validator the request gets, so a file
                         with a new validator has new content. The n-th request acts as
                         acts[n] says (comma-separated; the last once they run out): "cut" sends
                         cut bytes of its body, then drops the connection; "reset" resets it
                         there; "stall" goes silent there; "trickle" goes on with a byte every
                         half second; "slowhead" trickles its header lines as /slowhead does;
                         "whole" sends it all. Without acts the first cuts (1) requests cut and
                         the rest are whole; cut < 0 never cuts.
  /mirror[cut,fail,endless]/PATH
                         the file ROOT/PATH (404 when there is none) with an ETag of its contents,
                         honouring Range (with If-Range when one is sent), as a mirror of the
                         download server. The first answer for a PATH sends the bytes before
                         offset cut of the file only, then resets the connection; the fail answers
                         after it are 503 with a Retry-After no client waits for (3600). A PATH
                         whose last segment is endless is answered as /endless is
  absolute address       (a request to a proxy) 200 with "proxied"

POST and PUT read the body their Content-Length announces and log its length and MD5
(bodyLength, bodyMd5), then answer like GET (/upload answers 200). /slowread takes the body
a block a tenth of a second, /silent never reads it, /discard counts it without keeping it
(no bodyMd5 then).
"""
import base64
import struct
import hashlib
import json
import os
import socket
import sys
import threading
import time
from http.server import BaseHTTPRequestHandler, ThreadingHTTPServer
from urllib.parse import parse_qs, urlsplit

LOG_LOCK = threading.Lock()


def body_of(size, shift=0):
    pattern = bytes(range(256))
    shift %= 256
    pattern = pattern[shift:] + pattern[:shift]
    return (pattern * (size // 256 + 1))[:size]


def turn_value(text, turn, separator=","):
    values = text.split(separator)
    return values[min(turn, len(values) - 1)], min(turn, len(values) - 1)


def arguments_of(parts):
    segments = parts.path.split("/")
    arguments = {}
    if len(segments) > 2 and "=" in segments[2]:
        arguments.update({k: v[0] for k, v in parse_qs(segments[2]).items()})
    arguments.update({k: v[0] for k, v in parse_qs(parts.query).items()})
    return arguments


class Handler(BaseHTTPRequestHandler):
    protocol_version = "HTTP/1.1"

    def log_message(self, *args):
        pass

    def setup(self):
        super().setup()
        with LOG_LOCK, open(self.server.log_path, "a", encoding="utf-8") as log:
            self.server.connections += 1
            self.connection_number = self.server.connections
            log.write(json.dumps({"connection": self.server.connections}) + "\n")

    def record(self, body=None, length=None):
        entry = {"method": self.command, "target": self.path,
                 "headers": {k.lower(): v for k, v in self.headers.items()},
                 "head": self.raw_requestline.decode("latin-1") + self.headers.as_string(),
                 "connectionNumber": self.connection_number, "clientPort": self.client_address[1]}
        if body is not None:
            entry["bodyLength"] = len(body)
            entry["bodyMd5"] = hashlib.md5(body).hexdigest()
        if length is not None:
            entry["bodyLength"] = length
        with LOG_LOCK, open(self.server.log_path, "a", encoding="utf-8") as log:
            log.write(json.dumps(entry) + "\n")

    def send_body(self, code, body, extra=None):
        self.send_response(code)
        for name, value in (extra or {}).items():
            self.send_header(name, value)
        self.send_header("Content-Length", str(len(body)))
        self.end_headers()
        self.wfile.write(body)
        self.wfile.flush()

    def do_GET(self):
        self.record()
        if self.path.startswith("http://") or self.path.startswith("https://"):
            self.send_body(200, b"proxied")
            return
        parts = urlsplit(self.path)
        query = arguments_of(parts)
        size = int(query.get("size", "1000"))
        # The first path segment picks the behaviour; the rest only names the file.
        route = parts.path.split("/")[1] if "/" in parts.path else ""
        handler = getattr(self, "route_" + route, None)
        if handler is None:
            self.send_body(404, b"not found")
            return
        handler(query, size)

    def do_POST(self):
        parts = urlsplit(self.path)
        route = parts.path.split("/")[1] if "/" in parts.path else ""
        if route == "silent":
            time.sleep(60)
            self.close_connection = True
            return
        length = int(self.headers.get("Content-Length", "0"))
        if route == "discard":
            # Huge bodies: counted, not kept.
            received = 0
            while received < length:
                chunk = self.rfile.read(min(1 << 20, length - received))
                if not chunk:
                    break
                received += len(chunk)
            self.record(length=received)
            self.send_body(200, b"counted")
            return
        body = b""
        while len(body) < length:
            chunk = self.rfile.read(min(4096, length - len(body)))
            if not chunk:
                break
            body += chunk
            if route == "slowread":
                time.sleep(0.1)
        self.record(body)
        if route in ("upload", "slowread"):
            self.send_body(200, b"stored")
            return
        query = arguments_of(parts)
        handler = getattr(self, "route_" + route, None)
        if handler is None:
            self.send_body(404, b"not found")
            return
        handler(query, int(query.get("size", "1000")))

    do_PUT = do_POST

    def route_file(self, query, size):
        self.send_body(200, body_of(size))

    def route_auth(self, query, size):
        expected = "Basic " + base64.b64encode(
            (query.get("user", "") + ":" + query.get("pass", "")).encode("latin-1")).decode()
        if self.headers.get("Authorization") == expected:
            self.send_body(200, body_of(size))
            return
        challenge = {"WWW-Authenticate": 'Basic realm="test"'}
        page = query.get("page")
        if page == "endless":
            self.send_endless(401, challenge)
        elif page is not None:
            self.send_body(401, body_of(int(page)), challenge)
        else:
            self.send_body(401, b"unauthorised", challenge)

    def route_nolength(self, query, size):
        self.send_response(200)
        self.send_header("Connection", "close")
        self.end_headers()
        self.wfile.write(body_of(size))
        self.wfile.flush()
        self.close_connection = True

    def route_stall(self, query, size):
        self.send_response(200)
        self.send_header("Content-Length", str(2 * size))
        self.end_headers()
        self.wfile.write(body_of(size))
        self.wfile.flush()
        time.sleep(60)
        self.close_connection = True

    def route_silent(self, query, size):
        time.sleep(60)
        self.close_connection = True

    def route_drop(self, query, size):
        self.send_response(200)
        self.send_header("Content-Length", str(2 * size))
        self.end_headers()
        self.wfile.write(body_of(size))
        self.wfile.flush()
        self.connection.shutdown(socket.SHUT_RDWR)
        self.close_connection = True

    def route_redirect(self, query, size):
        self.send_body(302, b"moved", {"Location": query.get("to", "/")})

    def route_status(self, query, size):
        self.send_body(int(query.get("code", "500")), b"status page")

    def route_garbage(self, query, size):
        line = query.get("line", "garbage")
        self.quietly(lambda: self.wfile.write(line.encode("latin-1") + b"\r\n\r\nbody"))
        self.close_connection = True

    def route_bigheaders(self, query, size):
        wanted = int(query.get("bytes", str(1 << 20)))

        def send():
            self.wfile.write(b"HTTP/1.1 200 OK\r\n")
            filler = b"a" * 990
            sent, index = 0, 0
            while sent < wanted:
                line = b"X-Filler-%d: %s\r\n" % (index, filler)
                self.wfile.write(line)
                sent += len(line)
                index += 1
            body = body_of(size)
            self.wfile.write(b"Content-Length: %d\r\n\r\n" % len(body) + body)
            self.wfile.flush()
        self.quietly(send)
        self.close_connection = True

    def route_loop(self, query, size):
        self.send_body(302, b"moved", {"Location": self.path})

    def route_claim(self, query, size):
        def send():
            self.send_response(200)
            self.send_header("Content-Length", query.get("length", "0"))
            self.send_header("Connection", "close")
            self.end_headers()
            self.wfile.write(body_of(size))
            self.wfile.flush()
        self.quietly(send)
        self.close_connection = True

    def route_badchunk(self, query, size):
        def send():
            self.send_response(200)
            self.send_header("Transfer-Encoding", "chunked")
            self.send_header("Connection", "close")
            self.end_headers()
            self.wfile.write(b"%x\r\n" % size + body_of(size) + b"\r\nzz\r\nmore\r\n0\r\n\r\n")
            self.wfile.flush()
        self.quietly(send)
        self.close_connection = True

    def route_trickle(self, query, size):
        def send():
            self.send_response(200)
            self.send_header("Content-Length", str(size))
            self.end_headers()
            for byte in body_of(size):
                self.wfile.write(bytes([byte]))
                self.wfile.flush()
                time.sleep(1)
        self.quietly(send)
        self.close_connection = True

    def trickle_head(self, query, lines):
        every = float(query.get("every", "0.5"))
        for index in range(lines):
            self.wfile.write(b"X-Slow-%d: %s\r\n" % (index, b"a" * 10))
            self.wfile.flush()
            time.sleep(every)

    def route_slowhead(self, query, size):
        def send():
            self.wfile.write(b"HTTP/1.1 200 OK\r\n")
            self.wfile.flush()
            self.trickle_head(query, int(query.get("lines", "40")))
            self.wfile.write(b"Content-Length: %d\r\n\r\n" % size + body_of(size))
            self.wfile.flush()
        self.quietly(send)
        self.close_connection = True

    def route_endless(self, query, size):
        self.send_endless(200)

    def send_endless(self, code, extra=None):
        def send():
            self.send_response(code)
            for name, value in (extra or {}).items():
                self.send_header(name, value)
            self.send_header("Transfer-Encoding", "chunked")
            self.end_headers()
            chunk = body_of(16384)
            while True:
                self.wfile.write(b"%x\r\n" % len(chunk) + chunk + b"\r\n")
                self.wfile.flush()
        self.quietly(send)
        self.close_connection = True

    def route_reset(self, query, size):
        def send():
            self.send_response(200)
            self.send_header("Content-Length", str(size))
            self.end_headers()
            self.wfile.write(body_of(size)[:int(query.get("at", "0"))])
            self.wfile.flush()
            # A reset makes the receiver drop what it has not read yet: give it time to
            # read the bytes sent so far.
            if int(query.get("at", "0")) > 0:
                time.sleep(0.3)
            # Linger of zero: close() sends a reset instead of an orderly end.
            self.connection.setsockopt(socket.SOL_SOCKET, socket.SO_LINGER, struct.pack("ii", 1, 0))
            self.connection.close()
        self.quietly(send)
        self.close_connection = True

    FLAKY_MODIFIED = "Wed, 01 Jan 2025 00:00:00 GMT"

    def route_flaky(self, query, size):
        with LOG_LOCK:
            seen = self.server.flaky_counts.get(self.path, 0)
            self.server.flaky_counts[self.path] = seen + 1
        if seen >= int(query.get("fail", "3")):
            self.send_body(200, body_of(size), {"Last-Modified": self.FLAKY_MODIFIED})
            return
        code = int(query.get("code", "503"))
        if code != 0:
            extra = {"Retry-After": query["after"]} if "after" in query else {}
            self.send_body(code, b"try again later", extra)
            return

        def send():
            self.send_response(200)
            self.send_header("Content-Length", str(size))
            self.send_header("Last-Modified", self.FLAKY_MODIFIED)
            self.end_headers()
            self.wfile.write(body_of(size)[:size // 2])
            self.wfile.flush()
            self.connection.shutdown(socket.SHUT_RDWR)
        self.quietly(send)
        self.close_connection = True
    def route_resume(self, query, size):
        key = urlsplit(self.path).path
        with LOG_LOCK:
            turn = self.server.turns.get(key, 0)
            self.server.turns[key] = turn + 1
        etag, version = turn_value(query.get("etags", '"v1"'), turn)
        if query.get("noetag"):
            etag = ""
        lastmod = query.get("lastmod")
        if "lastmods" in query:
            lastmod, version = turn_value(query["lastmods"], turn, "|")
        if "acts" in query:
            act, _ = turn_value(query["acts"], turn)
        else:
            act = "cut" if turn < int(query.get("cuts", "1")) else "whole"
        cut = int(query.get("cut", "-1")) if act not in ("whole", "slowhead") else -1
        shift = int(query.get("seed", "0")) + (version if query.get("vary") == "1" else 0)
        body = body_of(size, shift)
        headers = {}
        if etag:
            headers["ETag"] = etag
        if lastmod:
            headers["Last-Modified"] = lastmod
        wanted = self.headers.get("Range", "")
        condition = self.headers.get("If-Range")
        code = 200
        if wanted.startswith("bytes=") and query.get("ranges", "1") != "0" and (
                condition is None or query.get("ifrange") == "0" or condition in (etag, lastmod)):
            first = int(wanted[6:].split("-")[0])
            if first >= size:
                self.send_body(416, b"", {"Content-Range": "bytes */%d" % size})
                return
            code = 206
            headers["Content-Range"] = "bytes %d-%d/%s" % (first + int(query.get("shift", "0")), size - 1,
                                                           query.get("total", str(size)))
            body = body[first:]

        sent = [0]

        def send():
            if act == "slowhead":
                self.wfile.write(b"HTTP/1.1 %d OK\r\n" % code)
                self.trickle_head(query, int(query.get("lines", "40")))
            else:
                self.send_response(code)
            for name, value in headers.items():
                self.send_header(name, value)
            self.send_header("Content-Length", str(len(body)))
            self.end_headers()
            self.wfile.write(body if cut < 0 else body[:cut])
            self.wfile.flush()
            sent[0] = len(body) if cut < 0 else min(cut, len(body))
            if cut < 0:
                return
            self.close_connection = True
            if act == "stall":
                time.sleep(60)
            elif act == "trickle":
                for byte in body[cut:]:
                    self.wfile.write(bytes([byte]))
                    self.wfile.flush()
                    sent[0] += 1
                    time.sleep(0.5)
            elif act == "reset":
                time.sleep(0.3)
                self.connection.setsockopt(socket.SOL_SOCKET, socket.SO_LINGER, struct.pack("ii", 1, 0))
                self.connection.close()
            else:
                self.connection.shutdown(socket.SHUT_RDWR)
        self.quietly(send)
        with LOG_LOCK, open(self.server.log_path, "a", encoding="utf-8") as log:
            log.write(json.dumps({"answered": self.path, "status": code, "sent": sent[0]}) + "\n")

    def route_mirror(self, query, size):
        segments = urlsplit(self.path).path.split("/")[2:]
        if segments and "=" in segments[0]:
            segments = segments[1:]
        if segments and segments[-1] == query.get("endless"):
            self.route_endless(query, size)
            return
        root = self.server.root
        path = os.path.realpath(os.path.join(root, *segments)) if root and segments else None
        if path is None or not path.startswith(os.path.realpath(root) + os.sep) or not os.path.isfile(path):
            self.send_body(404, b"not found")
            return
        with LOG_LOCK:
            turn = self.server.turns.get(self.path, 0)
            self.server.turns[self.path] = turn + 1
        if "cut" in query and 1 <= turn <= int(query.get("fail", "0")):
            self.send_body(503, b"try again later", {"Retry-After": "3600"})
            return
        with open(path, "rb") as f:
            content = f.read()
        etag = '"%s"' % hashlib.sha256(content).hexdigest()[:16]
        headers = {"ETag": etag}
        first, code = 0, 200
        wanted = self.headers.get("Range", "")
        condition = self.headers.get("If-Range")
        if wanted.startswith("bytes=") and wanted.endswith("-") and condition in (None, etag):
            first = int(wanted[6:-1])
            if first >= len(content):
                self.send_body(416, b"", {"Content-Range": "bytes */%d" % len(content)})
                return
            code = 206
            headers["Content-Range"] = "bytes %d-%d/%d" % (first, len(content) - 1, len(content))
        body = content[first:]
        cut = int(query["cut"]) - first if "cut" in query and turn == 0 else -1

        def send():
            self.send_response(code)
            for name, value in headers.items():
                self.send_header(name, value)
            self.send_header("Content-Length", str(len(body)))
            self.end_headers()
            self.wfile.write(body if cut < 0 else body[:max(cut, 0)])
            self.wfile.flush()
            if cut >= 0:
                time.sleep(0.3)
                self.connection.setsockopt(socket.SOL_SOCKET, socket.SO_LINGER, struct.pack("ii", 1, 0))
                self.connection.close()
        self.quietly(send)
        if cut >= 0:
            self.close_connection = True
        with LOG_LOCK, open(self.server.log_path, "a", encoding="utf-8") as log:
            log.write(json.dumps({"answered": self.path, "status": code,
                                  "sent": len(body) if cut < 0 else min(max(cut, 0), len(body))}) + "\n")

    def quietly(self, send):
        # The client may hang up first; that is what these routes test, not a server fault.
        try:
            send()
        except OSError:
            pass


class Server(ThreadingHTTPServer):
    def handle_error(self, request, client_address):
        # A client that hangs up with part of an answer unread is what many routes are for,
        # not a fault of the server worth a traceback.
        if isinstance(sys.exc_info()[1], ConnectionError):
            return
        super().handle_error(request, client_address)


def main():
    server = Server(("127.0.0.1", 0), Handler)
    server.daemon_threads = True
    server.log_path = sys.argv[1]
    server.root = sys.argv[2] if len(sys.argv) > 2 else None
    server.connections = 0
    server.flaky_counts = {}
    server.turns = {}
    print("PORT %d" % server.server_address[1], flush=True)
    server.serve_forever()


if __name__ == "__main__":
    main()
