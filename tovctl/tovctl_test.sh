#!/usr/bin/env bash
# Black-box test of tovctl against the simulator: tovctl_test.sh TOVCTL [RUNNER...]. Run it
# through protocol/with-appliance, which gives TOV_APPLIANCE_ADDRESS and TOV_APPLIANCE_STATE.
set -uo pipefail
addr=${TOV_APPLIANCE_ADDRESS:?run through protocol/with-appliance}
state=${TOV_APPLIANCE_STATE:?}
passed=0
failed=0

# Runs tovctl; sets $out (without the CR a Windows program puts before each LF) and $rc.
ctl() {
    out=$("$@" 2>"$state/ctl.err" </dev/null | tr -d '\r')
    rc=${PIPESTATUS[0]}
}
# check NAME EXPECTED ACTUAL
check() {
    if [ "$2" == "$3" ]; then
        passed=$((passed + 1))
    else
        failed=$((failed + 1))
        echo "FAILED: $1: expected [$2], got [$3]" >&2
    fi
}
# field KEY: the value of KEY in tovctl's JSON, itself as compact JSON ("null" when absent).
field() {
    python3 -c 'import json, sys
print(json.dumps(json.loads(sys.argv[1]).get(sys.argv[2]), separators=(",", ":")))' "$out" "$1"
}

T=("$@")

ctl "${T[@]}" --json crat "$addr" abcd pass1234
check "crat exit" 0 "$rc"
check "crat reply" '{"command":"crat","result":0,"status":0}' "$out"
ctl "${T[@]}" --json crat "$addr" abcd again
check "crat twice" 268435457 "$(field status)"
check "crat frame" "6372617420020000000a616263640a70617373313233340a" "$(head -n 1 "$state/journal")"

ctl "${T[@]}" --json shar "$addr" abcd abcd ""
check "shar" '{"command":"shar","result":0,"status":0}' "$out"
check "shar folder" yes "$([ -d "$state/shares/abcd" ] && echo yes)"
ctl "${T[@]}" --json pshr "$addr" guest abcd ""
check "pshr exists" 536870913 "$(field status)"

ctl "${T[@]}" --json frst "$addr"
check "frst" '{"command":"frst","result":0,"status":0}' "$out"

ctl "${T[@]}" --json host "$addr" "" "" en
check "host" 0 "$(field result)"
check "host language" "language=en" "$(grep language "$state/host")"

ctl "${T[@]}" --json lsts "$addr"
check "lsts count" 2 "$(field count)"
check "lsts text" '"Public\npublic\nabcd\nprivate\n"' "$(field text)"

ctl "${T[@]}" --json spvt "$addr" 01020a03
check "spvt" 0 "$(field result)"
check "spvt data" "01020a03" "$(od -An -tx1 "$state/spvt.bin" | tr -d ' \n')"
ctl "${T[@]}" --json spvt "$addr" "$(head -c 4083 /dev/zero | od -An -tx1 -v | tr -d ' \n')"
check "spvt too long" "-1 1" "$(field result) $rc"
ctl "${T[@]}" --json spvt "$addr" 0g
check "spvt bad hex" 2 "$rc"

printf '5\tK\t01022006\t1\tabcd\n' >"$state/backup-status.tsv"
echo "capacity=2" >"$state/settings"
ctl "${T[@]}" --json gub1 "$addr"
check "gub1 count" 1 "$(field count)"
check "gub1 block" '"010002000a05004b303130323230303631616263640a000000000000"' "$(field block)"

ctl "${T[@]}" --json gps1 "$addr"
check "gps1" '{"command":"gps1","result":0,"name":"Public"}' "$out"

ctl "${T[@]}" --json gsp1 "$addr" abcd
check "gsp1" '{"command":"gsp1","result":1,"answer":1}' "$out"

echo "frst erro 7" >"$state/faults"
ctl "${T[@]}" frst "$addr"
check "plain output" "$(printf 'result: 0\nstatus: 0x6F727265')" "$out"
rm -f "$state/faults"

ctl "${T[@]}" --json frst 127.254.0.1
check "refused exit" 1 "$rc"
check "refused result" 3221225474 "$(field result)"
check "refused status absent" null "$(field status)"

ctl "${T[@]}" --json crat "$addr" onlyname
check "usage: fields" 2 "$rc"
ctl "${T[@]}" --json nope "$addr"
check "usage: command" 2 "$rc"
ctl "${T[@]}" --json frst not-an-address
check "usage: address" 2 "$rc"

echo "$passed passed, $failed failed"
[ "$failed" -eq 0 ]
