#!/usr/bin/env bash
# The whole `carryover-cli merge` process on generated pairs, against a process in which libplist merely
# parses both files (carryover_libplist_parse): CPU time (perf stat's task-clock, the mean of RUNS runs) and peak
# resident memory, with the ratios. Run after a release build:
#   bench/merge_process.sh [build/release] [KILOBYTES...]    (per file; default: 55 1024 10240 102400)
set -euo pipefail
build=${1:-build/release}
shift || true
sizes=("$@")
[ ${#sizes[@]} -gt 0 ] || sizes=(55 1024 10240 102400)
runs=${RUNS:-5}

# perf and GNU time come from the bench set of scripts/setup; the programs from a build with the benchmarks.
command -v perf >/dev/null && [ -x /usr/bin/time ] || "$(dirname "$0")/../scripts/setup" bench
if ! perf stat -e task-clock -o /dev/null true 2>/dev/null; then
  echo "perf stat cannot count task-clock here (see /proc/sys/kernel/perf_event_paranoid)" >&2
  exit 1
fi
for program in carryover-cli bench/carryover_generate_pair bench/carryover_libplist_parse; do
  if [ ! -x "$build/$program" ]; then
    echo "$build/$program is missing: cmake -S . -B $build -DCARRYOVER_BENCH=ON && cmake --build $build" >&2
    exit 1
  fi
done
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# The CPU time in ms (task-clock, mean of RUNS runs, from perf stat) and the largest peak RSS in KiB.
measure() {
  perf stat -x, -e task-clock -r "$runs" -o "$work/stat" "$@" >/dev/null
  local ms kib
  ms=$(awk -F, '/task-clock/ { print $1; exit }' "$work/stat")
  /usr/bin/time -f '%M' -o "$work/time" "$@" >/dev/null
  kib=$(cat "$work/time")
  echo "$ms $kib"
}

printf '%10s %12s %12s %8s %12s %10s %10s\n' "pair KiB" "merge ms" "libplist ms" "ratio" "merge MiB" "x files" "MiB/MB"
for kib in "${sizes[@]}"; do
  "$build/bench/carryover_generate_pair" "$kib" "$work/config.plist" "$work/sample.plist"
  files=$(( $(stat -c %s "$work/config.plist") + $(stat -c %s "$work/sample.plist") ))
  read -r merge_ms merge_kib < <(measure "$build/carryover-cli" merge "$work/config.plist" "$work/sample.plist" -o "$work/merged.plist")
  read -r base_ms _ < <(measure "$build/bench/carryover_libplist_parse" "$work/config.plist" "$work/sample.plist")
  awk -v k="$(( files / 1024 ))" -v m="$merge_ms" -v b="$base_ms" -v p="$merge_kib" -v f="$files" 'BEGIN {
    printf "%10d %12.2f %12.2f %8.2f %12.1f %10.1f %10.2f\n", k, m, b, (b > 0 ? m / b : 0), p / 1024, p * 1024 / f, (p / 1024) / (f / 1048576) }'
done
