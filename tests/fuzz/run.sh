#!/usr/bin/env bash
# Runs the fuzz targets of build-fuzz/ (built by `make fuzz` or `make test`).
#
#   tests/fuzz/run.sh test [SECONDS]   each target replays its corpus
#                                      (tests/fuzz/corpus/TARGET, with
#                                      VORKAB_FUZZ_ROUND_TRIP=1) and then fuzzes
#                                      for SECONDS (default 3): what `make test` runs
#   tests/fuzz/run.sh fuzz [SECONDS]   each target fuzzes for SECONDS (default 60),
#                                      growing build-fuzz/corpus/TARGET
#
# New inputs go to build-fuzz/corpus/, never into the tree; a crash or a
# failed check leaves its input in build-fuzz/artifacts/ and fails the run.
# The summary gives each target's executions.  Add a kept input to the tree
# as tests/fuzz/corpus/TARGET/regress-WHAT.
set -uo pipefail
cd "$(dirname "$0")/../.."

mode=${1:-test}
seconds=${2:-}
case "$mode" in
  test) seconds=${seconds:-3} ;;
  fuzz) seconds=${seconds:-60} ;;
  *) echo "usage: $0 test|fuzz [SECONDS]" >&2; exit 2 ;;
esac

targets=$(ls tests/fuzz/corpus)  # every target has its corpus folder
mkdir -p build-fuzz/artifacts build-fuzz/logs
export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
failed=()
summary=()
details=""
for t in $targets; do
  bin=build-fuzz/$t seeds=tests/fuzz/corpus/$t work=build-fuzz/corpus/$t log=build-fuzz/logs/$t.log
  mkdir -p "$work" "$seeds"
  if [ ! -x "$bin" ]; then
    failed+=("$t (not built)")
    continue
  fi
  flags=(-rss_limit_mb=2048 -timeout=30 -artifact_prefix="build-fuzz/artifacts/$t-" -print_final_stats=1)
  ok=1
  if [ "$mode" = test ]; then
    # Every known input once (with the Load-and-Save round trip), then a
    # short run from them in a scratch folder.
    rm -rf "$work.test" && mkdir -p "$work.test"
    { VORKAB_FUZZ_ROUND_TRIP=1 "$bin" "${flags[@]}" -runs=0 "$seeds" &&
      "$bin" "${flags[@]}" -max_total_time="$seconds" "$work.test" "$seeds"; } >"$log" 2>&1 || ok=0
    rm -rf "$work.test"
  else
    "$bin" "${flags[@]}" -max_total_time="$seconds" "$work" "$seeds" >"$log" 2>&1 || ok=0
  fi
  runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -n1)
  cov=$(grep -o 'cov: [0-9]*' "$log" | tail -n1)
  line=$(printf '%-22s %10s executions  %s' "$t" "${runs:-?}" "${cov:-}")
  if [ $ok = 1 ]; then
    summary+=("$line")
  else
    summary+=("$line  FAILED (see $log)")
    failed+=("$t")
    details+=$(grep -E -A1 'fuzz check failed|ERROR: |Test unit written' "$log" | head -n 8 | sed "s/^/  $t: /")$'\n'
  fi
done

echo "== fuzz targets ($mode, ${seconds} s each)"
printf '%s\n' "${summary[@]}"
if [ ${#failed[@]} -gt 0 ]; then
  printf '%s' "$details" >&2
  echo "FAILED: ${failed[*]}" >&2
  exit 1
fi
