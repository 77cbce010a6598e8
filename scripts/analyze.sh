#!/usr/bin/env bash
# Static analysis with clang-tidy (checks in .clang-tidy) and cppcheck of the portable code and
# of the two pieces under the seam that need no Windows: the base and the GIF decoder.
# Needs build/host configured (scripts/build.sh) for its compile commands. Fails on any
# finding; the few that are suppressed carry their reason next to the suppression.
set -euo pipefail
cd "$(dirname "$0")/.."
portable='report_window osinfo shell support platform/base platform/gif'
status=0
echo "analyze: clang-tidy"
run-clang-tidy -quiet -p build/host "^$PWD/(${portable// /|})/" >build/clang-tidy.log 2>&1 || status=1
grep -E "(warning|error):" build/clang-tidy.log | sort -u || true
echo "analyze: cppcheck"
# shellcheck disable=SC2086
cppcheck --enable=warning,style,performance,portability --std=c++17 --language=c++ -I . \
  --suppress=missingIncludeSystem --inline-suppr --quiet --error-exitcode=1 $portable || status=1
exit $status
