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
python3 - "$out" <<'PY'
import json, sys
rate = {b["name"].split("/")[0]: b["items_per_second"] for b in json.load(open(sys.argv[1]))["benchmarks"]}
for word, channel, plain in (("frst", "ChannelFrst", "PlainFrst"), ("gub1", "ChannelGub1", "PlainGub1")):
    print("%s: channel %d/s, plain %d/s, ratio %.3f" % (word, rate[channel], rate[plain], rate[channel] / rate[plain]))
PY
