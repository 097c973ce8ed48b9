#!/usr/bin/env bash
# Runs the Windows test programs under Wine, each build in a prefix of its own
# (no display):
#   i686    the product, build-windows/i686/VORKABCOM.dll, under 32-bit Wine
#           (wine32:i386; build-windows/wine32);
#   x86_64  the 64-bit host's build of the same sources under wine64
#           (build-windows/wine).
# For each: first the unit tests, then the end-to-end program against two
# substitute servers that this script starts on loopback (build/edb-server,
# the Linux binary): one over plain HTTP, two over HTTPS with self-signed
# certificates (the tests pin the first, VORKAB_E2E_PIN).  The servers and Wine are stopped at the end, whatever
# happened.  A build whose Wine is not installed is skipped, and the summary
# says so loudly; a skipped run never counts as passed.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
server=$root/build/edb-server
[ -x "$server" ] || { echo "wine-tests: missing $server" >&2; exit 1; }

unset DISPLAY WAYLAND_DISPLAY http_proxy https_proxy HTTP_PROXY HTTPS_PROXY all_proxy ALL_PROXY
export WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml,winemenubuilder.exe="

work=$(mktemp -d "${TMPDIR:-/tmp}/vorkab-wine.XXXXXX")
pids=()
wineservers=()
cleanup() {
  for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
  for pid in "${pids[@]}"; do wait "$pid" 2>/dev/null || true; done
  for ws in "${wineservers[@]}"; do WINEPREFIX=${ws#*=} "${ws%%=*}" -k 2>/dev/null || true; done
  rm -rf "$work"
}
trap cleanup EXIT

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

# Two self-signed certificates: the one the tests pin, and the one a server
# that changed its certificate presents.
for c in cert other; do
  openssl req -x509 -newkey rsa:2048 -nodes -keyout "$work/$c-key.pem" -out "$work/$c.pem" -days 2 \
    -subj /CN=127.0.0.1 -addext subjectAltName=IP:127.0.0.1,DNS:localhost >/dev/null 2>&1
done
VORKAB_E2E_PIN=sha256:$(openssl x509 -noout -fingerprint -sha256 -in "$work/cert.pem" | sed 's/.*=//')
export VORKAB_E2E_PIN
# Fresh servers for each build's end-to-end run (the runs create EDBs).
start_servers() {  # arch
  start_server "http-$1"
  export VORKAB_E2E_HTTP=$url
  start_server "https-$1" --cert "$work/cert.pem" --key "$work/cert-key.pem"
  export VORKAB_E2E_HTTPS=$url
  start_server "other-$1" --cert "$work/other.pem" --key "$work/other-key.pem"
  export VORKAB_E2E_HTTPS_OTHER=$url
}

run() {  # program [arguments]: one test program under Wine, bounded
  local start=$SECONDS status=0
  timeout 600 "$wine" "$@" || status=$?
  echo "   ($(basename "$1"): $((SECONDS - start)) s, exit $status)"
  return $status
}

# A Unix path as the Windows programs see it (Wine maps the root to Z:).
winepath_of() { printf 'Z:%s' "${1//\//\\}"; }

summary=()
fail=0
# One build's tests: arch, Wine loader, wineserver, prefix, WINEARCH.
run_build() {
  local arch=$1 bin=$root/build-windows/$1 status=0
  wine=$2
  local wineserver=$3
  export WINEPREFIX=$4 WINEARCH=$5 WINESERVER=$wineserver
  if [ ! -x "$wine" ] || [ ! -x "$wineserver" ]; then
    summary+=("SKIPPED $arch: its Wine ($wine) is not installed")
    return
  fi
  local f
  for f in "$bin/wine_e2e.exe" "$bin/VORKABCOM.dll" "$bin/wine-unit-tests.txt"; do
    [ -f "$f" ] || { summary+=("FAILED  $arch: missing $f (make windows)"); fail=1; return; }
  done
  wineservers+=("$wineserver=$WINEPREFIX")
  # The prefix is made once (wineboot takes a while) and kept.
  if [ ! -f "$WINEPREFIX/system.reg" ]; then
    echo "== wine ($arch): making the prefix ${WINEPREFIX#$root/}"
    mkdir -p "$WINEPREFIX"
    if ! timeout 300 "$wine" wineboot --init >"$work/wineboot-$arch.log" 2>&1; then
      cat "$work/wineboot-$arch.log"
      summary+=("FAILED  $arch: wineboot"); fail=1; return
    fi
    timeout 120 "$wineserver" -w
  fi
  echo "== Windows unit tests under Wine ($arch)"
  if [ -s "$bin/wine-left-out.txt" ]; then
    echo "   left out (they need Linux-only support):"
    sed 's/^/     /' "$bin/wine-left-out.txt"
  fi
  local name
  while read -r name; do
    [ -n "$name" ] || continue
    run "$bin/$name.exe" --gtest_brief=1 || status=1
  done <"$bin/wine-unit-tests.txt"
  echo "== Windows end-to-end test under Wine ($arch: VORKABCOM.dll, WinINet, substitute server)"
  start_servers "$arch" || { summary+=("FAILED  $arch: the servers did not start"); fail=1; return; }
  run "$bin/wine_e2e.exe" --gtest_filter=-ExportStack.* || status=1
  echo "== every export called as vba/Vorkab.bas declares it ($arch)"
  VORKAB_VBA=$(winepath_of "$root/vba/Vorkab.bas") run "$bin/wine_e2e.exe" --gtest_filter=ExportStack.* || status=1
  if [ $status = 0 ]; then summary+=("passed  $arch"); else summary+=("FAILED  $arch"); fail=1; fi
}

run_build i686 /usr/lib/wine/wine /usr/lib/wine/wineserver32 "$root/build-windows/wine32" win32
run_build x86_64 "$(command -v wine64 || echo /usr/lib/wine/wine64)" \
  "$(command -v wineserver || echo /usr/lib/wine/wineserver64)" "$root/build-windows/wine" win64

echo "== Windows runs under Wine:"
for line in "${summary[@]}"; do echo "   $line"; done
if printf '%s\n' "${summary[@]}" | grep -q '^SKIPPED'; then
  echo "   ******** some Windows runs were SKIPPED: they did not pass, they did not run ********"
fi
exit $fail
