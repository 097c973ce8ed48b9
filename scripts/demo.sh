#!/usr/bin/env bash
# The demo: start the substitute server with the demo data on a free loopback
# port, log in through the library and list what the server holds, then stop
# the server.
set -euo pipefail
cd "$(dirname "$0")/.."

data=$(mktemp -d)
out=$(mktemp)
cleanup() {
  [ -n "${server_pid:-}" ] && kill "$server_pid" 2>/dev/null && wait "$server_pid" 2>/dev/null || true
  rm -rf "$data" "$out"
}
trap cleanup EXIT

build/edb-server --data "$data" --port 0 --seed demo >"$out" &
server_pid=$!
for _ in $(seq 1 100); do
  grep -q '^listening on ' "$out" && break
  sleep 0.1
done
url=$(sed -n 's/^listening on //p' "$out" | head -n1)
[ -n "$url" ] || { echo "demo: the server did not start" >&2; exit 1; }
echo "Substitute Kalvoro server with the demo data at $url"

export VORKAB_SERVER="$url" VORKAB_USER=demo VORKAB_PASSWORD=demo
echo
echo "== databases (vorkab databases)"
build/vorkab databases
echo
echo "== EDB users of REF (vorkab edb-users)"
build/vorkab edb-users
echo
echo "== EDBs of the EDB user demo (vorkab --edb-user demo edbs)"
build/vorkab --edb-user demo edbs
echo
echo "The same by hand:"
echo "  build/edb-server --data /tmp/kalvoro --seed demo --port 8080 &"
echo "  VORKAB_PASSWORD=demo build/vorkab --server http://127.0.0.1:8080 --user demo databases"
