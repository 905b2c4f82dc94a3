# Runs tovManager.exe in the network lab, for run-manager and the screens lab test (sourced): the
# lab with its appliances, the lab's Wine session, the program started in it, the UI driver and
# screenshots. The caller sets TOV_BIN (the Windows programs), TOV_APPLIANCED (the simulator),
# SCREENS_OUT (a folder for the program's output) and SCREENS_SHOTS (where screenshots go; none
# when empty).
# shellcheck shell=bash disable=SC2153

SCREENS_ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
SCREENS_NET=$SCREENS_ROOT/lab/net

screens_die() {
    echo "screens: $*" >&2
    exit 1
}

# screens_lab_up LOCAL FOREIGN: the lab with LOCAL appliances on the client's subnet and FOREIGN on
# the other one, and its Wine session, refused unless that session's server is in the lab.
screens_lab_up() {
    [ "$(id -u)" -eq 0 ] || screens_die "the lab needs root (network namespaces)"
    [ -x "$TOV_APPLIANCED" ] || screens_die "no simulator at $TOV_APPLIANCED"
    # shellcheck source=lab/net/lib.sh
    . "$SCREENS_NET/lib.sh"
    # every lab starts with appliances that remember nothing of an earlier one
    rm -rf "$LAB_STATE"/nas[0-9]* "$LAB_STATE"/far[0-9]*
    "$SCREENS_NET/up" --local "$1" --foreign "$2" --appliances >/dev/null ||
        screens_die "the lab did not come up"
    "$SCREENS_NET/wine-client" start >/dev/null || screens_die "the lab's Wine session did not start"
    # the appliances' shares for this computer, which forgets the connections of an earlier lab
    "$SCREENS_ROOT/lab/netprovider/link-hosts" "$LAB_WINEPREFIX" "$LAB_STATE" ||
        screens_die "the appliances' shares could not be linked into $LAB_WINEPREFIX"
    "$SCREENS_NET/wine-client" run reg delete 'HKCU\Network' /f >/dev/null 2>&1
    local server
    server=$(lab_wineserver_pid "$LAB_WINEPREFIX")
    if [ -z "$server" ] || ! lab_in_client "$server"; then
        screens_die "REFUSED: the wineserver of $LAB_WINEPREFIX is not in $LAB_CLIENT_NS"
    fi
}

screens_lab_down() {
    if [ -n "${MANAGER_PID:-}" ]; then
        kill "$MANAGER_PID" 2>/dev/null
        wait "$MANAGER_PID" 2>/dev/null
        MANAGER_PID=
    fi
    "$SCREENS_NET/wine-client" stop >/dev/null 2>&1
    "$SCREENS_NET/down" >/dev/null 2>&1
}

# Runs a Windows program of the bin folder (or a Wine tool) in the lab's Wine session.
screens_wine() {
    "$SCREENS_NET/wine-client" run "$@"
}

# Starts tovManager.exe with ARGS in the background; MANAGER_PID is the runner's id.
screens_start_manager() {
    screens_wine "$TOV_BIN/tovManager.exe" "$@" >"$SCREENS_OUT/manager.out" 2>&1 &
    MANAGER_PID=$!
}

# Waits until the program has ended by itself; false after SECONDS (default 30), or when it
# ended with a status other than 0.
screens_manager_ends() {
    local deadline=$((SECONDS + ${1:-30})) rc
    while kill -0 "$MANAGER_PID" 2>/dev/null; do
        [ $SECONDS -lt $deadline ] || return 1
        sleep 0.2
    done
    wait "$MANAGER_PID"
    rc=$?
    MANAGER_PID=
    return $rc
}

# The UI driver: tovdriver ARGS...
screens_driver() {
    screens_wine "$TOV_BIN/tovdriver.exe" "$@" 2>/dev/null | tr -d '\r'
}

# Waits for a screen other than NOT_HWND: prints "ID HWND".
screens_wait_screen() {
    local line word id hwnd
    line=$(screens_driver screen "${1:-30000}" "${2:-0}")
    read -r word id hwnd <<<"$line"
    [ "$word" = screen ] || return 1
    echo "$id $hwnd"
}

# The text of control ID on the current screen, and whether it is visible ("1" or "0").
screens_text() {
    screens_driver controls | awk -v id="$1" '$1 == id { sub(/^[^"]*"/, ""); sub(/"$/, ""); print; exit }'
}
screens_visible() {
    screens_driver controls | awk -v id="$1" '$1 == id { print $3; exit }'
}
screens_enabled() {
    screens_driver controls | awk -v id="$1" '$1 == id { print $4; exit }'
}

# One control's line of "tovdriver controls": ID CLASS VISIBLE ENABLED CHECKED "TEXT".
screens_control() {
    screens_driver controls | awk -v id="$1" '$1 == id { print; exit }'
}

# Polls until control ID shows and its text contains TEXT; false after SECONDS (default 30).
screens_wait_text() {
    local id=$1 text=$2 deadline=$((SECONDS + ${3:-30})) line
    while :; do
        line=$(screens_control "$id")
        read -r _ _ visible _ <<<"$line"
        [[ "$visible" == 1 && "$line" == *"$text"* ]] && return 0
        [ $SECONDS -lt $deadline ] || return 1
        sleep 0.3
    done
}

# A picture of the window titled like the program's screens, as NAME.png in SCREENS_SHOTS.
screens_shot() {
    [ -n "${SCREENS_SHOTS:-}" ] || return 0
    mkdir -p "$SCREENS_SHOTS"
    local display=${DISPLAY:-}
    if [ -z "$display" ] && [ -f "$LAB_STATE/wine/xvfb.display" ]; then
        display=:$(cat "$LAB_STATE/wine/xvfb.display")
    fi
    [ -n "$display" ] || return 0
    # inside the client namespace: the session's Xvfb also answers on an abstract socket there,
    # which a client elsewhere would mistake for another server of the same number
    local id
    id=$(DISPLAY=$display "$SCREENS_NET/exec-client" xwininfo -root -tree 2>/dev/null |
        awk '/"Kelvox Lumora"/ { print $1; exit }')
    [ -n "$id" ] || return 0
    DISPLAY=$display "$SCREENS_NET/exec-client" import -window "$id" "$SCREENS_SHOTS/$1.png" \
        2>/dev/null
}

# A value of the current user's product key as the registry holds it ("" when missing).
screens_setting() {
    screens_wine reg query 'HKCU\Software\Kelvox\TOV Lumora' /v "$1" 2>/dev/null | tr -d '\r' |
        awk -v name="$1" '$1 == name { $1 = ""; $2 = ""; sub(/^  */, ""); print }'
}

# Waits until the program's log holds COUNT (default 1) lines that are exactly LINE; false after
# SECONDS (default 60). The log only grows, so nothing it shows can be missed, however long the
# moment it tells of lasted.
screens_wait_log() {
    local line=$1 count=${2:-1} deadline=$((SECONDS + ${3:-60}))
    until [ "$(screens_log | grep -cxF -- "$line")" -ge "$count" ]; do
        [ $SECONDS -lt $deadline ] || return 1
        sleep 0.3
    done
}

# The program's log on drive C, without time stamps.
screens_log() {
    tr -d '\r' <"$LAB_WINEPREFIX/drive_c/ZELTOVManager.log" 2>/dev/null | sed 's/^.\{19\}>  //'
}
