#!/usr/bin/env python3
"""Serves a built site on 127.0.0.1 with the types browsers want for it,
gzip-compressed where the browser takes it, as an ordinary static host does."""
import argparse
import email.utils
import functools
import gzip
import http.server
import io
import os

COMPRESSED = {".html", ".js", ".css", ".wasm", ".svg", ".webmanifest", ".json"}


class Handler(http.server.SimpleHTTPRequestHandler):
    protocol_version = "HTTP/1.1"  # connections kept open, as a real host keeps them
    extensions_map = {
        **http.server.SimpleHTTPRequestHandler.extensions_map,
        ".wasm": "application/wasm",
        ".webmanifest": "application/manifest+json",
        ".js": "text/javascript",
        ".svg": "image/svg+xml",
    }

    _packed = {}  # path -> (mtime, size, gzip bytes)

    def send_head(self):
        path = self.translate_path(self.path)
        if os.path.isdir(path):
            if not self.path.split("?")[0].endswith("/"):
                return super().send_head()  # the redirect to the folder
            path = os.path.join(path, "index.html")
        accepts = "gzip" in self.headers.get("Accept-Encoding", "")
        if (not accepts or os.path.splitext(path)[1] not in COMPRESSED
                or not os.path.isfile(path)):
            return super().send_head()
        stat = os.stat(path)
        cached = self._packed.get(path)
        if not cached or cached[:2] != (stat.st_mtime, stat.st_size):
            with open(path, "rb") as f:
                cached = (stat.st_mtime, stat.st_size, gzip.compress(f.read(), 6))
            Handler._packed[path] = cached
        body = cached[2]
        self.send_response(200)
        self.send_header("Content-Type", self.guess_type(path))
        self.send_header("Content-Encoding", "gzip")
        self.send_header("Vary", "Accept-Encoding")
        self.send_header("Content-Length", str(len(body)))
        self.send_header("Last-Modified", email.utils.formatdate(stat.st_mtime, usegmt=True))
        self.end_headers()
        return io.BytesIO(body)

    # Always ask: the service worker, not the HTTP cache, keeps the site
    # offline. --max-age plays a host that lets browsers keep every file.
    cache_control = "no-cache"

    def end_headers(self):
        self.send_header("Cache-Control", self.cache_control)
        super().end_headers()

    def log_message(self, *args):
        pass


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--port", type=int, default=8080)
    parser.add_argument("--max-age", type=int, metavar="SECONDS",
                        help="let browsers keep every file that long without asking")
    parser.add_argument("site")
    args = parser.parse_args()
    if args.max_age is not None:
        Handler.cache_control = "max-age=%d" % args.max_age
    handler = functools.partial(Handler, directory=args.site)
    with http.server.ThreadingHTTPServer(("127.0.0.1", args.port), handler) as server:
        server.serve_forever()


if __name__ == "__main__":
    main()
