#!/usr/bin/env bash
# Builds Vikora with its tests and runs them all. In CI (CI=true) warnings are
# errors and the suite runs a second time under the sanitizers.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh

jobs=$(nproc)
werror=OFF
if [ "${CI:-}" = "true" ]; then werror=ON; fi

run_suite() {
  local preset=$1 dir=$2
  cmake --preset "$preset" -DVIKORA_WERROR="$werror"
  cmake --build --preset "$preset" -j "$jobs"
  ctest --test-dir "$dir" --no-tests=error --output-on-failure -j "$jobs"
}

run_suite dev build
if [ "${CI:-}" = "true" ] || [ "${VIKORA_TEST_STYLE:-}" = "1" ]; then
  scripts/check-style.sh
fi
if [ "${CI:-}" = "true" ] || [ "${VIKORA_TEST_SANITIZE:-}" = "1" ]; then
  run_suite asan build-asan
fi
