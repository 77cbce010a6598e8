#!/usr/bin/env bash
# Builds the fuzzers with clang in build/fuzz and runs each, one process, for a bounded time on
# a copy of its seeds (the committed files are never written): the report fuzzer for SECONDS,
# the GIF decoder's for a quarter of that. Exits non-zero when a fuzzer finds a crash, a
# sanitizer report, a leak or an invariant that does not hold; the input that did it is then
# in build/fuzz/artifacts/.
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
cmake --build "$build" --target report_fuzzer gif_fuzzer -j "$(nproc)"

artifacts="$build/artifacts"
mkdir -p "$artifacts"
# fuzz TARGET SECONDS SEED...
fuzz() {
  local target="$1" time="$2" corpus="$build/corpus-$1"
  shift 2
  rm -rf "$corpus"
  mkdir -p "$corpus"
  cp "$@" "$corpus"/
  echo "run.sh: $target for $time s"
  "$build/tests/fuzz/$target" -max_total_time="$time" -max_len=8192 -timeout=25 \
    -print_final_stats=1 -artifact_prefix="$artifacts/" "$corpus"
}
fuzz report_fuzzer "$seconds" tests/fuzz/corpus/*
fuzz gif_fuzzer "$(( (seconds + 3) / 4 ))" resources/*.gif
