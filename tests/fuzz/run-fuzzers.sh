#!/usr/bin/env bash
# Runs every fuzzer of the fuzz build for the given number of seconds each,
# starting from the committed seed corpus (copied, so the seeds stay as they are).
# A crash fails the run and leaves its input in <build>/artifacts/. The build
# directory is build/fuzz unless KIV_FUZZ_BUILD names another.
set -euo pipefail
seconds="${1:-60}"
root="$(cd "$(dirname "$0")/../.." && pwd)"
build="${KIV_FUZZ_BUILD:-$root/build/fuzz}"
mkdir -p "$build/artifacts"
for target in load; do
  fuzzer="$build/tests/fuzz/${target}_fuzzer"
  work="$build/corpus-$target"
  rm -rf "$work" && mkdir -p "$work"
  cp "$root/tests/fuzz/corpus/$target/"* "$work/"
  echo "== $target fuzzer, ${seconds} s"
  "$fuzzer" -max_total_time="$seconds" -max_len=8192 -print_final_stats=1 \
    -artifact_prefix="$build/artifacts/$target-" "$work" 2>"$build/$target.log" || {
      tail -40 "$build/$target.log"; echo "fuzzer $target found a crash: see $build/artifacts"; exit 1; }
  grep -E 'stat::number_of_executed_units|stat::new_units_added' "$build/$target.log" | sed 's/^/   /'
done
