#!/usr/bin/env bash
# Checks that every tracked C++ source and header is laid out as .clang-format
# says. Prints the files that differ and exits non-zero when any does.
# Generated tables are left as their generators write them.
set -euo pipefail
cd "$(dirname "$0")/.."

GENERATED='^src/data/GazetteerRows\.cpp$'

mapfile -t files < <(git ls-files -- '*.cpp' '*.h' | grep -Ev "$GENERATED")
if ((${#files[@]} == 0)); then
  exit 0
fi

# One run over every file; each file that differs is named once.
if ! report=$(clang-format --style=file --dry-run --Werror --ferror-limit=1 "${files[@]}" 2>&1); then
  grep -oE '^[^:]+:[0-9]+:[0-9]+: error' <<<"$report" | cut -d: -f1 | sort -u | sed 's/^/not formatted: /'
  echo "Run: clang-format -i FILE (the settings are in .clang-format)" >&2
  exit 1
fi
