#!/usr/bin/env bash
# How much of the source is tests: non-blank lines of code (C and C++, Python, shell, CMake,
# resource scripts) in the files git knows, under tests/ and elsewhere.
set -euo pipefail
cd "$(dirname "$0")/.."
lines() {
  git ls-files -z --cached --others --exclude-standard |
    grep -zE '(\.(c|cpp|h|py|sh|rc|cmake)|CMakeLists\.txt)$' | grep -z "$@" |
    xargs -0 -r cat -- 2>/dev/null | grep -cv '^[[:space:]]*$' || true
}
tests=$(lines '^tests/')
others=$(lines -v '^tests/')
echo "tests: $tests lines; the rest: $others lines; share of tests: $((100 * tests / (tests + others)))%"
