"""FTP server for the platform tests: serves one directory on 127.0.0.1.

The port is chosen by the system and written to --port-file once the server listens.
"""

import argparse
import os

from pyftpdlib.authorizers import DummyAuthorizer
from pyftpdlib.handlers import FTPHandler
from pyftpdlib.servers import FTPServer

USER = "quill"
PASSWORD = "ftp-secret-42"


def write_atomically(path, text):
    partial = path + ".partial"
    with open(partial, "w") as stream:
        stream.write(text)
    os.replace(partial, path)


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--root", required=True)
    parser.add_argument("--port-file", required=True)
    args = parser.parse_args()

    os.makedirs(args.root, exist_ok=True)
    authorizer = DummyAuthorizer()
    authorizer.add_user(USER, PASSWORD, args.root, perm="elradfmwMT")

    class Handler(FTPHandler):
        pass

    Handler.authorizer = authorizer
    server = FTPServer(("127.0.0.1", 0), Handler)
    write_atomically(args.port_file, str(server.socket.getsockname()[1]))
    server.serve_forever()


if __name__ == "__main__":
    main()
