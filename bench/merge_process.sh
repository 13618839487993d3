#!/usr/bin/env bash
# The whole `carryover-cli merge` process on generated pairs, XML and binary, against a process in which
# libplist merely parses both files (carryover_libplist_parse), and against another build of the tool
# when BASE names its carryover-cli. The runs are interleaved, one of each per round, so that a machine
# shared with other work slows them alike: CPU time (perf stat's task-clock) as the median of ROUNDS
# rounds (default 7) with the least and the most, the ratio of the medians, and peak resident memory
# against the two files. Run after a release build:
#   BASE=/path/to/old/carryover-cli bench/merge_process.sh [build/release] [KILOBYTES...]
#   (KILOBYTES per file; default: 55 1024 10240)
set -euo pipefail
build=${1:-build/release}
shift || true
sizes=("$@")
[ ${#sizes[@]} -gt 0 ] || sizes=(55 1024 10240)
rounds=${ROUNDS:-7}
base=${BASE:-}

. "$(dirname "$0")/timing.sh"
bench_setup carryover-cli bench/carryover_generate_pair bench/carryover_libplist_parse

printf '%-6s %8s  %-10s %26s %14s %8s %8s\n' form "pair KiB" subject "CPU ms median [min-max]" "x libplist" "MiB" "x files"
for kib in "${sizes[@]}"; do
  for form in xml binary; do
    "$build/bench/carryover_generate_pair" $([ $form = binary ] && echo --binary) "$kib" "$work/config.plist" "$work/sample.plist"
    files=$(( $(stat -c %s "$work/config.plist") + $(stat -c %s "$work/sample.plist") ))
    subjects=(libplist merge)
    [ -n "$base" ] && subjects+=(base)
    command_of() {
      case $1 in
        libplist) echo "$build/bench/carryover_libplist_parse $work/config.plist $work/sample.plist" ;;
        merge) echo "$build/carryover-cli merge $work/config.plist $work/sample.plist -o $work/merged.plist" ;;
        base) echo "$base merge $work/config.plist $work/sample.plist -o $work/merged.plist" ;;
      esac
    }
    for s in "${subjects[@]}"; do : >"$work/$s.ms"; done
    for _ in $(seq "$rounds"); do
      for s in "${subjects[@]}"; do cpu_ms $(command_of "$s") >>"$work/$s.ms"; done
    done
    read -r lib_median _ < <(spread <"$work/libplist.ms")
    for s in "${subjects[@]}"; do
      read -r median least most < <(spread <"$work/$s.ms")
      kib_peak=$(peak_kib $(command_of "$s"))
      awk -v f=$form -v k=$(( files / 1024 )) -v s=$s -v m="$median" -v lo="$least" -v hi="$most" -v l="$lib_median" -v p="$kib_peak" -v b="$files" 'BEGIN {
        printf "%-6s %8d  %-10s %10.2f [%.2f-%.2f] %14.2f %8.1f %8.2f\n", f, k, s, m, lo, hi, m / l, p / 1024, p * 1024 / b }'
    done
  done
done
