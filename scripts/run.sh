#!/usr/bin/env bash
# Builds Vikora (release) and starts it.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
cmake --preset release -DVIKORA_BUILD_TESTS=OFF -DVIKORA_BUILD_BENCH=OFF >/dev/null
cmake --build --preset release --target vikora
exec build-release/vikora "$@"
