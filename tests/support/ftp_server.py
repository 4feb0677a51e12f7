"""A small FTP server for the tests, on 127.0.0.1.

Serves ROOT to one user with full rights and to anonymous with read rights, prints
"ready PORT" once it listens, and runs until it is terminated. With --events FILE every
successful login appends a line "login USER" to FILE, and every upload a line
"stor TYPE NAME" (TYPE "a" for ASCII, "i" for binary). With --hostile every directory
listing also shows entries whose names would lead out of a target directory ("../evil",
"a/b") and a line no listing parser knows. With --listing-extra FILE every listing also
shows the lines of FILE as they are (bytes, one entry a line). Each --reply CMD=TEXT answers
the command CMD with TEXT instead of doing it ("SIZE=250 fine" answers SIZE with code 250).
With --endless-listing every listing goes on with made-up entries until the client hangs up.
With --throttle N data goes out at no more than about N bytes a second, in bursts.
With --reset-at N every download's data connection is reset after N bytes, and the transfer
is answered with 426 on the control connection.
With --commands FILE every command line the server receives is appended to FILE as it came,
one a line, with CR, LF, NUL and backslash written as \\r, \\n, \\0 and \\\\.
Each --extra-user NAME PASSWORD adds another user with full rights to ROOT.
With --foreign-data CMD[,CMD...] an active-mode data connection for one of the commands (for
example RETR) comes from 127.0.0.2 instead of the control connection's address; every active
data connection is then made once the transfer command arrives rather than at PORT.
"""
import argparse
import logging
import os
import socket
import struct
import sys
import time

from pyftpdlib.authorizers import DummyAuthorizer
from pyftpdlib.filesystems import AbstractedFS
from pyftpdlib.handlers import ActiveDTP, FTPHandler, ThrottledDTPHandler
from pyftpdlib.servers import FTPServer


HOSTILE_LINES = [
    "-rw-r--r--   1 owner    group           5 Jan 01  2020 ../evil\r\n",
    "-rw-r--r--   1 owner    group           5 Jan 01  2020 a/b\r\n",
    "this line is no directory entry\r\n",
]


def listingLine(name):
    return b"-rw-r--r--   1 owner    group           5 Jan 01  2020 " + name + b"\r\n"


# Where an active data connection comes from in the --foreign-data mode.
FOREIGN_ADDRESS = "127.0.0.2"
TRANSFER_COMMANDS = ("RETR", "STOR", "STOU", "APPE", "LIST", "NLST", "MLSD")


def escapedLine(line):
    return (line.replace("\\", "\\\\").replace("\r", "\\r").replace("\n", "\\n")
            .replace("\0", "\\0"))


class DeferredActiveDTP(ActiveDTP):
    """An active data connection made from the address its command channel chose; PORT has
    been answered already, so reaching the client needs no second reply."""

    def connect_af_unspecified(self, addr, source_address=None):
        return ActiveDTP.connect_af_unspecified(self, addr, (self.cmd_channel.data_source, 0))

    def handle_connect(self):
        self.del_channel()
        if self._idler is not None and not self._idler.cancelled:
            self._idler.cancel()
        if not self.cmd_channel.connected:
            return self.close()
        err = self.socket.getsockopt(socket.SOL_SOCKET, socket.SO_ERROR)
        if err != 0:
            raise socket.error(err)
        handler = self.cmd_channel.dtp_handler(self.socket, self.cmd_channel)
        self.cmd_channel.data_channel = handler
        self.cmd_channel._on_dtp_connection()


class HostileFS(AbstractedFS):
    def format_list(self, basedir, listing, ignore_err=True):
        for line in AbstractedFS.format_list(self, basedir, listing, ignore_err):
            yield line
        for line in HOSTILE_LINES:
            yield line.encode("utf8")


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--root", required=True)
    parser.add_argument("--user", required=True)
    parser.add_argument("--password", required=True)
    parser.add_argument("--port", type=int, default=0)
    parser.add_argument("--events")
    parser.add_argument("--hostile", action="store_true")
    parser.add_argument("--listing-extra")
    parser.add_argument("--reply", action="append", default=[])
    parser.add_argument("--throttle", type=int, default=0)
    parser.add_argument("--endless-listing", action="store_true")
    parser.add_argument("--reset-at", type=int)
    parser.add_argument("--commands")
    parser.add_argument("--extra-user", nargs=2, action="append", default=[])
    parser.add_argument("--foreign-data")
    args = parser.parse_args()
    foreign_commands = set(args.foreign_data.split(",")) if args.foreign_data else set()
    replies = dict(reply.split("=", 1) for reply in args.reply)

    logging.basicConfig(level=logging.WARNING)
    authorizer = DummyAuthorizer()
    authorizer.add_user(args.user, args.password, args.root, perm="elradfmwMT")
    authorizer.add_anonymous(args.root, perm="elr")
    for name, password in args.extra_user:
        authorizer.add_user(name, password, args.root, perm="elradfmwMT")

    class Handler(FTPHandler):
        def on_login(self, username):
            if args.events:
                with open(args.events, "a") as events:
                    events.write("login %s\n" % username)

        def ftp_STOR(self, file, mode="w"):
            if args.events:
                with open(args.events, "a") as events:
                    events.write("stor %s %s\n" % (self._current_type, os.path.basename(file)))
            return FTPHandler.ftp_STOR(self, file, mode)

        def pre_process_command(self, line, cmd, arg):
            if args.commands:
                with open(args.commands, "a", encoding="utf8", errors="backslashreplace") as commands:
                    commands.write(escapedLine(line) + "\n")
            target = getattr(self, "deferred_port", None)
            if target is not None and cmd in TRANSFER_COMMANDS:
                self.deferred_port = None
                own = self.socket.getsockname()[0]
                self.data_source = FOREIGN_ADDRESS if cmd in foreign_commands else own
                self._dtp_connector = DeferredActiveDTP(target[0], target[1], self)
            return FTPHandler.pre_process_command(self, line, cmd, arg)

        def _make_eport(self, ip, port):
            if not foreign_commands:
                return FTPHandler._make_eport(self, ip, port)
            # Which command the connection serves is known only when that command arrives.
            self._shutdown_connecting_dtp()
            if self.data_channel is not None:
                self.data_channel.close()
                self.data_channel = None
            self.deferred_port = (ip, port)
            self.respond("200 Active data connection established.")

        def process_command(self, cmd, *args, **kwargs):
            if cmd in replies:
                self.respond(replies[cmd])
                return
            return FTPHandler.process_command(self, cmd, *args, **kwargs)

    Handler.authorizer = authorizer
    Handler.permit_foreign_addresses = False
    Handler.timeout = 60
    # A refused login answers at once rather than after the usual pause.
    Handler.auth_failed_timeout = 0.1
    if args.hostile:
        Handler.abstracted_fs = HostileFS
    if args.throttle:
        class Throttled(ThrottledDTPHandler):
            write_limit = args.throttle

        Handler.dtp_handler = Throttled
    if args.listing_extra:
        with open(args.listing_extra, "rb") as extra:
            extra_lines = [line + b"\r\n" for line in extra.read().split(b"\n") if line]
        base = Handler.abstracted_fs

        class ExtraFS(base):
            def format_list(self, basedir, listing, ignore_err=True):
                for line in base.format_list(self, basedir, listing, ignore_err):
                    yield line
                for line in extra_lines:
                    yield line

        Handler.abstracted_fs = ExtraFS
    if args.endless_listing:
        endless_base = Handler.abstracted_fs

        class EndlessFS(endless_base):
            def format_list(self, basedir, listing, ignore_err=True):
                for line in endless_base.format_list(self, basedir, listing, ignore_err):
                    yield line
                index = 0
                while True:
                    yield listingLine(b"endless-%09d" % index)
                    index += 1

        Handler.abstracted_fs = EndlessFS

    if args.reset_at is not None:
        # sendfile() would hand the whole file to the kernel; plain sends can be counted.
        Handler.use_sendfile = False
        sending_base = Handler.dtp_handler

        class Resetting(sending_base):
            def send(self, data):
                left = args.reset_at - self.tot_bytes_sent
                if self.receive or left > 0:
                    return sending_base.send(self, data if self.receive else data[:left])
                # A reset makes the receiver drop what it has not read yet: give it time
                # to read the bytes sent so far (this test server has one client).
                if self.tot_bytes_sent > 0:
                    time.sleep(0.3)
                # Linger of zero: closing sends a reset instead of an orderly end.
                self.socket.setsockopt(socket.SOL_SOCKET, socket.SO_LINGER, struct.pack("ii", 1, 0))
                self._resp = ("426 Connection reset after %d bytes." % self.tot_bytes_sent, logging.debug)
                self.close()
                return 0

        Handler.dtp_handler = Resetting

    server = FTPServer(("127.0.0.1", args.port), Handler)
    print("ready %d" % server.address[1], flush=True)
    server.serve_forever(handle_exit=True)


if __name__ == "__main__":
    sys.exit(main())
