#!/usr/bin/env python3
"""A time-stamp authority for the signing test: answers RFC 3161 requests posted over HTTP
on 127.0.0.1 with `openssl ts -reply`, so that the signing step's time-stamp path runs as it
does against a public authority, without a network.

    timestamp_server.py PORT_FILE OPENSSL_TS_CONFIG [--fail-from N]

Listens on a free port, which it writes to PORT_FILE once it accepts connections. With
--fail-from N, the N-th request and every one after it get an HTTP error instead of a reply,
as from an authority that stops answering halfway through a release.
"""
import argparse
import http.server
import os
import subprocess
import sys
import tempfile


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("port_file")
    parser.add_argument("config")
    parser.add_argument("--fail-from", type=int, default=0)
    args = parser.parse_args()
    served = 0

    class Handler(http.server.BaseHTTPRequestHandler):
        def do_POST(self):
            try:
                self.answer()
            except BrokenPipeError:
                # The client gave up on the answer (osslsigncode does, on an error status).
                pass

        def answer(self):
            nonlocal served
            served += 1
            length = int(self.headers.get("Content-Length", "0"))
            query = self.rfile.read(length)
            if args.fail_from and served >= args.fail_from:
                self.send_error(503, "failing on purpose from request %d" % args.fail_from)
                return
            with tempfile.TemporaryDirectory() as work:
                query_file = os.path.join(work, "query.tsq")
                reply_file = os.path.join(work, "reply.tsr")
                with open(query_file, "wb") as f:
                    f.write(query)
                run = subprocess.run(
                    ["openssl", "ts", "-reply", "-config", args.config,
                     "-queryfile", query_file, "-out", reply_file],
                    capture_output=True)
                if run.returncode != 0:
                    sys.stderr.write(run.stderr.decode(errors="replace"))
                    self.send_error(500, "openssl ts -reply failed")
                    return
                with open(reply_file, "rb") as f:
                    reply = f.read()
            self.send_response(200)
            self.send_header("Content-Type", "application/timestamp-reply")
            self.send_header("Content-Length", str(len(reply)))
            self.end_headers()
            self.wfile.write(reply)

        def log_message(self, format, *log_args):
            sys.stderr.write("timestamp-server: %s\n" % (format % log_args))

    server = http.server.HTTPServer(("127.0.0.1", 0), Handler)
    # Written only now, when connections are accepted, and in one step, so that whoever waits
    # for the file never reads half a number.
    with open(args.port_file + ".tmp", "w") as f:
        f.write("%d\n" % server.server_address[1])
    os.replace(args.port_file + ".tmp", args.port_file)
    server.serve_forever()


if __name__ == "__main__":
    main()
