#!/usr/bin/env bash
# The window from start to painted on a generated pair, against the whole `carryover-cli merge` of the
# same pair. `carryover CONFIG SAMPLE` runs offscreen until its CPU time stands still (it has loaded,
# compared and painted, and waits for the user); it is then ended. The runs are interleaved, one of each
# per round: CPU time (perf stat's task-clock) as the median of ROUNDS rounds (default 7) with the least
# and the most, the ratio of the medians, and peak resident memory against the two files; also another
# build of the window when BASE names its carryover. Run after a release build with the benchmarks:
#   BASE=/path/to/old/carryover bench/window_process.sh [build/release] [KILOBYTES]
#   (KILOBYTES per file; default 8192, about 300k nodes in the pair)
set -euo pipefail
build=${1:-build/release}
kib=${2:-8192}
rounds=${ROUNDS:-7}
base=${BASE:-}

. "$(dirname "$0")/timing.sh"
bench_setup carryover carryover-cli bench/carryover_generate_pair
export QT_QPA_PLATFORM=offscreen XDG_CONFIG_HOME="$work/settings"

"$build/bench/carryover_generate_pair" "$kib" "$work/config.plist" "$work/sample.plist"
files=$(( $(stat -c %s "$work/config.plist") + $(stat -c %s "$work/sample.plist") ))
cli=("$build/carryover-cli" merge "$work/config.plist" "$work/sample.plist" -o "$work/merged.plist")
window=("$build/carryover" "$work/config.plist" "$work/sample.plist")
subjects=(cli window)
[ -n "$base" ] && subjects+=(base)

cpu_ticks() { awk '{ print $14 + $15 }' "/proc/$1/stat" 2>/dev/null || echo gone; }
# Runs `measure` (a wrapper ending in the window's command line) in the background and ends the
# window once its CPU time has not moved for half a second.
run_window() {
  "$@" >/dev/null 2>&1 &
  local wrapper=$! app=""
  while [ -z "$app" ]; do
    sleep 0.05
    app=$(pgrep -P "$wrapper" || true)
  done
  local last=-1 still=0 now
  while [ "$still" -lt 5 ]; do
    sleep 0.1
    now=$(cpu_ticks "$app")
    if [ "$now" = "$last" ]; then still=$((still + 1)); else still=0; fi
    last=$now
  done
  kill "$app"
  wait "$wrapper" || true
}

# Runs subject $1 under the wrapper that follows.
run() {
  local subject=$1
  shift
  case $subject in
    cli) "$@" "${cli[@]}" >/dev/null ;;
    window) run_window "$@" "${window[@]}" ;;
    base) run_window "$@" "$base" "${window[@]:1}" ;;
  esac
}
for s in "${subjects[@]}"; do : >"$work/$s.ms"; done
for _ in $(seq "$rounds"); do
  for s in "${subjects[@]}"; do
    run "$s" perf stat -x, -e task-clock -o "$work/stat"
    task_clock "$work/stat" >>"$work/$s.ms"
  done
done
for s in "${subjects[@]}"; do run "$s" /usr/bin/time -f '%M' -o "$work/$s.kib"; done

read -r cli_median _ < <(spread <"$work/cli.ms")
printf '%8s  %-8s %26s %8s %8s %8s\n' "pair KiB" subject "CPU ms median [min-max]" "x cli" "MiB" "x files"
for s in "${subjects[@]}"; do
  read -r median least most < <(spread <"$work/$s.ms")
  awk -v k=$((files / 1024)) -v s=$s -v m="$median" -v lo="$least" -v hi="$most" -v c="$cli_median" \
    -v p="$(tail -n 1 "$work/$s.kib")" -v b="$files" 'BEGIN {
    printf "%8d  %-8s %10.2f [%.2f-%.2f] %8.2f %8.1f %8.2f\n", k, s, m, lo, hi, m / c, p / 1024, p * 1024 / b }'
done
