#!/usr/bin/env bash
# Installs what is missing, builds, and runs every test: host (under AddressSanitizer and
# UndefinedBehaviorSanitizer), static analysis, a minute of fuzzing, win32 and end-to-end.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh
scripts/build.sh
status=0
ctest --test-dir build/host --output-on-failure || status=1
scripts/analyze.sh || status=1
tests/fuzz/run.sh 60 || status=1
ctest --test-dir build/win32 --output-on-failure || status=1
exit $status
