# What the timing scripts of bench/ share; sourced by them, after setting `build`.
#   bench_setup PROGRAM...   perf and GNU time (scripts/setup bench), the build's PROGRAMs, and a scratch
#                            folder `work` removed on exit
#   cpu_ms COMMAND...        the CPU time of one run in ms (perf stat's task-clock)
#   task_clock FILE          the same from what `perf stat -x, -e task-clock -o FILE` wrote
#   peak_kib COMMAND...      the peak resident memory of one run in KiB
#   spread                   median, least and most of the numbers on standard input

bench_setup() {
  command -v perf >/dev/null && [ -x /usr/bin/time ] || "$(dirname "${BASH_SOURCE[0]}")/../scripts/setup" bench
  if ! perf stat -e task-clock -o /dev/null true 2>/dev/null; then
    echo "perf stat cannot count task-clock here (see /proc/sys/kernel/perf_event_paranoid)" >&2
    exit 1
  fi
  local program
  for program in "$@"; do
    if [ ! -x "$build/$program" ]; then
      echo "$build/$program is missing: cmake -S . -B $build -DCARRYOVER_BENCH=ON && cmake --build $build" >&2
      exit 1
    fi
  done
  work=$(mktemp -d)
  trap 'rm -rf "$work"' EXIT
}

task_clock() { awk -F, '/task-clock/ { print $1; exit }' "$1"; }
cpu_ms() {
  perf stat -x, -e task-clock -o "$work/stat" "$@" >/dev/null
  task_clock "$work/stat"
}
peak_kib() { /usr/bin/time -f '%M' -o "$work/time" "$@" >/dev/null; cat "$work/time"; }
spread() { sort -g | awk '{ v[NR] = $1 } END { printf "%.2f %.2f %.2f\n", (NR % 2 ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2), v[1], v[NR] }'; }
