"""Decodes a received message with Python's own MIME parser, as an independent peer.

Writes OUT/subject.txt, OUT/to.txt and OUT/cc.txt (decoded header values) and each
attachment as OUT/attachments/FILENAME.
"""

import email
import email.policy
import os
import sys


def main():
    message_path, out_dir = sys.argv[1], sys.argv[2]
    with open(message_path, "rb") as stream:
        message = email.message_from_binary_file(stream, policy=email.policy.default)
    os.makedirs(os.path.join(out_dir, "attachments"), exist_ok=True)
    for header in ("subject", "to", "cc"):
        with open(os.path.join(out_dir, header + ".txt"), "w", encoding="utf-8") as stream:
            stream.write(str(message.get(header, "")))
    for part in message.iter_attachments():
        name = os.path.basename(part.get_filename())
        with open(os.path.join(out_dir, "attachments", name), "wb") as stream:
            stream.write(part.get_content())


if __name__ == "__main__":
    main()
