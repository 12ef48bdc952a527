#!/usr/bin/env python3
"""A loopback server that trickles: every page and every data answer of the
Census Data API comes at BYTES_PER_SECOND, the census variable list at once,
robots.txt is missing (for the wait benchmarks).

  trickle_server.py PORT_FILE BYTES_PER_SECOND

Writes the port it listens on to PORT_FILE."""
import http.server
import socketserver
import sys
import time

VARIABLES = b'{"variables":{"DP05_0001E":{"label":"Estimate!!SEX AND AGE!!Total population"}}}'
# A page and a table of about 3.5 KB each: at 2.5 bytes a second some 23 minutes.
PAGE = b"<html><body>" + b"<p>Population 19,756</p>" * 145 + b"</body></html>"
TABLE = (b'[["DP05_0001E","zip code tabulation area"]'
         + b"".join(b',\n["%d","%05d"]' % (n, n) for n in range(1, 200)) + b"]")


class Handler(http.server.BaseHTTPRequestHandler):
    protocol_version = "HTTP/1.0"

    def log_message(self, *args):
        pass

    def do_GET(self):
        if self.path.startswith("/robots.txt"):
            self.send_error(404)
            return
        body = VARIABLES if "/variables.json" in self.path else TABLE if "?get=" in self.path else PAGE
        self.send_response(200)
        self.send_header("Content-Length", str(len(body)))
        self.end_headers()
        if body is VARIABLES:
            self.wfile.write(body)
            return
        pause = 1.0 / RATE
        try:
            for i in range(len(body)):
                self.wfile.write(body[i:i + 1])
                self.wfile.flush()
                time.sleep(pause)
        except (BrokenPipeError, ConnectionResetError):
            pass


class Server(socketserver.ThreadingMixIn, http.server.HTTPServer):
    daemon_threads = True


RATE = float(sys.argv[2])
server = Server(("127.0.0.1", 0), Handler)
with open(sys.argv[1], "w") as port_file:
    port_file.write(str(server.server_address[1]) + "\n")
server.serve_forever()
