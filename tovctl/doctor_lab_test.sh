#!/usr/bin/env bash
# tovctl doctor in network labs of its own, natively or under Wine:
#   tovctl/doctor_lab_test.sh SIMULATOR TOVCTL        (tovctl or tovctl.exe; as root)
# One lab layout per case: both drives, the foreign one only (then --fix), none, a silent TCP
# port, a remembered address that no longer answers. Under Wine the wineserver runs inside the
# lab's client namespace, and the remembered address comes from the product key.
set -uo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
net=$root/lab/net
[ $# -eq 2 ] || { echo "usage: $0 SIMULATOR TOVCTL" >&2; exit 2; }
simulator=$(realpath "$1")
tovctl=$(realpath "$2")
case $tovctl in
*.exe) kind=wine ;;
*) kind=native ;;
esac
export TOV_LAB_NET=${TOV_LAB_NET_DISCOVERY:-tovdoc-${kind:0:1}}
. "$net/lib.sh"
[ "$(id -u)" -eq 0 ] || lab_die "the doctor's lab tests need root (namespaces, raw sockets)"
appliances=(--cmd "$simulator --listen {addr} --state {state}/appliance --ready-file {state}/ready"
    --ready 'test -s {state}/ready')
wine_prefix=${TOV_WINEPREFIX:-$root/build/wine-prefix}-doctor
key='HKCU\SOFTWARE\Kelvox\TOV Lumora'
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

# in_client PROGRAM ARGS...: in the client namespace after the guard; a Windows program under a
# wineserver of this prefix that lives there. Prints the program's output without CRs.
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

# The remembered drive: the product key under Wine, --remembered natively. Sets $remember.
remember() {
    remember=()
    if [ "$kind" = native ]; then
        [ -z "$1" ] || remember=(--remembered "$1")
    elif [ -z "$1" ]; then
        in_client reg delete "$key" /f >/dev/null 2>&1
    else
        in_client reg add "$key" /v CurrentIP /d "$1" /f >/dev/null &&
            in_client reg add "$key" /v CurrentHostName /d "$2" /f >/dev/null
    fi
}

failures=0

layout() {
    stop_wine
    "$net/down" >/dev/null 2>&1
    case $LAB_STATE in */net-"$LAB") rm -rf "$LAB_STATE" ;; esac
    "$net/up" "${appliances[@]}" "$@" >/dev/null || { echo "FAIL: lab ($*)" >&2; exit 1; }
}

# doctor WHAT EXPECTED-EXIT PYTHON-EXPRESSION ARGS...: tovctl --json doctor ARGS, its exit status
# and its report r (with ids: the findings' ids in order) against the expression
doctor() {
    local what=$1 want=$2 expr=$3 out rc
    shift 3
    out=$(in_client "$tovctl" --json doctor "$@")
    rc=$?
    if [ "$rc" = "$want" ] && python3 -c '
import json, sys
r = json.loads(sys.argv[1].strip().splitlines()[-1])
ids = [f["finding"] for f in r["findings"]]
text = {f["finding"]: f["text"] for f in r["findings"]}
sys.exit(0 if eval("(" + sys.argv[2] + ")") else 1)' "$out" "$expr" 2>/dev/null; then
        echo "ok: $kind doctor $what"
    else
        echo "FAIL: $kind doctor $what: exit $rc: $out" >&2
        failures=$((failures + 1))
    fi
}

# both drives: the foreign one is named with the address it would take, and nothing is sent to it
layout --local 1 --foreign 1
remember ""
doctor "both drives" 0 '"drive-answering" in ids and "hidden-by-unicast" in ids and
    "TOV-113-20 at 203.0.113.20" in text["foreign-subnet"] and
    "198.51.100.250" in text["foreign-subnet"] and r["freeAddress"]["address"] == "198.51.100.250"'
if grep -q ' 69706366' "$LAB_STATE/far1/appliance/udp-journal" 2>/dev/null ||
    [ -e "$LAB_STATE/far1/appliance/address" ]; then
    echo "FAIL: $kind doctor without --fix sent \"ipcf\"" >&2
    failures=$((failures + 1))
fi

# the foreign drive only: a problem until --fix moves it into the client's subnet
layout --local 0 --foreign 1
doctor "foreign only" 1 'ids == ["adapters", "unicast-scan", "broadcast-scan", "foreign-subnet"]'
doctor "foreign only, fixed" 0 '"fixed" in ids and r["fixes"][0]["newAddress"] == "198.51.100.250"
    and r["fixes"][0]["tcp"]["state"] == "answering"' --fix
if [ "$(cat "$LAB_STATE/far1/appliance/address" 2>/dev/null)" != 198.51.100.250 ]; then
    echo "FAIL: $kind doctor --fix: far1 was not given 198.51.100.250" >&2
    failures=$((failures + 1))
fi

# no drive: cabling, power and firewall, in that order; the client's own address refuses TCP
layout --local 0 --foreign 0
doctor "no drive" 1 'ids[-4:] == ["nothing-found", "advice-cabling", "advice-power",
    "advice-firewall"] and r["drives"] == []'
doctor "a refusing address" 1 'r["address"]["tcp"]["state"] == "refused" and
    "address-not-answering" in ids' 198.51.100.10

# a silent TCP port: the drive answers the scans, but not "frst"
layout --local 1 --foreign 0
echo "frst delay 60000" >"$LAB_STATE/nas1/appliance/faults"
doctor "silent port" 1 'r["drives"][0]["tcp"]["state"] == "silent" and
    "sent no answer within 10 seconds" in text["drive-not-answering"]'
rm -f "$LAB_STATE/nas1/appliance/faults"

# a remembered address that no longer answers; the remembered name answers elsewhere
remember 198.51.100.30 TOV-100-20
if [ "$kind" = native ]; then
    moved='True'
else
    moved='"now answers at 198.51.100.20" in text["remembered-gone"]'
fi
doctor "remembered address gone" 0 '"drive-answering" in ids and
    r["remembered"]["address"] == "198.51.100.30" and r["remembered"]["echo"] == 0 and '"$moved" \
    "${remember[@]}"
remember ""

# outside the lab it refuses: tovctl_lab_guard shows it in namespaces that reach nothing, where
# a guard that let it through could not put a broadcast on the machine's network
[ $failures -eq 0 ] || { echo "doctor_lab_test: $failures failed" >&2; exit 1; }
echo "doctor_lab_test: all passed"
