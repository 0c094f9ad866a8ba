#!/usr/bin/env bash
# Runs each fuzzer of the fuzz build (build/fuzz, or KIV_FUZZ_BUILD) for the given number of seconds,
# from a copy of its committed seed corpus. A crash fails the run and leaves its input in <build>/artifacts/.
set -euo pipefail
seconds="${1:-60}"
root="$(cd "$(dirname "$0")/../.." && pwd)"
build="${KIV_FUZZ_BUILD:-$root/build/fuzz}"
for target in load path; do
  work="$build/corpus-$target"
  rm -rf "$work" && mkdir -p "$work" "$build/artifacts"
  cp "$root/tests/fuzz/corpus/$target/"* "$work/"
  echo "== $target fuzzer, ${seconds} s"
  "$build/tests/fuzz/${target}_fuzzer" -max_total_time="$seconds" -max_len=8192 -print_final_stats=1 \
    -artifact_prefix="$build/artifacts/$target-" "$work" 2>"$build/$target.log" || {
      tail -40 "$build/$target.log"; echo "the $target fuzzer found a crash: see $build/artifacts"; exit 1; }
  grep -E 'stat::number_of_executed_units|stat::new_units_added' "$build/$target.log" | sed 's/^/   /'
done
