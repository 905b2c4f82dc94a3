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
