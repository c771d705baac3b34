#!/usr/bin/env bash
# Rewrites the expected outputs of the pinned simulate runs from a built tool:
#   scripts/regenerate-simulate-golden.sh [PATH/TO/marlwick-cli]
# (default build/dev/src/cli/marlwick-cli). Run it only when a change of the
# simulation's output is intended, and review the diff.
set -euo pipefail
cd "$(dirname "$0")/.."
cli=$(realpath "${1:-build/dev/src/cli/marlwick-cli}")
dir=tests/cli/simulate-golden
grep -v '^#' "$dir/cases.txt" | while read -r name document options; do
  [ -n "$name" ] || continue
  # shellcheck disable=SC2086 # the options are separate words on purpose
  "$cli" simulate "$document" $options >"$dir/$name.jsonl.tmp"
  mv "$dir/$name.jsonl.tmp" "$dir/$name.jsonl"
done
