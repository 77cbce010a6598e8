#!/usr/bin/env bash
# Builds the report fuzzer with clang in build/fuzz and runs it, one process, for a bounded time
# on a copy of the seed corpus (the committed corpus is never written). Exits non-zero when the
# fuzzer finds a crash, a sanitizer report, a leak or an invariant that does not hold; the input
# that did it is then in build/fuzz/artifacts/.
# Usage: tests/fuzz/run.sh [SECONDS]   (default 60, or FUZZ_SECONDS)
set -euo pipefail
cd "$(dirname "$0")/../.."
seconds="${1:-${FUZZ_SECONDS:-60}}"
build=build/fuzz

if ! command -v clang++ >/dev/null; then
  echo "run.sh: clang++ is missing (Debian package clang)" >&2
  exit 1
fi
runtime_dir="$(clang++ -print-runtime-dir)"
if ! ls "$runtime_dir"/libclang_rt.fuzzer*.a >/dev/null 2>&1; then
  echo "run.sh: libFuzzer is missing (Debian package libclang-rt-14-dev)" >&2
  exit 1
fi
if ! grep -q 'tests/fuzz' CMakeLists.txt; then
  echo "run.sh: the top-level CMakeLists.txt does not add tests/fuzz" >&2
  exit 1
fi

cmake -S . -B "$build" -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ -DSONDREL_FUZZ=ON \
  >/dev/null
cmake --build "$build" --target report_fuzzer -j "$(nproc)"

corpus="$build/corpus"
artifacts="$build/artifacts"
rm -rf "$corpus"
mkdir -p "$corpus" "$artifacts"
cp tests/fuzz/corpus/* "$corpus"/
echo "run.sh: fuzzing for $seconds s"
"$build/tests/fuzz/report_fuzzer" -max_total_time="$seconds" -max_len=8192 -timeout=25 \
  -print_final_stats=1 -artifact_prefix="$artifacts/" "$corpus"
