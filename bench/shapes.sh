#!/usr/bin/env bash
# Two extreme shapes, each merged with itself by the whole `carryover-cli merge` process, against a
# process in which libplist merely parses the file once (carryover_libplist_parse): one array of 1M
# strings (the one entry of the top dictionary), and one dictionary of 1M keys. Interleaved rounds; CPU time (perf stat's task-clock) as the
# median of ROUNDS rounds (default 5), the ratio of the medians, the megabytes per CPU second of each
# shape, and peak resident memory against the file; with BASE naming another build's carryover-cli,
# that tool's merge too, in the same rounds. Run after a release build:
#   BASE=/path/to/old/carryover-cli bench/shapes.sh [build/release] [ELEMENTS]
set -euo pipefail
build=${1:-build/release}
count=${2:-1000000}
rounds=${ROUNDS:-5}
base=${BASE:-}
. "$(dirname "$0")/timing.sh"
bench_setup carryover-cli bench/carryover_libplist_parse

python3 - "$count" "$work" <<'EOF'
import sys
count, work = int(sys.argv[1]), sys.argv[2]
head = '<?xml version="1.0" encoding="UTF-8"?>\n<plist version="1.0">\n'
with open(f"{work}/array.plist", "w") as f:
    f.write(head + "<dict>\n<key>list</key>\n<array>\n")
    f.writelines(f"\t<string>value {(i * 7919) % count}</string>\n" for i in range(count))
    f.write("</array>\n</dict>\n</plist>\n")
with open(f"{work}/dictionary.plist", "w") as f:
    f.write(head + "<dict>\n")
    f.writelines(f"\t<key>key {i}</key>\n\t<string>value {i}</string>\n" for i in range(count))
    f.write("</dict>\n</plist>\n")
EOF

median() { spread | cut -d' ' -f1; }

printf '%-11s %-5s %8s %12s %12s %8s %10s %8s\n' shape tool MB "merge ms" "libplist ms" ratio "MB/s" "x file"
for shape in array dictionary; do
  file=$work/$shape.plist
  tools=("$build/carryover-cli")
  [ -n "$base" ] && tools+=("$base")
  : >"$work/libplist.ms"
  for t in "${!tools[@]}"; do : >"$work/merge$t.ms"; done
  for _ in $(seq "$rounds"); do
    for t in "${!tools[@]}"; do
      cpu_ms "${tools[$t]}" merge "$file" "$file" -o "$work/out.plist" >>"$work/merge$t.ms"
    done
    cpu_ms "$build/bench/carryover_libplist_parse" "$file" >>"$work/libplist.ms"
  done
  parse=$(median <"$work/libplist.ms")
  bytes=$(stat -c %s "$file")
  for t in "${!tools[@]}"; do
    merge=$(median <"$work/merge$t.ms")
    awk -v s=$shape -v t=$([ "$t" = 0 ] && echo this || echo base) -v b="$bytes" -v m="$merge" -v l="$parse" -v p="$(peak_kib "${tools[$t]}" merge "$file" "$file" -o "$work/out.plist")" 'BEGIN {
      printf "%-11s %-5s %8.1f %12.1f %12.1f %8.2f %10.1f %8.2f\n", s, t, b / 1048576, m, l, m / l, b / 1048576 / (m / 1000), p * 1024 / b }'
  done
done
