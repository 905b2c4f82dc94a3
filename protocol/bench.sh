#!/usr/bin/env bash
# Benchmark: "frst" and "gub1" through the channel and through a plain-socket client, against a
# fresh simulator holding 20 status records. The ratio comes from the two taken by turns (so both
# meet the same load); the medians of five repetitions are printed.
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
    "$0" --benchmark_format=json --benchmark_min_time=1 --benchmark_repetitions=5 \
        --benchmark_report_aggregates_only=true >"$1"' \
    "$build/bin/protocol_bench" "$out"
python3 - "$out" <<'PY'
import json, sys
med = {b["run_name"]: b for b in json.load(open(sys.argv[1]))["benchmarks"]
       if b.get("aggregate_name") == "median"}
for word in ("Frst", "Gub1"):
    turns = med["ByTurns%s/real_time" % word]
    channel, plain = turns["channel_per_second"], turns["plain_per_second"]
    print("%s: by turns channel %d/s, plain %d/s, ratio %.3f (alone: channel %d/s, plain %d/s)" % (
        word.lower(), channel, plain, channel / plain,
        med["Channel%s/real_time" % word]["items_per_second"],
        med["Plain%s/real_time" % word]["items_per_second"]))
PY
