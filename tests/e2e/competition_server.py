#!/usr/bin/env python3
"""A loopback stand-in for the competition server.

It takes the score post of "/r0002.asp", checks its header, unscrambles every
field and verifies them against each other and against the program file under
test, answers with scripted texts, and serves every other address as a small
page. Everything it receives is recorded for the test to look at.

A scripted answer may also be a behaviour: a function given the request's
handler (its connection, rfile and wfile) and an event that is set when the
server stops, which answers the post however it likes, or never; the
connection is closed when it returns. Behaviours that wait must return once
the event is set.

Standalone: competition_server.py --port N [--program zifra.exe] [--answer TEXT]...
prints each submission as one line of JSON.
"""
import argparse
import http.server
import json
import socket
import threading
import zlib

FIELD_KEY = bytes([0x3C, 0x91, 0xD4, 0x0E, 0x6B, 0xA2, 0x58, 0x17])
FIELD_ORDER = ["f1", "f2", "f3", "f4", "f5", "f6", "f7", "f8", "f9", "fa", "fb"]
FORM_TYPE = "application/x-www-form-urlencoded"
CPU_TEXTS = {"CPU INTEL 386", "CPU INTEL 486", "CPU INTEL PENTIUM", "CPU MIPS R4000",
             "CPU ALPHA 21064", "CPU UNKNOWN"}


def unscramble(value):
    """The field's text; raises ValueError unless it is upper-case hex pairs."""
    if len(value) % 2 or value != value.upper():
        raise ValueError(f"not upper-case hexadecimal pairs: {value!r}")
    raw = bytes.fromhex(value)
    return bytes(b ^ FIELD_KEY[i % 8] for i, b in enumerate(raw)).decode("cp1252")


def scramble(text):
    """A field's text as the game sends it: the inverse of `unscramble`."""
    raw = text.encode("cp1252")
    return bytes(b ^ FIELD_KEY[i % 8] for i, b in enumerate(raw)).hex().upper()


def score_form(user, password, score, play_time, checksum, length, speed=98, processor="CPU UNKNOWN"):
    """The body of the game's score post, its eleven fields consistent with
    one another; the play time as the game sends it, signed."""
    values = [scramble(user), "4", scramble(password), scramble(str(score)), scramble(str(play_time)),
              scramble(str(speed)), scramble(processor), scramble(str(checksum)), scramble(str(length)),
              scramble(str(score) + user), scramble(str(int32(length + score)))]
    return "&".join(f"{k}={v}" for k, v in zip(FIELD_ORDER, values)).encode()


def program_facts(path):
    """(checksum, length) of a file as the program computes them for its own
    file: a CRC-32 whose register starts at 0 and is not complemented."""
    with open(path, "rb") as f:
        data = f.read()
    return zlib.crc32(data, 0xFFFFFFFF) ^ 0xFFFFFFFF, len(data)


def int32(value):
    return (value + 2**31) % 2**32 - 2**31


class LoopbackHTTPServer(http.server.ThreadingHTTPServer):
    """Binds with SO_REUSEPORT as well as SO_REUSEADDR. The connections this
    server closes first linger in TIME_WAIT on its port, and so do
    zifra-server's (which sets SO_REUSEADDR); Linux lets a new listener bind
    beside them only when its flags and theirs agree, so without both,
    whichever of the two comes next on the port within a minute cannot
    listen."""

    def server_bind(self):
        self.socket.setsockopt(socket.SOL_SOCKET, socket.SO_REUSEPORT, 1)
        super().server_bind()


def decode_submission(body, content_type, program=None):
    """(fields, problems): the unscrambled fields by key and every way in
    which the post breaks the protocol."""
    problems = []
    if content_type != FORM_TYPE:
        problems.append(f"Content-Type {content_type!r}")
    pairs = [part.split("=", 1) for part in body.split("&")]
    keys = [pair[0] for pair in pairs]
    if keys != FIELD_ORDER:
        problems.append(f"fields {keys}")
    fields = {}
    for pair in pairs:
        if len(pair) != 2:
            problems.append(f"no value in {pair[0]!r}")
            continue
        key, value = pair
        if key == "f2":
            fields[key] = value
            continue
        try:
            fields[key] = unscramble(value)
        except ValueError as error:
            problems.append(f"{key}: {error}")
    if problems:
        return fields, problems

    if fields["f2"] != "4":
        problems.append(f"game id {fields['f2']!r}")
    try:
        score = int(fields["f4"])
        for key in ("f5", "f6", "f8", "f9"):
            int(fields[key])
        if fields["fa"] != fields["f4"] + fields["f1"]:
            problems.append(f"fa {fields['fa']!r} is not the score and the user name")
        if int(fields["fb"]) != int32(int(fields["f9"]) + score):
            problems.append(f"fb {fields['fb']!r} is not length + score")
    except ValueError as error:
        problems.append(f"not a number: {error}")
    if fields["f7"] not in CPU_TEXTS:
        problems.append(f"processor text {fields['f7']!r}")
    if program:
        checksum, length = program_facts(program)
        if (fields["f8"], fields["f9"]) != (str(checksum), str(length)):
            problems.append(f"checksum and length {fields['f8']}/{fields['f9']}, "
                            f"the program file has {checksum}/{length}")
    return fields, problems


class CompetitionServer:
    """Serves on 127.0.0.1:port in a thread of its own until stopped."""

    def __init__(self, port, program=None, answers=()):
        """`answers`: texts answered with status 200, or behaviours, one per
        post in turn; "0" after them."""
        self.program = program
        self.answers = list(answers)
        self.submissions = []  # dicts: fields, problems, answer, raw body
        self.pages = []  # paths with query of every other request
        self.lock = threading.Lock()
        self.posted = threading.Condition(self.lock)
        self.stopping = threading.Event()
        server = self

        class Handler(http.server.BaseHTTPRequestHandler):
            protocol_version = "HTTP/1.1"

            def do_POST(self):
                body = self.rfile.read(int(self.headers.get("Content-Length", 0))).decode("latin-1")
                if self.path != "/r0002.asp":
                    server.record_page("POST " + self.path)
                    return self.answer(404, "text/plain", b"")
                fields, problems = decode_submission(body, self.headers.get("Content-Type"), server.program)
                with server.lock:
                    answer = server.answers.pop(0) if server.answers else "0"
                    server.submissions.append({"fields": fields, "problems": problems,
                                               "answer": getattr(answer, "__name__", answer), "body": body})
                    server.posted.notify_all()
                if callable(answer):
                    self.close_connection = True
                    try:
                        answer(self, server.stopping)
                    except OSError:
                        pass  # the program gave up on the connection first
                    return
                self.answer(200, "text/plain", answer.encode("latin-1"))

            def do_GET(self):
                server.record_page(self.path)
                page = f"<html><body><p>Kvippa: {self.path}</p></body></html>".encode()
                self.answer(200, "text/html", page)

            def answer(self, status, content_type, data):
                # No connection outlives its answer: a test that starts a new
                # server on the port expects the next post there, not on a
                # connection that the program kept from an earlier one.
                self.close_connection = True
                self.send_response(status)
                self.send_header("Connection", "close")
                self.send_header("Content-Type", content_type)
                self.send_header("Content-Length", str(len(data)))
                self.end_headers()
                self.wfile.write(data)

            def log_message(self, *args):
                pass

        self.httpd = LoopbackHTTPServer(("127.0.0.1", port), Handler)
        self.thread = threading.Thread(target=self.httpd.serve_forever, daemon=True)

    def record_page(self, path):
        with self.lock:
            self.pages.append(path)

    def wait_for_submissions(self, count, timeout):
        """True once `count` submissions have come in, False after `timeout` s."""
        with self.lock:
            return self.posted.wait_for(lambda: len(self.submissions) >= count, timeout)

    def __enter__(self):
        self.thread.start()
        return self

    def __exit__(self, *exc):
        self.stopping.set()
        self.httpd.shutdown()
        self.httpd.server_close()
        self.thread.join(timeout=10)


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--port", type=int, required=True)
    parser.add_argument("--program", help="the zifra.exe whose checksum and length to expect")
    parser.add_argument("--answer", action="append", default=[], help="answer texts, in turn ('0' after them)")
    args = parser.parse_args()
    answers = [a.encode().decode("unicode_escape") for a in args.answer]
    with CompetitionServer(args.port, args.program, answers) as server:
        seen = 0
        try:
            while True:
                if server.wait_for_submissions(seen + 1, 1):
                    print(json.dumps(server.submissions[seen], ensure_ascii=False), flush=True)
                    seen += 1
        except KeyboardInterrupt:
            pass


if __name__ == "__main__":
    main()
