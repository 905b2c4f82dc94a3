#!/usr/bin/env bash
# Runs the echo probe's lab tests inside a network lab of their own, natively or under Wine:
#   protocol/echo_probe_lab_test.sh [--client LIST] PROGRAM [ARGS...]
# --client is lab/net/up's list of the client's interfaces (default "lan").
# PROGRAM ending in .exe runs under Wine through the lab's Wine session (lab/net/wine-client), in
# a prefix of its own: Wine's sockets are made by the wineserver, so a server started anywhere
# but the client namespace would send the probes from the machine's own namespace. The program
# checks again that its sockets are inside the lab and refuses to probe otherwise.
set -uo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
net=$root/lab/net
client=lan
if [ "${1:-}" = --client ]; then
    client=$2
    shift 2
fi
[ $# -ge 1 ] || { echo "usage: $0 [--client LIST] PROGRAM [ARGS...]" >&2; exit 2; }
program=$1
shift
case $program in
*.exe) kind=wine ;;
*) kind=native ;;
esac
# a lab of this test's own, one per kind, so that both presets may run at once
layout=
[ "$client" = lan ] || layout=-${client//,/-}
export TOV_LAB_NET=${TOV_LAB_NET_ECHO:-tovecho-${kind:0:1}$layout}
export TOV_NET_WINEPREFIX=${TOV_WINEPREFIX:-$root/build/wine-prefix}-netlab
# shellcheck source=lab/net/lib.sh
. "$net/lib.sh"
[ "$(id -u)" -eq 0 ] || lab_die "the echo probe's lab tests need root (raw sockets, namespaces)"

cleanup() {
    if [ "$kind" = wine ] && lab_ns_exists "$LAB_CLIENT_NS"; then
        "$net/wine-client" stop >/dev/null 2>&1
    fi
    "$net/down" >/dev/null 2>&1
}
trap cleanup EXIT

"$net/up" --local 1 --foreign 1 --client "$client" >/dev/null || exit 1
host_ns=$LAB-nas1
# the host also takes the top two addresses, so the free-address search must pass them
ip -n "$host_ns" addr add 198.51.100.250/24 dev eth0 || exit 1
ip -n "$host_ns" addr add 198.51.100.249/24 dev eth0 || exit 1

# the host's link-local IPv6 address, once duplicate detection has let it go (a few seconds)
host6=
deadline=$((SECONDS + 10))
while [ $SECONDS -lt $deadline ]; do
    host6=$(ip -n "$host_ns" -6 -o addr show dev eth0 scope link | grep -v tentative |
        awk '{print $4}' | cut -d/ -f1 | head -1)
    client_ready=$(ip -n "$LAB_CLIENT_NS" -6 -o addr show dev eth0 scope link | grep -vc tentative)
    [ -n "$host6" ] && [ "$client_ready" -gt 0 ] && break
    host6=
    sleep 0.2
done
if [ -n "$host6" ]; then
    index=$(ip netns exec "$LAB_CLIENT_NS" cat /sys/class/net/eth0/ifindex)
    host6="$host6%$index"
else
    echo "echo_probe_lab_test: no IPv6 link-local address in the lab; IPv6 host case skipped" >&2
fi

export TOV_LAB_HOST=198.51.100.20 TOV_LAB_FREE=198.51.100.240 TOV_LAB_FIRST_FREE=198.51.100.248
export TOV_LAB_HOST6=$host6 TOV_LAB_CLIENT=$client

if [ "$kind" = native ]; then
    # shellcheck disable=SC2016
    "$net/exec-client" bash -c '"$1/assert-inside" || exit 1; shift; exec "$@"' _ "$net" \
        "$program" "$@"
    exit $?
fi

"$net/wine-client" start >/dev/null || exit 1
server=$(lab_wineserver_pid "$LAB_WINEPREFIX")
if [ -z "$server" ] || ! lab_in_client "$server"; then
    echo "echo_probe_lab_test: REFUSED: the wineserver of $LAB_WINEPREFIX is not in $LAB_CLIENT_NS" >&2
    exit 1
fi
"$net/wine-client" run "$program" "$@"
