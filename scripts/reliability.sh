#!/usr/bin/env bash
# The full fault runs against the real program (as root, with Xvfb and
# strace): 500 random kills during saves and a kill at every system call of a
# save, 200 kills after random user actions, the end of the session from
# every state, the failing saves, the hostile files. CI runs a short form of the
# first (tests/reliability/CMakeLists.txt). Figures go to docs/reliability.md.
# Usage: scripts/reliability.sh [build-dir] [log-dir]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$root/build}
logs=${2:-$build/reliability-full}
mkdir -p "$logs"
cmake --build "$build" --target vikora notes_dump
tests=$root/tests/reliability
run() {
  local name=$1; shift
  echo "== $name"
  if nice -n 10 env "$@" "$build/vikora" "$build/tests/reliability/notes_dump" "$logs" \
      > "$logs/$name.out" 2>&1; then
    echo "   passed"
  else
    echo "   FAILED (exit $?)"
  fi
  grep -E "kills:|points tried|ended after|states, slowest|actions older|^[0-9]+ of [0-9]+ scenarios" "$logs/$name.out" || true
}
run crash_saves VIKORA_KILLS=${VIKORA_KILLS:-500} VIKORA_SYSCALL_POINTS=all \
  VIKORA_ACTION_KILLS=${VIKORA_ACTION_KILLS:-200} \
  python3 "$tests/test_crash_saves.py"
run session_end python3 "$tests/test_session_end.py"
run save_faults python3 "$tests/test_save_faults.py"
run hostile_files python3 "$tests/test_hostile_files.py"
run linked_files python3 "$tests/test_linked_files.py"
