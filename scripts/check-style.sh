#!/usr/bin/env bash
# Checks the C++ sources against .clang-format and .clang-tidy.
#   scripts/check-style.sh           both checks (clang-tidy needs build/compile_commands.json)
#   scripts/check-style.sh --format  the layout only; lists the files that differ
#   scripts/check-style.sh --tidy    clang-tidy only
#   scripts/check-style.sh --layers  the include directions between folders only
# VIKORA_STYLE_FORMAT=report prints the layout differences without failing
# (used until the tree has been formatted once).
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh

mode=${1:-all}
status=0
mapfile -t sources < <(git ls-files '*.cpp' '*.h')

if [ "$mode" = all ] || [ "$mode" = --format ]; then
    differ=()
    for f in "${sources[@]}"; do
        if ! clang-format --style=file --dry-run --Werror "$f" >/dev/null 2>&1; then
            differ+=("$f")
        fi
    done
    echo "clang-format: ${#differ[@]} of ${#sources[@]} files differ from .clang-format"
    for f in "${differ[@]}"; do echo "  $f"; done
    if ((${#differ[@]})) && [ "${VIKORA_STYLE_FORMAT:-}" != report ]; then status=1; fi
fi

if [ "$mode" = all ] || [ "$mode" = --layers ]; then
    # The folders a folder's sources may include from, lowest layer first.
    # Every library exports the repository root, so only this keeps a lower
    # folder from reaching up.
    declare -A allowed=(
        [files]=""
        [table]="files"
        [record]="files table"
        [seged]="files table record"
        [assets]=""
        [desktop]="files"
        [notes]="files table record seged assets desktop"
        [settings]="files table record seged assets desktop"
        [catalogue]="files table record seged assets desktop"
        [help]="files table record seged assets desktop"
        [app]="files table record seged assets desktop notes settings catalogue help"
    )
    wrong=0
    for f in "${sources[@]}"; do
        folder=${f%%/*}
        [ "$folder" != "$f" ] && [ -n "${allowed[$folder]+set}" ] || continue
        while IFS= read -r included; do
            target=${included%%/*}
            if [ -n "${allowed[$target]+set}" ] && [ "$target" != "$folder" ] &&
                [[ " ${allowed[$folder]} " != *" $target "* ]]; then
                echo "  $f includes $included: $folder/ may include only from: ${allowed[$folder]:-nothing}"
                wrong=$((wrong + 1))
            fi
        done < <(sed -n 's/^[[:space:]]*#[[:space:]]*include[[:space:]]*"\([^"]*\)".*/\1/p' "$f")
    done
    echo "include directions: $wrong includes against the layers"
    if ((wrong)); then status=1; fi
fi

if [ "$mode" = all ] || [ "$mode" = --tidy ]; then
    database=${VIKORA_TIDY_BUILD:-build}
    if [ ! -f "$database/compile_commands.json" ]; then
        echo "clang-tidy: no $database/compile_commands.json (run: cmake --preset dev)" >&2
        exit 1
    fi
    # The program's own sources only: no tests, benchmarks, fuzzers or generated files.
    mapfile -t units < <(git ls-files '*.cpp' | grep -E '^(app|seged|record|files|table|notes|desktop|assets|settings|catalogue|help)/|^main\.cpp$')
    run-clang-tidy -quiet -p "$database" -j "$(nproc)" "${units[@]/#/$PWD/}" \
        >"$database/clang-tidy.log" 2>&1 || true
    if grep -qE '(warning|error):' "$database/clang-tidy.log"; then
        grep -E '(warning|error):' "$database/clang-tidy.log" | sort -u
        echo "clang-tidy: findings above (full log: $database/clang-tidy.log)"
        status=1
    else
        echo "clang-tidy: no findings in ${#units[@]} files"
    fi
fi
exit $status
