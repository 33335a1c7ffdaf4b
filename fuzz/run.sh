#!/usr/bin/env bash
# Builds the CSV reader fuzz target with clang and the sanitizers and runs it.
# Usage: fuzz/run.sh [seconds] [corpus-dir] [libFuzzer options...]
# Defaults: 600 seconds, fuzz/corpus/csv (git-ignored). Crashing inputs go to
# <corpus-dir>-artifacts/. VIKORA_FUZZ_BUILD overrides the build tree.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
seconds=${1:-600}
corpus=${2:-$root/fuzz/corpus/csv}
shift $(($# < 2 ? $# : 2))
build=${VIKORA_FUZZ_BUILD:-/tmp/build-fuzz}

cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DCMAKE_CXX_COMPILER=clang++ -DVIKORA_BUILD_FUZZ=ON \
  -DVIKORA_BUILD_TESTS=OFF -DVIKORA_BUILD_BENCH=OFF >/dev/null
cmake --build "$build" --target fuzz_csv_reader

mkdir -p "$corpus" "$corpus-artifacts"
exec "$build/fuzz/fuzz_csv_reader" -max_total_time="$seconds" -max_len=65536 -timeout=10 \
  -dict="$root/fuzz/csv.dict" -artifact_prefix="$corpus-artifacts/" "$@" \
  "$corpus" "$root/fuzz/seeds/csv"
