#!/usr/bin/env bash
# The stress run: the soak test of the host build (sanitizers on) for many rounds of the same
# simulated machine, where the unit suite runs only a few. Any resource a round keeps, or a
# report that drifts from the first round's, fails it.
# Usage: tests/stress/run.sh [ROUNDS]   (default 10000, or SOAK_ROUNDS)
set -euo pipefail
cd "$(dirname "$0")/../.."
rounds="${1:-${SOAK_ROUNDS:-10000}}"
tests=build/host/tests/host/host_tests
if [ ! -x "$tests" ]; then
  echo "run.sh: $tests is missing; build first (scripts/build.sh)" >&2
  exit 1
fi
echo "run.sh: the soak test for $rounds rounds"
SONDREL_SOAK_ROUNDS="$rounds" "$tests" --gtest_filter='Soak.*'
