#!/usr/bin/env bash
# Prints the size of the test suite next to the code it tests: the non-blank
# lines of tests/ and of the code (src/, tools/, bench/, scripts/, vba/) and
# their ratio.  The project keeps tests at about a quarter to a third of the
# code; this reports, it does not fail.
set -euo pipefail
cd "$(dirname "$0")/.."
count() {
  find "$@" -type f \( -name '*.cc' -o -name '*.h' -o -name '*.cpp' -o -name '*.py' -o -name '*.sh' \
    -o -name '*.bas' -o -name '*.cmake' \) -print0 2>/dev/null | xargs -0 -r cat | grep -cv '^[[:space:]]*$' || true
}
tests=$(count tests)
code=$(count src tools bench scripts vba)
awk -v t="$tests" -v c="$code" 'BEGIN { printf "test code: %d non-blank lines, code: %d, ratio %.2f\n", t, c, (c ? t / c : 0) }'
