#!/usr/bin/python3
"""Rebuilds the seed corpora of the fuzz targets (tests/fuzz/corpus/*/seed-*)
from the demo data: starts build/edb-server with the demo seed, loads and saves
the demo EDB with build/vorkab at log level 3, and cuts the replies, request
bodies and workbooks it saw into one small seed per case.  Regression inputs
(regress-*) are left alone.  Usage: scripts/make-fuzz-seeds.py [BUILD_DIR]"""
import glob, os, re, shutil, subprocess, sys, tempfile, zipfile
import openpyxl

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
BUILD = os.path.abspath(sys.argv[1] if len(sys.argv) > 1 else os.path.join(ROOT, "build"))
CORPUS = os.path.join(ROOT, "tests", "fuzz", "corpus")
MAX_SEED = 4096  # bytes of a reply or body kept in a seed
# The choice bytes load_exports_fuzz and the record readers' targets take for a "loadxxxdb" kind.
LOAD_EXPORT = {"timevarp": 6, "timevarr": 7, "subgrp": 8, "emfac": 9, "veh": 10, "roadtype": 11, "sveh": 12}
READER = {"timevarp": "timevar", "timevarr": "timevar", "veh": "vehicle", "subgrp": "subgrp", "emfac": "emfac",
          "roadtype": "roadtype"}
LIST_REPLY = {"listdb": 0, "listedbusers": 1, "listedbnames": 2, "loadedbrsrc": 3}


def put(target, name, data):
    os.makedirs(os.path.join(CORPUS, target), exist_ok=True)
    with open(os.path.join(CORPUS, target, "seed-" + name), "wb") as f:
        f.write(data)


def cut(body):
    """At most MAX_SEED bytes, ended after a whole record (an empty line) or line."""
    if len(body) <= MAX_SEED:
        return body
    head = body[:MAX_SEED]
    end = head.rfind(b"\n\n")
    return head[: end + 2] if end > 0 else head[: head.rfind(b"\n") + 1]


def replies(log):
    """(command, reply bytes) of every GET in a level-3 log."""
    data = open(log, "rb").read()
    out = []
    for m in re.finditer(rb"--> HTTPGet\(do\.cgi\?[^&]*&([^)]*)\)\n", data):
        pos, body = m.end(), b""
        while True:
            r = re.compile(rb"InternetReadFile = (\d+) bytes\n").search(data, pos)
            nxt = data.find(b"--> HTTPGet(", pos)
            if not r or 0 <= nxt < r.start() or int(r.group(1)) == 0:
                break
            pos = r.end() + int(r.group(1))
            body += data[r.end(): pos]
        out.append((m.group(1).decode("latin-1"), body))
    return out


def posts(log):
    """Save bodies of a level-3 log, from its 'sent' lines."""
    data = open(log, "rb").read().decode("latin-1")
    return [("\n".join(re.findall(r'^ *sent "(.*)"$', chunk.split("HTTPEndWrite")[0], re.M)) + "\n").encode("latin-1")
            for chunk in data.split("--> HTTPPost(")[1:]]


def sheet_text(path, rows):
    """A workbook's first rows of every sheet as the text that sheets_fuzz reads."""
    out = []
    for ws in openpyxl.load_workbook(path).worksheets:
        out.append("=" + ws.title)
        for c in (c for row in ws.iter_rows(max_row=rows) for c in row if c.value is not None):
            v, at = c.value, "%d %d" % (c.row - 1, c.column - 1)
            if isinstance(v, bool):
                out.append("%s b %d" % (at, v))
            elif isinstance(v, (int, float)):
                out.append("%s n %r" % (at, v))
            else:
                out.append(at + " e 6" if c.data_type == "e" else "%s s %s" % (at, str(v).replace("\n", " ")))
    return ("\n".join(out) + "\n").encode("utf-8")


def main():
    work = tempfile.mkdtemp()
    server = subprocess.Popen([os.path.join(BUILD, "edb-server"), "--data", work, "--port", "0", "--seed", "demo",
                               "--quiet"], stdout=subprocess.PIPE, text=True)
    try:
        url = ""
        while not url.startswith("listening on "):
            url = server.stdout.readline()
        env = dict(os.environ, VORKAB_SERVER=url.split()[-1], VORKAB_USER="demo", VORKAB_PASSWORD="demo",
                   NO_PROXY="127.0.0.1", no_proxy="127.0.0.1")
        book, small, grids = (os.path.join(work, n) for n in ("g.xlsx", "small.xlsx", "grids.xlsx"))

        def run(*args, log=None, edb=("--edb-user", "demo", "--edb", "Gothenburg2025")):
            logging = ["--log", "3," + os.path.join(work, log)] if log else []
            subprocess.run([os.path.join(BUILD, "vorkab"), *edb, *logging, *args], env=env, check=True,
                           stdout=subprocess.DEVNULL)
        run("--workbook", book, "load", "all", log="load.log")
        run("--workbook", small, "load", "subgrps")
        shutil.copy(book, grids)  # grids need the reference kinds loaded first
        run("--workbook", grids, "load", "grids", log="grids.log")
        run("edbs", log="lists.log")
        run("databases", log="db.log", edb=())
        run("edb-users", log="users.log", edb=())
        run("--workbook", book, "save", "all", log="save.log")
    finally:
        server.terminate()
        server.wait()

    for old in glob.glob(os.path.join(CORPUS, "*", "seed-*")):
        os.remove(old)
    # Reply seeds: the body, then the bytes the targets take from the end
    # (a reply shape byte: status 200 with Content-Length, then the choices).
    got = [r for log in ("load.log", "lists.log", "db.log", "users.log") for r in replies(os.path.join(work, log))]
    for command, body in got:
        body, words = cut(body), command.split("&")
        name = "-".join(w for w in words[2:3] + words[5:] if w) or words[0]
        put("transport_lines_fuzz", name, body + b"\x00\x00")
        what = words[2] if words[0] != "checkauth.cgi" else ""
        if what == "loadsubs":
            put("sub_reader_fuzz", name, body + b"\x00" + bytes([int(words[5])]))
            put("load_exports_fuzz", name, body + b"\x00" + bytes([int(words[5])]))
        elif what == "loadxxxdb":
            kind = words[5]
            if kind in LOAD_EXPORT:
                put("load_exports_fuzz", name, body + bytes([0, LOAD_EXPORT[kind]]))
            for names_only in (0, 1) if kind in READER else ():
                put(READER[kind] + "_reader_fuzz", name + ("-names" if names_only else ""),
                    body + bytes([0, names_only] + ([kind == "timevarr"] if READER[kind] == "timevar" else [])))
            if kind in ("road", "source2"):
                put(kind.rstrip("2") + "_reader_fuzz", name, body + b"\x00")
        elif what in LIST_REPLY:
            put("list_replies_fuzz", name, body + bytes([0, LIST_REPLY[what]]))

    # The grid reader: each grid's header reply (escaped, as FuzzedDataProvider
    # reads a string) and the start of its data reply.
    header = None
    for words, body in ((c.split("&"), b) for c, b in replies(os.path.join(work, "grids.log"))):
        if len(words) >= 6 and words[2] == "loadgridasc":
            header = body
        elif len(words) >= 6 and words[2] == "loadgriddata" and header is not None:
            cells = body[:3000]
            put("grid_reader_fuzz", words[5],
                header.replace(b"\\", b"\\\\") + b"\\n" + cells[: cells.rfind(b"\n") + 1] + b"\x00")
            header = None

    # Server requests: the reads above and the saves' bodies.
    for command, _ in got:
        put("server_request_fuzz", "get-" + re.sub(r"[^A-Za-z0-9]+", "-", command),
            b"GET /cgi-bin/ikalvoro/do.cgi?AUTH&" + command.encode("latin-1"))
    for n, body in enumerate(posts(os.path.join(work, "save.log"))):
        body = cut(body).rstrip(b"\n")
        if not body.endswith(b"\nEOF") and b"\nsavexxxdb\n" in body:
            body += b"\nEOF"
        put("server_request_fuzz", "post-%d" % n,
            b"POST /cgi-bin/ikalvoro/do.cgi?AUTH&iedbvksave2.cgi&x\n" + body + b"\n")

    # Workbooks: the demo's sheets as text, each sheet alone too; a small
    # .xlsx whole and as parts.
    put("sheets_fuzz", "demo", sheet_text(book, 12))
    for part in sheet_text(book, 200).split(b"\n="):
        part = part if part.startswith(b"=") else b"=" + part
        title = re.sub(rb"[^A-Za-z0-9]+", b"-", part[1:part.find(b"\n")]).decode()
        put("sheets_fuzz", "sheet-" + title, part[:MAX_SEED])
    whole = open(small, "rb").read()
    put("xlsx_read_fuzz", "subgrps.xlsx", whole)
    # Cut short: in a local header, in a part's data, in the central directory, in its end record.
    for size in (30, len(whole) // 2, len(whole) - 100, len(whole) - 1):
        put("xlsx_read_fuzz", "subgrps-cut-%d.xlsx" % size, whole[:size])
    with zipfile.ZipFile(small) as z:
        put("xlsx_read_fuzz", "subgrps-parts", b"".join(b"@@ " + n.encode() + b"\n" + z.read(n) + b"\n"
                                                         for n in z.namelist()))


main()
