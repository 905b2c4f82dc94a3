#!/usr/bin/env bash
# The first screens in the network lab, as a user meets them: tovManager.exe in the lab's Wine
# session, driven through the UI driver, against simulated appliances on both subnets.
#   tests/screens/screens_lab_test.sh BINDIR SIMULATOR [CASE...]
# Cases: one-local, foreign-only, none, remembered, password-set, reconfigure-fails,
# close-while-scanning (default: all). Needs root.
set -uo pipefail
here=$(cd "$(dirname "$0")" && pwd)
[ $# -ge 2 ] || { echo "usage: $0 BINDIR SIMULATOR [CASE...]" >&2; exit 2; }
export TOV_BIN=$1 TOV_APPLIANCED=$2
shift 2
cases=("$@")
[ ${#cases[@]} -gt 0 ] || cases=(one-local foreign-only none remembered password-set reconfigure-fails
    close-while-scanning)
root=$(cd "$here/../.." && pwd)
# a lab, a Wine prefix and a state folder of this test's own
# an engineer who renamed the lab (TOV_LAB_NET) gets a screens lab of that name too
export TOV_LAB_NET=${TOV_LAB_NET_SCREENS:-${TOV_LAB_NET:+${TOV_LAB_NET}s}}
export TOV_LAB_NET=${TOV_LAB_NET:-tovscreens}
export TOV_NET_WINEPREFIX=${TOV_WINEPREFIX:-$root/build/wine-prefix}-screens
export SCREENS_OUT=${TOV_LAB_STATE:-$root/build/lab-state}/screens-test
export SCREENS_SHOTS=$SCREENS_OUT/shots
mkdir -p "$SCREENS_OUT"
# shellcheck source=lab/manager-lib.sh
. "$root/lab/manager-lib.sh"
trap screens_lab_down EXIT

failures=0
fail() {
    echo "FAIL [$case]: $*" >&2
    screens_log | grep -v 'OnTimer Function' | tail -30 >&2
    failures=$((failures + 1))
    return 1
}

# IDs of the screens and controls the cases look at
LOCATE=529 NOTE=543 MESSAGE=563
SCAN_MESSAGE=1008 DEVICE_LIST=1001 START=1041 NEXT=1004 HEADING=1020 MESSAGE_TEXT=1017
RIGHT_BUTTON=1026

# Starts the program and waits for its first screen: sets SCREEN_ID and SCREEN_HWND.
start_and_wait() {
    rm -f "$LAB_WINEPREFIX/drive_c/ZELTOVManager.log"
    screens_start_manager -debug
    next_screen 0
}
next_screen() {
    local s
    s=$(screens_wait_screen 40000 "$1") || return 1
    SCREEN_ID=${s% *}
    SCREEN_HWND=${s#* }
}
# The Main menu as a screen reader finds it: the icons named after their labels, and every
# control named and within reach of Tab.
main_menu_named() {
    local names problems line
    names=$(screens_driver names)
    for line in '1101 Button 1 1 1 "SHARED STORAGE SETUP"' '1103 Button 1 1 1 "BACKUP & RESTORE"' \
        '1105 Button 1 1 1 "DRIVE MANAGEMENT"' '1187 Button 1 1 1 "Close"'; do
        grep -qxF "$line" <<<"$names" || { echo "no $line in: $names" >&2; return 1; }
    done
    problems=$(screens_driver access)
    [ -z "$problems" ] || { echo "$problems" >&2; return 1; }
}
# After the Note (or a Locate screen that ends by itself, which may pass unseen): the Main menu
# is the next screen, and Alt+F4 there ends the program. With "names", the Main menu's names are
# checked first.
leave_main_menu() {
    next_screen "$1" || return 1
    if [ "$SCREEN_ID" = $LOCATE ]; then
        next_screen "$SCREEN_HWND" || return 1
    fi
    [ "$SCREEN_ID" = 530 ] || { echo "screen $SCREEN_ID, not the Main menu" >&2; return 1; }
    if [ "${2:-}" = names ]; then
        main_menu_named || { echo "the Main menu's names" >&2; return 1; }
    fi
    screens_driver key Alt+F4 >/dev/null
    screens_manager_ends 30
}
forget_appliance() {
    screens_wine reg delete 'HKCU\Software\Kelvox\TOV Lumora' /f >/dev/null 2>&1
}
# After a Locate screen that finds one appliance and ends by itself within seconds: the Note.
# The driver may come too late to see the Locate screen at all on a busy machine; the log tells
# that it ran. Sets SCREEN_ID and SCREEN_HWND to the Note's.
locate_then_note() {
    if [ "$SCREEN_ID" = $LOCATE ]; then
        [ -z "${1:-}" ] || screens_shot "$1"
        next_screen "$SCREEN_HWND" || { fail "the Locate screen did not end by itself"; return 1; }
    fi
    [ "$SCREEN_ID" = $NOTE ] || { fail "after Locate came $SCREEN_ID, not the Note"; return 1; }
    screens_wait_log "Scan Unicast Thread Started..." "${2:-1}" 0 || { fail "no Locate scan"; return 1; }
}

case_one_local() {
    screens_lab_up 1 0 || return 1
    forget_appliance
    start_and_wait || { fail "no screen"; return 1; }
    # it finds the one appliance, saves it and ends by itself: the Note follows
    locate_then_note locate-scanning || return 1
    screens_shot note
    [ "$(screens_setting CurrentHostName)" = TOV-100-20 ] || fail "CurrentHostName"
    [ "$(screens_setting CurrentIP)" = 198.51.100.20 ] || fail "CurrentIP"
    screens_log | grep -qx "  \[0\] 'TOV-100-20' - 198.51.100.20 - \[.*\]" || fail "found line"
    screens_log | grep -qx "Scan Unicast Thread Started..." || fail "unicast start line"
    screens_log | grep -qx "Scan Unicast Thread Ended..." || fail "unicast end line"
    screens_log | grep -q "Broadcast Thread" && fail "a broadcast scan after a unicast find"
    # the note sent "host" with the language code
    grep -qx "language=en" "$LAB_STATE/nas1/appliance/host" || fail "no host with language en"
    screens_driver click $NEXT >/dev/null
    leave_main_menu "$SCREEN_HWND" names || fail "the program did not end from the Main menu"
}

case_foreign_only() {
    screens_lab_up 0 1 || return 1
    forget_appliance
    start_and_wait || { fail "no screen"; return 1; }
    [ "$SCREEN_ID" = $LOCATE ] || { fail "first screen $SCREEN_ID, not Locate"; return 1; }
    # string 55 stands only while the appliance is reconfigured and the rescan finds it again
    screens_wait_log "  Message 55 shown at (130, 220)" 1 90 || { fail "string 55 never showed"; return 1; }
    next_screen "$SCREEN_HWND" || { fail "the Locate screen did not end"; return 1; }
    [ "$SCREEN_ID" = $NOTE ] || { fail "after Locate came $SCREEN_ID, not the Note"; return 1; }
    local ip
    ip=$(screens_setting CurrentIP)
    [[ "$ip" == 198.51.100.* ]] || fail "CurrentIP '$ip' is not in the client's subnet"
    [ "$(cut -f1 "$LAB_STATE/far1/appliance/address" 2>/dev/null)" = "$ip" ] ||
        fail "the appliance did not take $ip"
    screens_log | grep -qx "Scan Broadcast Thread Started..." || fail "no broadcast scan"
    screens_log | grep -qx "Scan BroadCast Thread Ended..." || fail "broadcast end line"
    screens_log | grep -q "  \[0\] 'TOV-113-20' - $ip - " || fail "the rescan did not list $ip"
    # shown before the reconfiguration, and until the rescan listed the appliance again
    screens_log | grep -v 'OnTimer Function' | grep -A1 -xF "  Message 55 shown at (130, 220)" |
        grep -qx "Scan Unicast Thread Started..." || fail "string 55 not before the rescan"
    screens_driver key Alt+F4 >/dev/null
    screens_manager_ends 30 || fail "Alt+F4 did not end the program"
}

case_none() {
    screens_lab_up 0 0 || return 1
    forget_appliance
    start_and_wait || { fail "no screen"; return 1; }
    screens_wait_text $SCAN_MESSAGE "No Shared Storage drives were found" 60 ||
        { fail "string 8 never showed"; return 1; }
    screens_shot locate-none-found
    [ "$(screens_enabled $START)" = 1 ] || fail "Start is not enabled"
    [ "$(screens_visible $DEVICE_LIST)" = 0 ] || fail "the list shows"
    [ "$(screens_enabled $NEXT)" = 0 ] || fail "Next is enabled"
    # Enter on the focused Start scans again from state 1; Esc changes nothing
    screens_driver key Esc >/dev/null
    screens_driver key Enter >/dev/null
    screens_wait_log "Scan Unicast Thread Started..." 2 30 || fail "Enter did not start a new scan"
    # the new scan hid string 8 before it started; it shows again once both scans found nothing
    screens_wait_log "  Message 8 shown at (130, 170)" 2 90 || fail "rescan"
    screens_wait_text $SCAN_MESSAGE "No Shared Storage drives were found" 60 || fail "string 8"
    [ "$(screens_log | grep -cx 'Scan Unicast Thread Started...')" = 2 ] || fail "two unicast scans"
    screens_driver key Alt+F4 >/dev/null
    screens_manager_ends 30 || fail "Alt+F4 did not end the program"
}

case_remembered() {
    screens_lab_up 1 0 || return 1
    screens_wine reg add 'HKCU\Software\Kelvox\TOV Lumora' /v CurrentIP /t REG_SZ \
        /d 198.51.100.20 /f >/dev/null 2>&1
    screens_wine reg add 'HKCU\Software\Kelvox\TOV Lumora' /v CurrentHostName /t REG_SZ \
        /d TOV-100-20 /f >/dev/null 2>&1
    # the appliance fails "host": the message, then Back leads to the Locate screen
    echo "host erro 0xB0000001" >"$LAB_STATE/nas1/appliance/faults"
    start_and_wait || { fail "no screen"; return 1; }
    [ "$SCREEN_ID" = $MESSAGE ] || { fail "first screen $SCREEN_ID, not the note's message"; return 1; }
    [ "$(screens_text $HEADING)" = "Shared Storage device: TOV-100-20(198.51.100.20)" ] ||
        fail "heading '$(screens_text $HEADING)'"
    screens_shot note-host-failed
    : >"$LAB_STATE/nas1/appliance/faults"
    screens_log | grep -q "Scan Unicast" && fail "the probe did not answer first"
    screens_driver click $RIGHT_BUTTON >/dev/null
    next_screen "$SCREEN_HWND" || { fail "nothing after the message"; return 1; }
    # Back led to the Locate screen, which finds the appliance and ends by itself
    locate_then_note || return 1
    # a second normal start only says that the program is open
    local note=$SCREEN_HWND first=$MANAGER_PID
    screens_wine "$TOV_BIN/tovManager.exe" >"$SCREENS_OUT/second.out" 2>&1 &
    local second=$!
    next_screen "$note" || { fail "no message from the second copy"; return 1; }
    [ "$SCREEN_ID" = $MESSAGE ] || fail "the second copy showed $SCREEN_ID"
    [ "$(screens_text $MESSAGE_TEXT)" = "Kelvox Lumora is already open." ] || fail "second copy's text"
    screens_shot already-open
    screens_driver click $RIGHT_BUTTON >/dev/null
    wait "$second" || fail "the second copy ended with $?"
    MANAGER_PID=$first
    screens_driver click $NEXT >/dev/null
    leave_main_menu "$note" || fail "the program did not end from the Main menu"
}

case_reconfigure_fails() {
    screens_lab_up 0 1 || return 1
    forget_appliance
    echo "ipcf erro 0xB0000001" >"$LAB_STATE/far1/appliance/faults"
    start_and_wait || { fail "no screen"; return 1; }
    local locate=$SCREEN_HWND
    # the failure shows on a thread of its own while the screen goes on with its rescan
    next_screen "$locate" || { fail "no failure message"; return 1; }
    [ "$SCREEN_ID" = $MESSAGE ] || { fail "screen $SCREEN_ID, not the failure message"; return 1; }
    [ "$(screens_text $HEADING)" = "Shared Storage device: TOV-113-20(203.0.113.20)" ] ||
        fail "heading '$(screens_text $HEADING)'"
    [[ "$(screens_text $MESSAGE_TEXT)" == "Unable to reconfigure this Shared Storage unit"* ]] ||
        fail "message '$(screens_text $MESSAGE_TEXT)'"
    [ "$(screens_visible 1023)" = 0 ] || fail "the code line shows"
    screens_shot reconfigure-failed
    screens_driver click $RIGHT_BUTTON >/dev/null
    # the rescan finds nothing in the client's subnet: string 8 on the Locate screen
    screens_wait_text $SCAN_MESSAGE "No Shared Storage drives were found" 60 || fail "no string 8"
    [ -z "$(screens_setting CurrentIP)" ] || fail "an appliance was stored"
    screens_driver key Alt+F4 >/dev/null
    screens_manager_ends 30 || fail "Alt+F4 did not end the program"
}

case_close_while_scanning() {
    screens_lab_up 0 1 || return 1
    forget_appliance
    start_and_wait || { fail "no screen"; return 1; }
    # closed while a scan thread still runs: the thread ends against a closed screen, and the
    # program waits for it before it ends
    screens_driver key Alt+F4 >/dev/null
    screens_manager_ends 30 || fail "the program did not end cleanly after Alt+F4"
    local started ended
    started=$(screens_log | grep -c "Thread Started\.\.\.$")
    ended=$(screens_log | grep -c "Thread Ended\.\.\.$")
    if [ "$started" -lt 1 ] || [ "$started" != "$ended" ]; then
        fail "$started scan threads started, $ended ended"
    fi
    [ -z "$(screens_setting CurrentIP)" ] || fail "an appliance was stored"
}

case_password_set() {
    screens_lab_up 1 0 || return 1
    forget_appliance
    echo "frst=1" >"$LAB_STATE/nas1/appliance/settings"
    rm -f "$LAB_WINEPREFIX/drive_c/ZELTOVManager.log"
    screens_start_manager -debug
    # the Locate screen saves the appliance and the note is skipped: the Main menu follows
    leave_main_menu 0 || fail "the program did not end from the Main menu"
    [ "$(screens_setting CurrentIP)" = 198.51.100.20 ] || fail "the Locate screen saved nothing"
    [ ! -e "$LAB_STATE/nas1/appliance/host" ] || fail "\"host\" was sent"
}

for case in "${cases[@]}"; do
    echo "--- $case"
    "case_${case//-/_}" || true
    screens_lab_down
done
[ "$failures" -eq 0 ] || { echo "$failures failure(s)" >&2; exit 1; }
echo "screens in the lab as expected; screenshots in $SCREENS_SHOTS"
