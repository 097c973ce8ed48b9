#!/usr/bin/python3
"""vorkab on a 20,000-record workbook: `load all` and `save all` through the
real binary against the substitute server on loopback (wall time and peak
memory), next to openpyxl reading and writing the same workbook in the same
run.  The EDB is filled with 10,000 source and 10,000 road time variations
made from a seeded one.

Usage: vorkab_bench.py VORKAB EDB_SERVER
"""
import os
import re
import sqlite3
import subprocess
import sys
import tempfile

RECORDS_PER_KIND = 10000
EDB_ID = 2  # Gothenburg2025 in the demonstration data


def timed(command, env=None):
    """Runs the command under GNU time; (seconds, peak MB, stdout)."""
    out = subprocess.run(["/usr/bin/time", "-f", "BENCH %e %M"] + command, env=env,
                         stdout=subprocess.PIPE, stderr=subprocess.PIPE, text=True)
    if out.returncode != 0:
        sys.exit("vorkab_bench: %s failed:\n%s%s" % (" ".join(command), out.stdout, out.stderr))
    seconds, kilobytes = re.search(r"BENCH ([\d.]+) (\d+)", out.stderr).groups()
    return float(seconds), int(kilobytes) / 1024.0, out.stdout


def seed(database):
    db = sqlite3.connect(database, timeout=30)
    for kind in ("timevarp", "timevarr"):
        model = db.execute("SELECT body FROM records WHERE kind=? ORDER BY edb_id, seq LIMIT 1", (kind,)).fetchone()[0]
        model = bytes(model).decode("latin-1")
        db.execute("DELETE FROM records WHERE edb_id=? AND kind=? AND list=0", (EDB_ID, kind))
        rows = []
        for i in range(1, RECORDS_PER_KIND + 1):
            lines = []
            for line in model.split("\n"):
                if line.startswith("NAME "):
                    line = 'NAME "%s%05d"' % ("S" if kind == "timevarp" else "R", i)
                elif line.startswith("INDEX "):
                    line = "INDEX %d" % i
                lines.append(line)
            rows.append((EDB_ID, kind, i - 1, "\n".join(lines).encode("latin-1")))
        db.executemany("INSERT INTO records(edb_id, kind, list, seq, body) VALUES(?, ?, 0, ?, ?)", rows)
    db.commit()
    db.close()


def main():
    vorkab, server_binary = sys.argv[1], sys.argv[2]
    with tempfile.TemporaryDirectory(prefix="vorkab-bench-") as folder:
        server = subprocess.Popen([server_binary, "--data", folder, "--seed", "demo", "--port", "0"],
                                  stdout=subprocess.PIPE, stderr=subprocess.DEVNULL, text=True)
        try:
            url = None
            for line in server.stdout:
                if line.startswith("listening on "):
                    url = line.split()[-1]
                    break
            if not url:
                sys.exit("vorkab_bench: the server did not start")
            seed(os.path.join(folder, "edb.sqlite"))
            env = dict(os.environ, VORKAB_SERVER=url, VORKAB_USER="demo", VORKAB_PASSWORD="demo",
                       NO_PROXY="127.0.0.1", no_proxy="127.0.0.1")
            book = os.path.join(folder, "big.xlsx")
            common = [vorkab, "--edb", "Gothenburg2025", "--workbook", book, "--timeout", "600"]
            rows = []
            load = timed(common + ["load", "all"], env)
            size = os.path.getsize(book) / 1e6
            rows.append(("vorkab load all", load))
            rows.append(("vorkab load resources (into it)", timed(common + ["load", "resources"], env)))
            rows.append(("vorkab save all", timed(common + ["save", "--yes", "all"], env)))
            script = os.path.join(folder, "openpyxl_bench.py")
            with open(script, "w") as f:
                f.write("import sys, time, openpyxl\n"
                        "t = time.perf_counter(); wb = openpyxl.load_workbook(sys.argv[1])\n"
                        "r = time.perf_counter() - t\n"
                        "t = time.perf_counter(); wb.save(sys.argv[2]); w = time.perf_counter() - t\n"
                        "print('%.2f %.2f' % (r, w))\n")
            seconds, peak, out = timed(["/usr/bin/python3", script, book, os.path.join(folder, "copy.xlsx")])
            read, write = (float(x) for x in out.split())
        finally:
            server.terminate()
            server.wait()
    print("\nvorkab on a workbook of %d records (%d time variations of each kind), %.1f MB:" %
          (2 * RECORDS_PER_KIND, RECORDS_PER_KIND, size))
    print("| Command | Wall time | Peak memory |")
    print("|---|---:|---:|")
    for name, (seconds_, peak_, _) in rows:
        print("| %s | %.2f s | %.0f MB |" % (name, seconds_, peak_))
    print("| openpyxl load_workbook (same file) | %.2f s | %.0f MB (both) |" % (read, peak))
    print("| openpyxl save (same workbook) | %.2f s | |" % write)


if __name__ == "__main__":
    main()
