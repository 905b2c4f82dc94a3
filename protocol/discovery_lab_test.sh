#!/usr/bin/env bash
# Runs the discovery lab tests in network labs of their own, natively or under Wine:
#   protocol/discovery_lab_test.sh SIMULATOR PROGRAM [TOVCTL]
# Each group of cases gets the lab layout it needs (client links, hosts); PROGRAM ending in .exe
# runs under Wine with a wineserver started inside the lab's client namespace, since Wine's
# sockets and adapter list are the wineserver's. TOVCTL, when given, is checked there too.
set -uo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
net=$root/lab/net
[ $# -ge 2 ] || { echo "usage: $0 SIMULATOR PROGRAM [TOVCTL]" >&2; exit 2; }
simulator=$(realpath "$1")
program=$2
tovctl=${3:-}
case $program in
*.exe) kind=wine ;;
*) kind=native ;;
esac
export TOV_LAB_NET=${TOV_LAB_NET_DISCOVERY:-tovdisco-${kind:0:1}}
. "$net/lib.sh"
[ "$(id -u)" -eq 0 ] || lab_die "the discovery lab tests need root (namespaces, raw sockets)"
appliances=(--cmd "$simulator --listen {addr} --state {state}/appliance --ready-file {state}/ready"
    --ready 'test -s {state}/ready')
export TOV_DISCO_HOSTS=$LAB_STATE
wine_prefix=${TOV_WINEPREFIX:-$root/build/wine-prefix}-disco
# The namespaces are named for the machine, not for a checkout: one run of this lab at a time,
# from whichever tree it is started.
exec 9>"/tmp/$LAB.lock"
flock 9

stop_wine() {
    if [ "$kind" = wine ] && lab_ns_exists "$LAB_CLIENT_NS"; then
        "$net/exec-client" env WINEPREFIX="$wine_prefix" wineserver -k >/dev/null 2>&1
    fi
}
cleanup() {
    stop_wine
    "$net/down" >/dev/null 2>&1
}
trap cleanup EXIT

failures=0

# in_client CMD...: runs a command in the client namespace after the guard; Windows programs
# under a wineserver of this prefix that lives there.
in_client() {
    if [ "$kind" = native ]; then
        "$net/exec-client" bash -c '"$1/assert-inside" || exit 1; shift; exec "$@"' _ "$net" "$@"
        return
    fi
    "$net/exec-client" env WINEPREFIX="$wine_prefix" TOV_WINEPREFIX="$wine_prefix" bash -c '
        root=$1
        shift
        "$root/lab/net/assert-inside" --wine || exit 1
        . "$root/lab/wine-env.sh"
        tov_ensure_prefix >/dev/null 2>&1
        wineserver -p </dev/null >/dev/null 2>&1
        "$root/lab/net/assert-inside" --wine || exit 1
        out=$(mktemp)
        wine "$@" </dev/null >"$out" 2>&1
        rc=$?
        tr -d "\r" <"$out"
        rm -f "$out"
        exit $rc' _ "$root" "$@"
}

# layout NAME FILTER UP-ARGUMENTS...: a fresh lab, then the cases of FILTER in it
layout() {
    local name=$1 filter=$2
    shift 2
    stop_wine
    "$net/down" >/dev/null 2>&1
    # every layout starts from empty appliance state folders
    case $LAB_STATE in */net-"$LAB") rm -rf "$LAB_STATE" ;; esac
    "$net/up" "${appliances[@]}" "$@" >/dev/null || { echo "FAIL: lab for $name" >&2; exit 1; }
    [ "$name" != reconfigure ] || {
        # the first two free-address candidates answer, so the search must pass them
        ip -n "$LAB-nas1" addr add 198.51.100.250/24 dev eth0 &&
            ip -n "$LAB-nas1" addr add 198.51.100.249/24 dev eth0
    } || exit 1
    echo "== $name ($*)"
    in_client "$program" --gtest_filter="$filter" || failures=$((failures + 1))
    [ -z "$tovctl" ] || tovctl_checks "$name" || failures=$((failures + 1))
}

# json COMMAND... | check PYTHON-EXPRESSION: tovctl's JSON against an expression over r
check() {
    local what=$1 expr=$2 out=$3
    if python3 -c "import json,sys; r=json.loads(sys.argv[1]); sys.exit(0 if ($expr) else 1)" \
        "$(tail -1 <<<"$out")" 2>/dev/null; then
        echo "ok: tovctl $what"
    else
        echo "FAIL: tovctl $what: $out" >&2
        return 1
    fi
}

tovctl_checks() {
    local bad=0 out
    case $1 in
    lan)
        out=$(in_client "$tovctl" --json adapters)
        check adapters 'r["count"]==1 and r["adapters"][0]=={"address":"198.51.100.10","mask":"255.255.255.0","gateway":"198.51.100.1"}' "$out" || bad=1
        out=$(in_client "$tovctl" --json discover 1)
        check "discover 1" 'r["result"]==0xC0000001 and sorted(x["hostName"] for x in r["records"])==["TOV-100-20","TOV-100-21","TOV-100-22"]' "$out" || bad=1
        out=$(in_client "$tovctl" --json discover 2)
        check "discover 2" 'r["result"]==0 and {"hostName":"TOV-113-20","ipAddress":"203.0.113.20","detail":"Shared Storage drive"} in r["records"] and len(r["records"])==4' "$out" || bad=1
        out=$(in_client "$tovctl" --json probe 198.51.100.20)
        check "probe of a lab host" 'r["result"]==1' "$out" || bad=1
        out=$(in_client "$tovctl" --json probe 198.51.100.240)
        check "probe of a free address" 'r["result"]==0' "$out" || bad=1
        out=$(in_client "$tovctl" --json probe no-such-host.invalid)
        check "probe of an unresolvable name" 'r["result"]==2' "$out" || bad=1
        ;;
    reconfigure)
        # the lab test has moved far1 to .248; moved again, it takes the next free one, .247
        out=$(in_client "$tovctl" --json reconfigure 198.51.100.248)
        check reconfigure 'r["result"]==0 and r["freeAddress"]=="198.51.100.247" and r["record"]["ipAddress"]=="198.51.100.247"' "$out" || bad=1
        ;;
    esac
    return $bad
}

layout lan 'Lan.*' --local 3 --foreign 1
layout two-adapters 'TwoAdapters.*' --client lan,far --local 1 --foreign 1
layout no-address 'NoAddress.*' --client lan-bare,bare --local 1 --foreign 0
layout reconfigure 'Reconfigure.*' --local 1 --foreign 1

# outside the lab the lab-only commands refuse; only the one that sends nothing anyway is tried
# here, so that a broken guard could not put anything on the machine's network
if [ -n "$tovctl" ] && [ "$kind" = native ]; then
    "$tovctl" adapters >/dev/null 2>&1
    if [ $? -eq 3 ]; then
        echo "ok: tovctl adapters refuses outside the lab"
    else
        echo "FAIL: tovctl adapters ran outside the lab" >&2
        failures=$((failures + 1))
    fi
fi

if [ $failures -ne 0 ]; then
    echo "discovery_lab_test: $failures group(s) failed" >&2
    exit 1
fi
echo "discovery_lab_test: all passed"
