# Names and paths shared by the network lab's commands (sourced, not run).
# shellcheck shell=bash

# TOV_LAB_NET renames the whole lab, so that two labs can live on one machine side by side.
LAB=${TOV_LAB_NET:-tovlab}
LAB_ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
LAB_STATE=${TOV_LAB_STATE:-$LAB_ROOT/build/lab-state}/net-$LAB
LAB_BRIDGE_NS=$LAB-bridge
LAB_CLIENT_NS=$LAB-client
LAB_CLIENT_ADDR=198.51.100.10
LAB_CLIENT_GW=198.51.100.1
LAB_LOCAL_NET=198.51.100
LAB_FOREIGN_NET=203.0.113

lab_die() {
    echo "lab/net: $*" >&2
    exit 1
}

lab_ns_exists() {
    [ -e "/run/netns/$1" ]
}

# The namespaces of this lab, the bridge's last, as recorded by up (or found by name).
lab_namespaces() {
    ip netns list 2>/dev/null | awk '{print $1}' | grep -E "^$LAB-(client|nas[0-9]+|far[0-9]+)$" || true
    if lab_ns_exists "$LAB_BRIDGE_NS"; then echo "$LAB_BRIDGE_NS"; fi
}

# The Wine prefix of the lab's Wine session: one of its own, since its wineserver must live in the
# client namespace (the wineserver creates the sockets and the device process answers the adapter
# queries, so they use the namespace that the wineserver session was started in).
LAB_WINEPREFIX=${TOV_NET_WINEPREFIX:-$LAB_ROOT/build/wine-net}

# lab_wineserver_pid PREFIX: the id of the wineserver that serves PREFIX, if one runs. A
# wineserver works in its server directory, named after the prefix's device and inode (the
# directory above it differs between builds of Wine).
lab_wineserver_pid() {
    local dev ino dir p
    [ -d "$1" ] || return 0
    read -r dev ino < <(stat -L -c '%d %i' "$1")
    dir=$(printf 'server-%x-%x' "$dev" "$ino")
    for p in $(pgrep -x wineserver) $(pgrep -x wineserver64); do
        if [ "$(basename "$(readlink "/proc/$p/cwd" 2>/dev/null)")" = "$dir" ]; then
            echo "$p"
            return 0
        fi
    done
}

# lab_in_client PID: true when the process lives in the lab's client namespace
lab_in_client() {
    [ "$(stat -L -c '%d:%i' "/proc/$1/ns/net" 2>/dev/null)" = \
        "$(stat -L -c '%d:%i' "/run/netns/$LAB_CLIENT_NS" 2>/dev/null)" ]
}
