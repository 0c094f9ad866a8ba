#!/usr/bin/env bash
# Runs the load fuzzer of the fuzz build (build/fuzz, or KIV_FUZZ_BUILD) for the given number of seconds,
# from a copy of the committed seed corpus. A crash fails the run and leaves its input in <build>/artifacts/.
set -euo pipefail
seconds="${1:-60}"
root="$(cd "$(dirname "$0")/../.." && pwd)"
build="${KIV_FUZZ_BUILD:-$root/build/fuzz}"
work="$build/corpus-load"
rm -rf "$work" && mkdir -p "$work" "$build/artifacts"
cp "$root/tests/fuzz/corpus/load/"* "$work/"
echo "== load fuzzer, ${seconds} s"
"$build/tests/fuzz/load_fuzzer" -max_total_time="$seconds" -max_len=8192 -print_final_stats=1 \
  -artifact_prefix="$build/artifacts/load-" "$work" 2>"$build/load.log" || {
    tail -40 "$build/load.log"; echo "the load fuzzer found a crash: see $build/artifacts"; exit 1; }
grep -E 'stat::number_of_executed_units|stat::new_units_added' "$build/load.log" | sed 's/^/   /'
