#!/usr/bin/env bash
# Installs what is missing, builds, and runs every test: host (under AddressSanitizer and
# UndefinedBehaviorSanitizer), static analysis, a minute of fuzzing, the soak test's stress run,
# win32 and end-to-end, and the program run as the README's first command runs it.
# Prints how long each stage took.
set -euo pipefail
cd "$(dirname "$0")/.."
status=0
timings=()
stage() {
  local name=$1 start=$SECONDS result=passed
  shift
  echo "=== $name"
  "$@" || { result=FAILED; status=1; }
  timings+=("$(printf '%-10s %5d s  %s' "$name" $((SECONDS - start)) "$result")")
}
# The README's first command, as it runs without a display: the report it prints must be whole.
headless_run() {
  local output last
  output=$(env -u DISPLAY scripts/run.sh) || return 1
  last=$(grep -v '^$' <<<"$output" | tail -n 1)
  echo "last line of the report: $last"
  [[ "$last" == "Kerio Personal Firewall = "* ]]
}
stage setup scripts/setup.sh
stage build scripts/build.sh
if [ "$status" -eq 0 ]; then
  stage host ctest --test-dir build/host --output-on-failure
  stage analysis scripts/analyze.sh
  stage fuzzing tests/fuzz/run.sh 60
  stage stress tests/stress/run.sh
  stage windows ctest --test-dir build/win32 --output-on-failure
  stage run headless_run
fi
echo "=== stages (Wine's 32-bit side: $(tests/wine/bed.sh))"
printf '%s\n' "${timings[@]}"
exit $status
