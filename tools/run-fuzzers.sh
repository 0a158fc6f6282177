#!/bin/sh
# Runs every fuzz target in $1 for $2 seconds each, starting from its seed
# corpus in fuzz/corpus/<name>/ (new inputs go to a scratch copy, the
# committed corpus stays as it is) and its dictionary fuzz/<name>.dict if
# there is one, with the flags in fuzz/<name>.options. Prints the executions per target; fails when a target
# crashes, leaks, runs out of memory or hangs (its reproducer is left in
# out/fuzz-<name>-*).
set -e
DIR="$(cd "$1" && pwd)"; SECONDS_EACH="${2:-60}"
ROOT="$(cd "$(dirname "$0")/.." && pwd)"
mkdir -p "$ROOT/out"
# undefined behaviour ends the run like a crash, so it leaves a reproducer
export UBSAN_OPTIONS="halt_on_error=1:print_stacktrace=1"
status=0
for target in "$DIR"/*; do
  [ -f "$target" ] && [ -x "$target" ] || continue
  name="$(basename "$target")"
  work="$(mktemp -d)"
  log="$work.log"
  [ -d "$ROOT/fuzz/corpus/$name" ] && cp -r "$ROOT/fuzz/corpus/$name/." "$work/"
  dict=""
  [ -f "$ROOT/fuzz/$name.dict" ] && dict="-dict=$ROOT/fuzz/$name.dict"
  # extra libFuzzer flags of a target, e.g. a larger input limit
  flags=""
  [ -f "$ROOT/fuzz/$name.options" ] && flags="$(cat "$ROOT/fuzz/$name.options")"
  if (cd "$work" && "$target" -max_total_time="$SECONDS_EACH" -timeout=10 -print_final_stats=1 \
        -artifact_prefix="$ROOT/out/fuzz-$name-" $dict $flags "$work") >"$log" 2>&1; then
    runs="$(sed -n 's/^stat::number_of_executed_units: *//p' "$log")"
    echo "$name: $runs executions in ${SECONDS_EACH}s, corpus of $(ls "$work" | wc -l) inputs"
  else
    echo "FAILED: $name"
    grep -E "ERROR|SUMMARY|Test unit written|artifact" "$log" | head -20
    status=1
  fi
  rm -rf "$work" "$log"
done
exit $status
