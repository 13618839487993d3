#!/usr/bin/env bash
# Peak resident memory of `carryover-cli merge` on a generated pair of ~10 MB files, against the size
# of the two files together. Run after a release build: bench/peak_memory.sh [build/release]
set -euo pipefail
build=${1:-build/release}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

"$build/bench/carryover_generate_pair" 10240 "$work/config.plist" "$work/sample.plist"
files=$(( $(stat -c %s "$work/config.plist") + $(stat -c %s "$work/sample.plist") ))
/usr/bin/time -f '%M %e' -o "$work/time" "$build/carryover-cli" merge "$work/config.plist" "$work/sample.plist" \
  -o "$work/merged.plist"
read -r peak_kib seconds < "$work/time"
peak=$(( peak_kib * 1024 ))
echo "files: $(( files / 1024 )) KiB together; merge peak RSS: $peak_kib KiB in $seconds s;" \
     "ratio $(awk -v p="$peak" -v f="$files" 'BEGIN { printf "%.1f", p / f }') (target <= 10)"
