#!/usr/bin/env bash
# tovctl's lab commands refuse when their sockets would not be the lab client's:
#   tovctl/lab_guard_test.sh TOVCTL        (tovctl or tovctl.exe; as root)
# Two namespaces of the test's own, joined to nothing, so that a guard that let a command through
# could not reach any network: "-client" has the lab client's address 198.51.100.10/24 on a veth
# pair whose ends both live in it, and no default route; "-void" has only its loopback, down.
# Natively tovctl runs in "-client": the adapter is a lab one, but the limited broadcast has no
# route there. Under Wine the wineserver runs in "-void" and tovctl.exe in "-client": the adapter
# list comes from the device process that tovctl.exe's start brings up in "-client", the sockets
# from the server, which has no route at all.
set -uo pipefail
[ $# -eq 1 ] || { echo "usage: $0 TOVCTL" >&2; exit 2; }
tovctl=$(realpath "$1")
root=$(cd "$(dirname "$0")/.." && pwd)
[ "$(id -u)" -eq 0 ] || { echo "lab_guard_test: needs root (network namespaces)" >&2; exit 1; }
name=${TOV_LAB_NET:-tovlab}g
client=$name-client void=$name-void
state=${TOV_LAB_STATE:-$root/build/lab-state}/guard-$name
prefix=${TOV_WINEPREFIX:-$root/build/wine-prefix}-guard
mkdir -p "$state"
exec 9>"/tmp/$name.lock"
flock 9
unset DISPLAY

case $tovctl in
*.exe) kind=wine ;;
*) kind=native ;;
esac

cleanup() {
    [ "$kind" = native ] || WINEPREFIX=$prefix wineserver -k >/dev/null 2>&1
    local ns pid
    for ns in "$client" "$void"; do
        [ -e "/run/netns/$ns" ] || continue
        for pid in $(ip netns pids "$ns"); do kill -9 "$pid" 2>/dev/null; done
        ip netns del "$ns"
    done
}
cleanup
trap cleanup EXIT
ip netns add "$client" && ip netns add "$void" || exit 1
ip -n "$client" link add eth0 type veth peer name eth1 &&
    ip -n "$client" addr add 198.51.100.10/24 brd + dev eth0 &&
    ip -n "$client" link set eth0 up && ip -n "$client" link set eth1 up || exit 1

failures=0
# refuses COMMAND...: tovctl must end with 3 for the reason its sockets give
refuses() {
    local rc
    if [ "$kind" = native ]; then
        ip netns exec "$client" "$tovctl" --json "$@" </dev/null >"$state/out" 2>"$state/err"
    else
        ip netns exec "$client" env WINEPREFIX="$prefix" wine "$tovctl" --json "$@" </dev/null \
            >"$state/out" 2>"$state/err"
    fi
    rc=$?
    if [ $rc -eq 3 ] && grep -q "REFUSED: $1 .*the sockets would send to" "$state/err"; then
        echo "ok: $kind $* refused"
    else
        echo "FAIL: $kind $*: exit $rc: $(cat "$state/err" "$state/out" | tr -d "\r" | head -5)" >&2
        failures=$((failures + 1))
    fi
}

if [ "$kind" = wine ]; then
    # the prefix is made inside the void too; then a bare server is left there, and the first
    # Windows program starts the device process where it runs itself
    ip netns exec "$void" env WINEPREFIX="$prefix" TOV_WINEPREFIX="$prefix" TOV_LAB_STATE="$state" \
        bash -c '. "$1/lab/wine-env.sh" && tov_ensure_prefix && wineserver -w' _ "$root" ||
        { echo "FAIL: no Wine prefix $prefix" >&2; exit 1; }
    ip netns exec "$void" env WINEPREFIX="$prefix" wineserver -p </dev/null >/dev/null 2>&1
    . "$root/lab/net/lib.sh"
    server=$(lab_wineserver_pid "$prefix")
    if [ -z "$server" ] || [ "$(stat -L -c %i "/proc/$server/ns/net")" != \
        "$(stat -L -c %i "/run/netns/$void")" ]; then
        echo "FAIL: the wineserver of $prefix is not in $void; nothing was run" >&2
        exit 1
    fi
fi

refuses discover 2
refuses discover 1
refuses probe 198.51.100.20
refuses reconfigure 198.51.100.20
refuses doctor
refuses doctor 198.51.100.20 --fix

[ $failures -eq 0 ]
