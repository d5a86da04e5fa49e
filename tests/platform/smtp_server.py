"""SMTP server for the platform tests, listening on 127.0.0.1.

Each accepted message is stored as NAME.eml (the data as received) beside NAME.rcpt (the
envelope recipients, one a line), the .rcpt first so that a visible .eml is always complete.
One address is refused with 550 so that partial delivery can be tested.
"""

import argparse
import asyncio
import itertools
import os

from aiosmtpd.smtp import SMTP

REFUSED_RECIPIENT = "refuse@example.org"


def write_atomically(path, data):
    partial = path + ".partial"
    with open(partial, "wb") as stream:
        stream.write(data)
    os.replace(partial, path)


class Recorder:
    def __init__(self, mail_dir):
        self.mail_dir = mail_dir
        self.counter = itertools.count()

    async def handle_RCPT(self, server, session, envelope, address, rcpt_options):
        if address.lower() == REFUSED_RECIPIENT:
            return "550 5.1.1 <%s>: Recipient address rejected" % address
        envelope.rcpt_tos.append(address)
        return "250 OK"

    async def handle_DATA(self, server, session, envelope):
        stem = os.path.join(self.mail_dir, "message-%d" % next(self.counter))
        recipients = "".join(address + "\n" for address in envelope.rcpt_tos)
        write_atomically(stem + ".rcpt", recipients.encode())
        write_atomically(stem + ".eml", envelope.original_content)
        return "250 Message accepted for delivery"


async def serve(mail_dir, port_file):
    recorder = Recorder(mail_dir)
    loop = asyncio.get_running_loop()
    server = await loop.create_server(
        lambda: SMTP(recorder, hostname="mail.quillmar.test"), "127.0.0.1", 0
    )
    write_atomically(port_file, str(server.sockets[0].getsockname()[1]).encode())
    await server.serve_forever()


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--mail-dir", required=True)
    parser.add_argument("--port-file", required=True)
    args = parser.parse_args()
    os.makedirs(args.mail_dir, exist_ok=True)
    asyncio.run(serve(args.mail_dir, args.port_file))


if __name__ == "__main__":
    main()
