#!/usr/bin/env bash
# The demo: start the substitute server with the demo data on a free loopback
# port, load the demo EDB into demo/demo.xlsx through the library, verify the
# workbook, save it back (the server's records stay as they were), and stop
# the server.
set -euo pipefail
cd "$(dirname "$0")/.."

mkdir -p demo
data=$(mktemp -d)
out=$(mktemp)
cleanup() {
  if [ -n "${server_pid:-}" ]; then kill "$server_pid" 2>/dev/null || true; wait "$server_pid" 2>/dev/null || true; fi
  rm -rf "$data" "$out"
}
trap cleanup EXIT

build/edb-server --data "$data" --port 0 --seed demo --quiet >"$out" &
server_pid=$!
for _ in $(seq 1 100); do
  grep -q '^listening on ' "$out" && break
  sleep 0.1
done
url=$(sed -n 's/^listening on //p' "$out" | head -n1)
[ -n "$url" ] || { echo "demo: the server did not start" >&2; exit 1; }
echo "Substitute Kalvoro server with the demo data at $url (user demo, password demo)"

export VORKAB_SERVER="$url" VORKAB_USER=demo VORKAB_PASSWORD=demo
vorkab="build/vorkab --edb-user demo --edb Gothenburg2025 --workbook demo/demo.xlsx"
records() { sqlite3 "$data/edb.sqlite" "SELECT edb_id, kind, list, seq, hex(body) FROM records ORDER BY 1,2,3,4; SELECT * FROM resource_files ORDER BY 1" | sha256sum; }

echo; echo "== databases and EDBs"
build/vorkab databases
build/vorkab --edb-user demo edbs
rm -f demo/demo.xlsx
echo; echo "== vorkab load all"
$vorkab load all
echo; echo "== vorkab grids, vorkab load grids"
$vorkab grids
$vorkab load grids
before=$(records)
echo; echo "== vorkab verify"
$vorkab verify
echo; echo "== vorkab save all grids"
$vorkab save all grids
if [ "$(records)" = "$before" ]; then
  echo "The server's records are unchanged after the round trip."
else
  echo "demo: the server's records changed after load and save" >&2
  exit 1
fi
echo
echo "The workbook is demo/demo.xlsx (open it with any spreadsheet program)."
echo "The same by hand:"
echo "  build/edb-server --data /tmp/kalvoro --seed demo --port 8080 &"
echo "  export VORKAB_SERVER=http://127.0.0.1:8080 VORKAB_USER=demo VORKAB_PASSWORD=demo"
echo "  build/vorkab --edb-user demo --edb Gothenburg2025 --workbook demo.xlsx load all"
echo "  build/vorkab --edb-user demo --edb Gothenburg2025 --workbook demo.xlsx verify"
echo "  build/vorkab --edb-user demo --edb Gothenburg2025 --workbook demo.xlsx save all"
