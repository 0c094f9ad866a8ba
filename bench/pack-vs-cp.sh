#!/usr/bin/env bash
# kivpack against cp -r: the same tree packed by the optimised kivpack and
# copied by cp -r, into empty directories beside it (so on the same file
# system), alternating which goes first; the median of the rounds' wall time,
# of their CPU time (user and system, perf stat's task-clock: the steadier
# figure on a shared machine), and of each round's ratio of wall times. With
# BASE_KIVPACK (the build before a change) that one is timed in the same
# rounds too. The disk is synced before each run, untimed.
# Not part of `make test`; see docs/performance.md.
#
#   bench/pack-vs-cp.sh TREE [ROUNDS] [KIVPACK] [KIVSETUP_EXE] [BASE_KIVPACK]
set -euo pipefail
tree="$(realpath "$1")" rounds="${2:-9}"
kivpack="$(realpath "${3:-build/release/kivpack}")" installer="$(realpath "${4:-build/windows/KivSetup.exe}")"
base="${5:+$(realpath "$5")}"
scratch="$(mktemp -d "$(dirname "$tree")/pack-vs-cp.XXXXXX")"
[ "${KIV_BENCH_KEEP:-}" = 1 ] || trap 'rm -rf "$scratch"' EXIT
options=(--title Bench --default-dir 'C:\Bench' --installer "$installer" "$tree")
"$kivpack" "${options[@]}" "$scratch/first" >/dev/null 2>"$scratch/err" || { grep -v note: "$scratch/err" >&2; echo "pack-vs-cp: kivpack refuses $tree; pack a tree it takes" >&2; exit 1; }
echo "pack-vs-cp: $(find "$scratch/first/data" -type f | wc -l) files, $(du -sh "$scratch/first/data" | cut -f1)"

# Every round writes into directories of its own, and nothing is removed
# before the end: ext4 without a journal gives no inode out again for one to
# six minutes after its deletion and searches past every such inode for each
# new file, which made a round that followed a removal several times slower.
# KIV_BENCH_KEEP=1 leaves them (a removal slows the next benchmark too).
declare -A wall cpu
one() {  # NAME COMMAND...
  local name="$1" start end; shift
  sync
  start=$(date +%s%N)
  perf stat -x, -e task-clock -o "$scratch/stat" "$@" >/dev/null 2>&1
  end=$(date +%s%N)
  wall[$name]+="$(( (end - start) / 1000000 )) "
  cpu[$name]+="$(awk -F, '/task-clock/ {printf "%d", $1}' "$scratch/stat") "
}
names=(cp kivpack ${base:+base})
run() {  # NAME ROUND
  case "$1" in
    cp) one cp cp -r "$tree" "$scratch/copy-$2" ;;
    kivpack) one kivpack "$kivpack" "${options[@]}" "$scratch/pack-$2" ;;
    base) one base "$base" "${options[@]}" "$scratch/base-$2" ;;
  esac
}
for i in $(seq "$rounds"); do
  if (( i % 2 )); then order=("${names[@]}"); else order=(); for n in "${names[@]}"; do order=("$n" "${order[@]}"); done; fi
  for name in "${order[@]}"; do run "$name" "$i"; done
done
median() { tr ' ' '\n' <<<"$1" | grep . | sort -g | sed -n "$(( ($(wc -w <<<"$1") + 1) / 2 ))p"; }
ratios() { paste -d' ' <(tr ' ' '\n' <<<"$1" | grep .) <(tr ' ' '\n' <<<"$2" | grep .) | awk '{ printf "%.3f ", $1 / $2 }'; }
for name in "${names[@]}"; do
  line="$name${base:+ ($([ "$name" = base ] && echo "$base" || { [ "$name" = kivpack ] && echo "$kivpack" || echo cp -r; }))}: wall ${wall[$name]}ms, median $(median "${wall[$name]}") ms; CPU median $(median "${cpu[$name]}") ms"
  [ "$name" = cp ] || line+="; ratio to cp -r, median of the rounds' $(median "$(ratios "${wall[$name]}" "${wall[cp]}")")"
  echo "$line"
done
