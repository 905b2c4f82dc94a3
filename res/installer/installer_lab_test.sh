#!/usr/bin/env bash
# The installer in the network lab: a silent install into the lab's Wine session gives a program
# that, started from its installed folder, finds the lab's appliance and reaches the Main menu; the
# silent uninstaller then removes it again.
#   res/installer/installer_lab_test.sh BINDIR SIMULATOR          (needs root)
set -uo pipefail
here=$(cd "$(dirname "$0")" && pwd)
[ $# -ge 2 ] || { echo "usage: $0 BINDIR SIMULATOR" >&2; exit 2; }
TOV_BIN=$(cd "$1" && pwd) || exit 2
export TOV_BIN TOV_APPLIANCED=$2
root=$(cd "$here/../.." && pwd)
# a lab, a Wine prefix and a state folder of this test's own; an engineer who renamed the lab
# (TOV_LAB_NET) gets an installer lab of that name too
export TOV_LAB_NET=${TOV_LAB_NET_INSTALL:-${TOV_LAB_NET:+${TOV_LAB_NET}i}}
export TOV_LAB_NET=${TOV_LAB_NET:-tovinst}
export TOV_NET_WINEPREFIX=${TOV_WINEPREFIX:-$root/build/wine-prefix}-install
export SCREENS_OUT=${TOV_LAB_STATE:-$root/build/lab-state}/installer-test
export SCREENS_SHOTS=$SCREENS_OUT/shots
mkdir -p "$SCREENS_OUT"
rm -rf "$SCREENS_SHOTS"
# shellcheck source=lab/manager-lib.sh
. "$root/lab/manager-lib.sh"
trap screens_lab_down EXIT

fail() {
    echo "FAIL: $*" >&2
    screens_log | grep -v 'OnTimer Function' | tail -30 >&2
    exit 1
}

LOCATE=529 NOTE=543 MAIN_MENU=530 NEXT=1004
dir='C:\Program Files\Kelvox\Kelvox Lumora'
key='HKLM\Software\Kelvox\TOV Lumora'
clsid='HKCR\CLSID\{BF647682-2FED-49CE-9429-912485AC040C}'

next_screen() {
    local s
    s=$(screens_wait_screen 60000 "$1") || return 1
    SCREEN_ID=${s% *}
    SCREEN_HWND=${s#* }
}
# uninstall.exe starts a copy of itself in the temporary folder (~nsuN.tmp\Un.exe) and ends at
# once; this waits for the copy that runs in the lab's prefix.
wait_uninstaller() {
    local p
    for p in $(pgrep -f '~nsu[^ ]*\.tmp'); do
        tr '\0' '\n' <"/proc/$p/environ" 2>/dev/null | grep -qxF "WINEPREFIX=$LAB_WINEPREFIX" ||
            continue
        timeout 120 tail --pid="$p" -f /dev/null || fail "the uninstaller did not end"
    done
}

screens_lab_up 1 0
udir="$LAB_WINEPREFIX/drive_c/Program Files/Kelvox/Kelvox Lumora"
# nothing of an earlier run: no install, no appliance remembered
rm -rf "$udir"
screens_wine reg delete 'HKCU\Software\Kelvox\TOV Lumora' /f >/dev/null 2>&1
screens_wine reg delete "$key" /f >/dev/null 2>&1
rm -f "$LAB_WINEPREFIX/drive_c/ZELTOVManager.log"

echo "--- setup /S"
screens_wine "$TOV_BIN/tovManager-setup-1.1.0.35.exe" /S >/dev/null 2>&1 || fail "setup /S ended with $?"
[ -f "$udir/tovManager.exe" ] || fail "no tovManager.exe in $dir"

echo "--- the installed program finds the lab's appliance"
screens_wine "$dir\\tovManager.exe" -debug >"$SCREENS_OUT/manager.out" 2>&1 &
MANAGER_PID=$!
next_screen 0 || fail "the installed program showed no screen"
if [ "$SCREEN_ID" = $LOCATE ]; then
    screens_shot locate
    next_screen "$SCREEN_HWND" || fail "the Locate screen did not end by itself"
fi
[ "$SCREEN_ID" = $NOTE ] || fail "the installed program came to $SCREEN_ID, not the Note"
screens_shot note
# "installDirectory" as the installer wrote it: the folder, a backslash and the closing NUL
screens_log | grep -qxF "  Read Install Dir Size $((${#dir} + 2)) bytes" ||
    fail "the installed folder was not read"
screens_log | grep -qx "  \[0\] 'TOV-100-20' - 198.51.100.20 - \[.*\]" || fail "no appliance found"
[ "$(screens_setting CurrentIP)" = 198.51.100.20 ] || fail "CurrentIP '$(screens_setting CurrentIP)'"
screens_driver click $NEXT >/dev/null
next_screen "$SCREEN_HWND" || fail "nothing after the Note"
[ "$SCREEN_ID" = $MAIN_MENU ] || fail "after the Note came $SCREEN_ID, not the Main menu"
screens_shot main-menu
screens_driver key Alt+F4 >/dev/null
screens_manager_ends 30 || fail "the installed program did not end at Alt+F4"

echo "--- uninstall.exe /S"
screens_wine "$dir\\uninstall.exe" /S >/dev/null 2>&1 || fail "uninstall /S ended with $?"
wait_uninstaller
[ ! -e "$udir" ] || fail "the install folder is still there: $(ls -A "$udir")"
! screens_wine reg query "$key" /v installDirectory >/dev/null 2>&1 || fail "installDirectory is still there"
! screens_wine reg query "$clsid" >/dev/null 2>&1 || fail "the engine is still registered"
[ "$(screens_setting CurrentIP)" = 198.51.100.20 ] || fail "the uninstall took the user's CurrentIP"
echo "installer lab test: installed, found TOV-100-20, uninstalled"
