#!/usr/bin/env bash
# Runs the Windows test programs of build-windows/x86_64 under Wine (Debian's
# wine64, a prefix of our own in build-windows/wine, no display): first the
# unit tests, then the end-to-end program against two substitute servers that
# this script starts on loopback (build/edb-server, the Linux binary): one
# over plain HTTP, one over HTTPS with a self-signed certificate.  The
# servers and Wine are stopped at the end, whatever happened.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
bin=$root/build-windows/x86_64
server=$root/build/edb-server

wine=$(command -v wine64 || true)
[ -n "$wine" ] || wine=/usr/lib/wine/wine64
wineserver=$(command -v wineserver || true)
[ -n "$wineserver" ] || wineserver=/usr/lib/wine/wineserver64
for f in "$wine" "$wineserver" "$server" "$bin/wine_e2e.exe" "$bin/VORKABCOM.dll"; do
  [ -x "$f" ] || [ -f "$f" ] || { echo "wine-tests: missing $f" >&2; exit 1; }
done

export WINEPREFIX=$root/build-windows/wine WINEDEBUG=-all WINEARCH=win64
export WINEDLLOVERRIDES="mscoree,mshtml,winemenubuilder.exe="
export WINESERVER=$wineserver
unset DISPLAY WAYLAND_DISPLAY http_proxy https_proxy HTTP_PROXY HTTPS_PROXY all_proxy ALL_PROXY

work=$(mktemp -d "${TMPDIR:-/tmp}/vorkab-wine.XXXXXX")
pids=()
cleanup() {
  for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
  for pid in "${pids[@]}"; do wait "$pid" 2>/dev/null || true; done
  "$wineserver" -k 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT

# The prefix is made once (wineboot takes a while) and kept.
if [ ! -f "$WINEPREFIX/system.reg" ]; then
  echo "== wine: making the prefix build-windows/wine"
  mkdir -p "$WINEPREFIX"
  timeout 300 "$wine" wineboot --init >"$work/wineboot.log" 2>&1 || { cat "$work/wineboot.log"; exit 1; }
  timeout 120 "$wineserver" -w
fi

run() {  # program [arguments]: one test program under Wine, bounded
  local start=$SECONDS status=0
  timeout 600 "$wine" "$@" || status=$?
  echo "   ($(basename "$1"): $((SECONDS - start)) s, exit $status)"
  return $status
}

fail=0
echo "== Windows unit tests under Wine"
left_out=$bin/wine-left-out.txt
if [ -s "$left_out" ]; then
  echo "   left out (they need Linux-only support):"
  sed 's/^/     /' "$left_out"
fi
while read -r name; do
  [ -n "$name" ] || continue
  run "$bin/$name.exe" --gtest_brief=1 || fail=1
done <"$bin/wine-unit-tests.txt"

# Starts build/edb-server on a free loopback port; its URL goes into $url.
start_server() {  # name [more options]
  local name=$1; shift
  mkdir -p "$work/$name"
  "$server" --data "$work/$name" --bind 127.0.0.1 --port 0 --seed demo --quiet "$@" \
    >"$work/$name.out" 2>"$work/$name.err" &
  pids+=($!)
  local i
  url=""
  for i in $(seq 1 300); do
    url=$(sed -n 's/^listening on \(https\{0,1\}:\/\/[0-9.]*:[0-9]*\).*/\1/p' "$work/$name.out" | head -1)
    [ -n "$url" ] && break
    kill -0 "${pids[-1]}" 2>/dev/null || break
    sleep 0.1
  done
  if [ -z "$url" ]; then cat "$work/$name.err" >&2; echo "wine-tests: $name server did not start" >&2; return 1; fi
}

echo "== Windows end-to-end test under Wine (VORKABCOM.dll, WinINet, substitute server)"
openssl req -x509 -newkey rsa:2048 -nodes -keyout "$work/key.pem" -out "$work/cert.pem" -days 2 \
  -subj /CN=127.0.0.1 -addext subjectAltName=IP:127.0.0.1,DNS:localhost >/dev/null 2>&1
start_server http
export VORKAB_E2E_HTTP=$url
start_server https --cert "$work/cert.pem" --key "$work/key.pem"
export VORKAB_E2E_HTTPS=$url
run "$bin/wine_e2e.exe" || fail=1

exit $fail
