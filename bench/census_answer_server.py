#!/usr/bin/env python3
"""A loopback stand-in for the Census Data API that answers every data request
with one large table (for peak-memory measurements of the census source).

  census_answer_server.py PORT_FILE MEGABYTES

Writes the port it listens on to PORT_FILE. Its variable list names DP02_0001E
to DP02_0050E; every data request gets a table of those 50 variables for as
many five-digit ZCTAs as it takes to reach MEGABYTES, whatever was asked."""
import http.server
import json
import sys

VARIABLES = ["DP02_%04dE" % n for n in range(1, 51)]


def variable_list():
    listed = {v: {"label": "Estimate!!MADE-UP TABLE!!Figure " + v[5:9]} for v in VARIABLES}
    return json.dumps({"variables": listed}).encode()


def table(megabytes):
    value = '"1234567890123456789012345678901234.5"'
    rows = [json.dumps(VARIABLES + ["zip code tabulation area"]).encode()]
    size, zcta = len(rows[0]), 0
    while size < megabytes * 1024 * 1024 and zcta < 100000:
        row = ("[" + ",".join([value] * len(VARIABLES)) + ',"%05d"]' % zcta).encode()
        rows.append(row)
        size += len(row) + 2
        zcta += 1
    return b"[" + b",\n".join(rows) + b"]"


class Handler(http.server.BaseHTTPRequestHandler):
    def do_GET(self):
        body = LIST if "/variables.json" in self.path else TABLE
        self.send_response(200)
        self.send_header("Content-Type", "application/json;charset=utf-8")
        self.send_header("Content-Length", str(len(body)))
        self.end_headers()
        self.wfile.write(body)

    def log_message(self, *args):
        pass


LIST = variable_list()
TABLE = table(int(sys.argv[2]))
server = http.server.ThreadingHTTPServer(("127.0.0.1", 0), Handler)
with open(sys.argv[1], "w") as port_file:
    port_file.write(str(server.server_address[1]))
server.serve_forever()
