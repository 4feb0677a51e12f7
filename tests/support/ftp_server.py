"""A small FTP server for the tests, on 127.0.0.1.

Serves ROOT to one user with full rights and to anonymous with read rights, prints
"ready PORT" once it listens, and runs until it is terminated.
"""
import argparse
import logging
import sys

from pyftpdlib.authorizers import DummyAuthorizer
from pyftpdlib.handlers import FTPHandler
from pyftpdlib.servers import FTPServer


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--root", required=True)
    parser.add_argument("--user", required=True)
    parser.add_argument("--password", required=True)
    parser.add_argument("--port", type=int, default=0)
    args = parser.parse_args()

    logging.basicConfig(level=logging.WARNING)
    authorizer = DummyAuthorizer()
    authorizer.add_user(args.user, args.password, args.root, perm="elradfmwMT")
    authorizer.add_anonymous(args.root, perm="elr")

    handler = FTPHandler
    handler.authorizer = authorizer
    handler.permit_foreign_addresses = False
    handler.timeout = 60

    server = FTPServer(("127.0.0.1", args.port), handler)
    print("ready %d" % server.address[1], flush=True)
    server.serve_forever(handle_exit=True)


if __name__ == "__main__":
    sys.exit(main())
