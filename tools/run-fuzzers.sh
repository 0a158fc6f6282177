#!/bin/sh
# Runs every fuzz target in $1 for $2 seconds from its seed corpus in
# fuzz/corpus/<name>/ (new inputs go to a scratch copy, the committed corpus
# stays as it is). Fails on the first crash.
set -e
DIR="$1"; SECONDS_EACH="${2:-60}"
ROOT="$(cd "$(dirname "$0")/.." && pwd)"
status=0
for target in "$DIR"/*; do
  [ -x "$target" ] || continue
  name="$(basename "$target")"
  work="$(mktemp -d)"
  [ -d "$ROOT/fuzz/corpus/$name" ] && cp -r "$ROOT/fuzz/corpus/$name/." "$work/"
  echo "fuzzing $name for ${SECONDS_EACH}s"
  if ! (cd "$work" && "$target" -max_total_time="$SECONDS_EACH" -print_final_stats=1 \
        -artifact_prefix="$ROOT/out/fuzz-$name-" "$work" 2>&1 | grep -E "stat::number_of_executed_units|ERROR|SUMMARY|crash-|Done"); then
    :
  fi
  if ls "$ROOT"/out/fuzz-"$name"-* >/dev/null 2>&1; then
    echo "FAILED: $name left a reproducer in out/"; status=1
  fi
  rm -rf "$work"
done
exit $status
