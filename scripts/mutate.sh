#!/usr/bin/env bash
# Mutation testing: applies each mutant of a list (scripts/mutants.txt) to
# the sources (library, substitute server, vorkab) one at a time, rebuilds,
# and runs the test programs until one fails.  A mutant the suite lets
# through is a fault it would miss.
# Prints one line per mutant and the score; the sources are restored after
# every mutant, and on interruption.
#
#   scripts/mutate.sh [-b BUILD_DIR] [-l LIST] [-t "test_a test_b ..."]
#
# BUILD_DIR (default build-mutate) is configured on first use.  The tests run
# fastest first and stop at the first failure; a mutant that does not
# compile is reported apart and left out of the score.
set -uo pipefail
cd "$(dirname "$0")/.."
build=build-mutate
list=scripts/mutants.txt
tests="test_records test_catalogue test_workbook test_sheethost test_transport test_host test_port test_e2e test_server test_vorkab"
while getopts "b:l:t:h" opt; do
  case $opt in
    b) build=$OPTARG ;;
    l) list=$OPTARG ;;
    t) tests=$OPTARG ;;
    *) sed -n '2,15p' "$0" | sed 's/^# \{0,1\}//'; exit 2 ;;
  esac
done
export CCACHE_BASEDIR=$PWD CCACHE_NOHASHDIR=1
[ -f "$build/CMakeCache.txt" ] || cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null || exit 2
cmake --build "$build" -j2 >/dev/null 2>&1 || { echo "the unmutated tree does not build" >&2; exit 2; }

current=""
restore() { if [ -n "$current" ]; then mv -f "$current.unmutated" "$current"; current=""; fi; }
trap 'restore; exit 130' INT TERM
trap restore EXIT

# Replaces the one occurrence of TEXT in FILE by REPLACEMENT; fails when TEXT
# is not there exactly once (the list is stale).
apply() {
  /usr/bin/python3 - "$1" "$2" "$3" <<'PY'
import sys
path, text, replacement = sys.argv[1:4]
source = open(path, encoding="utf-8").read()
if source.count(text) != 1:
    sys.exit(1)
open(path, "w", encoding="utf-8").write(source.replace(text, replacement))
PY
}

total=0 killed=0 survived=0 unbuilt=0 stale=0
while IFS=$'\t' read -r file text replacement; do
  case "$file" in ''|'#'*) continue ;; esac
  total=$((total + 1))
  label="$file: $text"
  case "$file" in tools/*) path=$file ;; *) path="src/$file" ;; esac
  cp -p "$path" "$path.unmutated"
  current=$path
  if ! apply "$path" "$text" "$replacement"; then
    restore; stale=$((stale + 1)); echo "stale     $label"; continue
  fi
  touch "$path"
  if ! cmake --build "$build" -j2 >/dev/null 2>&1; then
    restore; unbuilt=$((unbuilt + 1)); echo "unbuilt   $label"; continue
  fi
  by=""
  for t in $tests; do
    if ! (cd "$build" && ctest -R "^$t\$" --timeout 600 >/dev/null 2>&1); then by=$t; break; fi
  done
  restore
  touch "$path"
  if [ -n "$by" ]; then
    killed=$((killed + 1)); printf 'killed    %-15s %s\n' "$by" "$label"
  else
    survived=$((survived + 1)); printf 'SURVIVED  %-15s %s\n' "" "$label"
  fi
done < "$list"
cmake --build "$build" -j2 >/dev/null 2>&1
scored=$((killed + survived))
echo "mutants: $total, killed $killed, survived $survived, not built $unbuilt, stale $stale; score $killed/$scored"
[ "$stale" -eq 0 ]
