#!/usr/bin/env bash
# Builds a fuzz target with clang and the sanitizers and runs it.
# Usage: fuzz/run.sh [seconds] [corpus-dir] [libFuzzer options...]
# VIKORA_FUZZ_TARGET picks the target: csv (fuzz_csv_reader, the default) or
# ini (fuzz_ini_reader). Defaults: 600 seconds, fuzz/corpus/<target>
# (git-ignored). Crashing inputs go to <corpus-dir>-artifacts/.
# VIKORA_FUZZ_BUILD overrides the build tree.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
target=${VIKORA_FUZZ_TARGET:-csv}
case $target in
  csv|ini) ;;
  *) echo "VIKORA_FUZZ_TARGET must be csv or ini, not '$target'" >&2; exit 2 ;;
esac
seconds=${1:-600}
corpus=${2:-$root/fuzz/corpus/$target}
shift $(($# < 2 ? $# : 2))
build=${VIKORA_FUZZ_BUILD:-/tmp/build-fuzz}

cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DCMAKE_CXX_COMPILER=clang++ -DVIKORA_BUILD_FUZZ=ON \
  -DVIKORA_BUILD_TESTS=OFF -DVIKORA_BUILD_BENCH=OFF >/dev/null
cmake --build "$build" --target "fuzz_${target}_reader"

mkdir -p "$corpus" "$corpus-artifacts"
exec "$build/fuzz/fuzz_${target}_reader" -max_total_time="$seconds" -max_len=65536 -timeout=10 \
  -dict="$root/fuzz/$target.dict" -artifact_prefix="$corpus-artifacts/" "$@" \
  "$corpus" "$root/fuzz/seeds/$target"
