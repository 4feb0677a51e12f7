#!/usr/bin/python3
"""Serves a folder over HTTP on 127.0.0.1 at a limited rate, the way a distant download
server would, so that a download takes long enough to watch its progress.

Usage: slow_mirror.py FOLDER PORT_FILE [BYTES_PER_SECOND [PROGRESS_FILE]]
Listens on a free port and writes that port to PORT_FILE once it accepts connections. With
PROGRESS_FILE, keeps in it how far the latest file has been sent: "SENT TOTAL" in bytes.
"""
import functools
import http.server
import os
import sys
import time

BLOCK = 16384


def write_atomically(path, text):
    partial = path + ".part"
    with open(partial, "w") as f:
        f.write(text)
    os.replace(partial, path)


class SlowHandler(http.server.SimpleHTTPRequestHandler):
    rate = 256 * 1024
    progress_file = None

    def copyfile(self, source, outputfile):
        total = os.fstat(source.fileno()).st_size
        sent = 0
        while True:
            block = source.read(BLOCK)
            if not block:
                return
            outputfile.write(block)
            outputfile.flush()
            sent += len(block)
            if self.progress_file:
                write_atomically(self.progress_file, f"{sent} {total}\n")
            time.sleep(len(block) / self.rate)

    def log_message(self, format, *args):
        pass


def main():
    folder, port_file = sys.argv[1], sys.argv[2]
    if len(sys.argv) > 3:
        SlowHandler.rate = int(sys.argv[3])
    if len(sys.argv) > 4:
        SlowHandler.progress_file = sys.argv[4]
    handler = functools.partial(SlowHandler, directory=folder)
    server = http.server.ThreadingHTTPServer(("127.0.0.1", 0), handler)
    write_atomically(port_file, str(server.server_address[1]))
    server.serve_forever()


if __name__ == "__main__":
    main()
