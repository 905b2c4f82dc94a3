#!/usr/bin/env bash
# Benchmark: "frst" and "gub1" through the channel and through a plain-socket client, against a
# fresh simulator holding 20 status records; prints commands per second and their ratio.
# bench.sh [BUILD_DIR] (default build/host).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$root/build/host}
out=$(mktemp)
trap 'rm -f "$out"' EXIT
"$root/protocol/with-appliance" "$build/bin/tovapplianced" bash -c '
    for i in $(seq 1 20); do
        printf "%d\tM\t12012005\t0\tuser%02d\n" "$i" "$i"
    done >"$TOV_APPLIANCE_STATE/backup-status.tsv"
    "$0" --benchmark_format=json --benchmark_min_time=2 >"$1"' \
    "$build/bin/protocol_bench" "$out"
jq -r '
    [.benchmarks[] | {key: (.name | sub("/.*"; "")), value: .items_per_second}] | from_entries as $r |
    "frst: channel \($r.ChannelFrst | floor)/s, plain \($r.PlainFrst | floor)/s, ratio \($r.ChannelFrst / $r.PlainFrst * 1000 | round / 1000)",
    "gub1: channel \($r.ChannelGub1 | floor)/s, plain \($r.PlainGub1 | floor)/s, ratio \($r.ChannelGub1 / $r.PlainGub1 * 1000 | round / 1000)"
' "$out"
