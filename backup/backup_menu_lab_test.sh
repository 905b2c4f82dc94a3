#!/usr/bin/env bash
# The Backup and restore menu in the network lab, as a user meets it: tovManager.exe -backupMenu
# with a share set up and a selection written for it; Back Up Now runs a real backup through the
# backup engine to the simulated appliance's share, File Maintenance's two confirmations (No
# sends nothing, Yes runs the command on the please-wait page), and Set Backup's summary with the
# Advanced settings' Save. Screenshots of every page.
#   backup/backup_menu_lab_test.sh BINDIR SIMULATOR          (needs root)
set -uo pipefail
here=$(cd "$(dirname "$0")" && pwd)
[ $# -ge 2 ] || { echo "usage: $0 BINDIR SIMULATOR" >&2; exit 2; }
TOV_BIN=$(cd "$1" && pwd) || exit 2
export TOV_BIN TOV_APPLIANCED=$2
root=$(cd "$here/.." && pwd)
# a lab, a Wine prefix and a state folder of this test's own; an engineer who renamed the lab
# (TOV_LAB_NET) gets a backup-menu lab of that name too
export TOV_LAB_NET=${TOV_LAB_NET_BACKUP_MENU:-${TOV_LAB_NET:+${TOV_LAB_NET}m}}
export TOV_LAB_NET=${TOV_LAB_NET:-tovbmenu}
export TOV_NET_WINEPREFIX=${TOV_WINEPREFIX:-$root/build/wine-prefix}-bmenu
export SCREENS_OUT=${TOV_LAB_STATE:-$root/build/lab-state}/backup-menu-test
export SCREENS_SHOTS=$SCREENS_OUT/shots
mkdir -p "$SCREENS_OUT"
rm -rf "$SCREENS_SHOTS"
# shellcheck source=lab/manager-lib.sh
. "$root/lab/manager-lib.sh"

finish() {
    screens_wine "$TOV_BIN/tovengine.exe" /Quit >/dev/null 2>&1
    screens_lab_down
}
trap finish EXIT

failures=0
fail() {
    echo "FAIL: $*" >&2
    screens_log | tail -30 >&2
    engine_log | tail -10 >&2
    failures=$((failures + 1))
}
die() {
    fail "$@"
    exit 1
}

BACKUP_MENU=580 ADVANCED=584 SUMMARY=583 CLEAN_UP=596 PROGRESS=608 MESSAGE=563 PLEASE_WAIT=642
NEXT=1004 BACK=1012 CLOSE=1187 TITLE=1010 DEVICE=1011 MESSAGE_TEXT=1017 HEADING=1020
LEFT_BUTTON=1024 RIGHT_BUTTON=1026 BM_SETTINGS=1110 BM_CLEAN=1116 BM_BACKUP_NOW=1118
ADVANCED_BUTTON=1138 VERSIONS=1141 TAGS_OFF=1145 CLEAN_DELETE=1211 CLEAN_SYNC=1215

next_screen() {
    local s
    s=$(screens_wait_screen 60000 "$1") || return 1
    SCREEN_ID=${s% *}
    SCREEN_HWND=${s#* }
}
expect_screen() {
    next_screen "$1" || die "no screen after $2"
    [ "$SCREEN_ID" = "$3" ] || die "after $2 came $SCREEN_ID, not $3"
    screens_shot "$4"
}
setting() { screens_wine reg add 'HKCU\Software\Kelvox\TOV Lumora' /v "$1" /t "$2" /d "$3" /f >/dev/null 2>&1; }
data=
engine_log() { tr -d '\r' <"$data/log/tovengine.log" 2>/dev/null; }
# Waits until the engine's log holds a line that ends in TEXT; false after 120 seconds.
wait_engine() {
    local deadline=$((SECONDS + 120))
    until engine_log | grep -qF -- "$1"; do
        [ $SECONDS -lt $deadline ] || return 1
        sleep 0.3
    done
}

# Waits until the program's log holds a line that begins with TEXT; false after 120 seconds.
wait_log_start() {
    local deadline=$((SECONDS + 120))
    until screens_log | grep -qF -- "$1"; do
        [ $SECONDS -lt $deadline ] || return 1
        sleep 0.3
    done
}

screens_lab_up 1 0
DISPLAY=:$(cat "$LAB_STATE/wine/xvfb.display") || die "the session has no display"
export DISPLAY
appliance=$LAB_STATE/nas1/appliance
share=$appliance/shares/anne
mkdir -p "$share"
# the appliance has a password: no note on the way to the menu
echo "frst=1" >"$appliance/settings"

bin_windows="Z:${TOV_BIN//\//\\}\\"
screens_wine reg delete 'HKCU\Software\Kelvox\TOV Lumora' /f >/dev/null 2>&1
screens_wine reg add 'HKLM\Software\Kelvox\TOV Lumora' /v installDirectory /t REG_SZ \
    /d "$bin_windows" /f >/dev/null 2>&1
setting CurrentIP REG_SZ 198.51.100.20
setting CurrentHostName REG_SZ TOV-100-20
setting sortFolder REG_SZ '\\TOV-100-20\anne'
setting backupFolder REG_SZ '\My Backup'
setting shareDriveLetter REG_SZ 'X:'

# the selection: one folder of this computer for this share, one of another appliance's share
# (which the run counts, and cannot reach: no such share in this lab)
computer=$(screens_wine cmd /c echo %COMPUTERNAME% 2>/dev/null | tr -d '\r\n')
[ -n "$computer" ] || die "no computer name"
data=$LAB_WINEPREFIX/drive_c/ProgramData/Kelvox/TOV
mkdir -p "$data" "$LAB_WINEPREFIX/drive_c/bmsrc/sub"
rm -rf "$data/log" "$data"/*.txt "$share/My Backup"
printf 'first file\n' >"$LAB_WINEPREFIX/drive_c/bmsrc/a.txt"
seq 1 5000 >"$LAB_WINEPREFIX/drive_c/bmsrc/sub/b.txt"
prefix="\\\\TOV-100-20\\anne\\My Backup\\$computer\\"
printf 'C:\\bmsrc\t%sC\\bmsrc\r\nC:\\other\t\\\\TOV-113-20\\bob\\My Backup\\%s\\C\\other\r\n' \
    "$prefix" "$computer" >"$data/KelBackConfig.txt"
rm -f "$LAB_WINEPREFIX/drive_c/ZELTOVManager.log"

echo "--- -backupMenu: Back Up Now"
screens_start_manager -debug -backupMenu
expect_screen 0 "the start" $BACKUP_MENU backup-menu
[ "$(screens_text $TITLE)" = "Backup && Restore" ] || fail "title '$(screens_text $TITLE)'"
[ "$(screens_text $DEVICE)" = TOV-100-20 ] || fail "the menu names '$(screens_text $DEVICE)'"
[ "$(screens_enabled $BM_BACKUP_NOW)" = 1 ] || fail "Back Up Now is disabled with a selection"
menu=$SCREEN_HWND
screens_driver click $BM_BACKUP_NOW >/dev/null
screens_wait_log "  Backup engine command <backup> sent" || die "\"backup\" was not sent"
expect_screen "$menu" "Back Up Now" $PROGRESS backup-progress
wait_log_start "  Backup progress on TOV-100-20: complete, <" || die "the progress screen did not complete"
screens_shot backup-complete
wait_engine "Backup run ended: 2 shares, 2 files copied" || fail "the engine's run: $(engine_log | tail -3)"
dest="$share/My Backup/$computer/C/bmsrc"
cmp -s "$LAB_WINEPREFIX/drive_c/bmsrc/a.txt" "$dest/a.txt" || fail "a.txt is not on the share"
cmp -s "$LAB_WINEPREFIX/drive_c/bmsrc/sub/b.txt" "$dest/sub/b.txt" || fail "sub/b.txt is not on the share"
progress=$SCREEN_HWND
screens_driver click $NEXT >/dev/null
expect_screen "$progress" "OK on the progress screen" $BACKUP_MENU backup-menu-again
menu=$SCREEN_HWND

echo "--- Set Backup: the summary of a share with a selection, and its Advanced settings"
screens_driver click $BM_SETTINGS >/dev/null
next_screen "$menu" || die "nothing after Set Backup"
[ "$SCREEN_ID" = $SUMMARY ] || die "Set Backup with a selection led to $SCREEN_ID, not the summary"
screens_driver click $ADVANCED_BUTTON >/dev/null
expect_screen "$SCREEN_HWND" "Advanced" $ADVANCED advanced
[ "$(screens_setting tagOn)" = 0x1 ] || fail "tagOn '$(screens_setting tagOn)' after opening"
screens_driver select $VERSIONS 9 >/dev/null
screens_driver check $TAGS_OFF 1 >/dev/null
screens_driver click $NEXT >/dev/null
screens_wait_log "  Backup engine command <settings force_change> sent" ||
    fail "Save did not send \"settings force_change\""
wait_engine "settings force_change" || fail "the engine did not hear \"settings force_change\""
[ "$(screens_setting tagOn)" = 0x0 ] || fail "tagOn '$(screens_setting tagOn)' after Save"
grep -qxF "$(printf '\\\\TOV-100-20\\anne\t10\r')" "$data/histKel.txt" ||
    fail "histKel.txt: $(cat "$data/histKel.txt" 2>/dev/null)"
next_screen "$SCREEN_HWND" || die "nothing after Save"
[ "$SCREEN_ID" = $SUMMARY ] || fail "Save led to $SCREEN_ID, not the summary"
# the summary's forward button finishes the wizard: the menu again
screens_driver click $NEXT >/dev/null
next_screen "$SCREEN_HWND" || die "nothing after the summary"
[ "$SCREEN_ID" = $BACKUP_MENU ] || die "the wizard ended at $SCREEN_ID, not the menu"
menu=$SCREEN_HWND

echo "--- File Maintenance: No sends nothing, Yes runs the command on the please-wait page"
screens_driver click $BM_CLEAN >/dev/null
expect_screen "$menu" "File Maintenance" $CLEAN_UP clean-up
clean=$SCREEN_HWND
for op in delete sync; do
    button=$CLEAN_DELETE heading="Are you sure you want to delete historical versions?"
    command="settings clean_all" title="Delete Historical Versions"
    if [ $op = sync ]; then
        button=$CLEAN_SYNC heading="Are you sure you want to sync backup to computer?"
        command="clean $prefix" title="Sync Backup to Computer"
    fi
    screens_driver click "$button" >/dev/null
    expect_screen "$clean" "$op" $MESSAGE "confirm-$op"
    [ "$(screens_text $HEADING)" = "$heading" ] || fail "$op asks '$(screens_text $HEADING)'"
    message=$SCREEN_HWND
    screens_driver click $LEFT_BUTTON >/dev/null
    expect_screen "$message" "No" $CLEAN_UP "clean-up-after-no-$op"
    screens_driver click "$button" >/dev/null
    expect_screen "$clean" "$op again" $MESSAGE "confirm-$op-again"
    message=$SCREEN_HWND
    screens_driver click $RIGHT_BUTTON >/dev/null
    screens_wait_log "  Backup engine command <$command> sent" || die "\"$command\" was not sent"
    expect_screen "$message" "Yes" $PLEASE_WAIT "please-wait-$op"
    [ "$(screens_text $TITLE)" = "$title" ] || fail "the please-wait page's title '$(screens_text $TITLE)'"
    [ "$(screens_text $MESSAGE_TEXT)" = '\n\nClick OK button to continue' ] ||
        screens_driver controls | grep -qF "Click OK button to continue" ||
        fail "the please-wait page says '$(screens_text $MESSAGE_TEXT)'"
    [ "$(screens_enabled $NEXT)" = 1 ] || fail "OK is not enabled after the command"
    screens_driver click $NEXT >/dev/null
    expect_screen "$SCREEN_HWND" "OK" $CLEAN_UP "clean-up-after-$op"
done
# each No sent nothing: one line of each command in the program's log and in the engine's
[ "$(screens_log | grep -cxF '  Backup engine command <settings clean_all> sent')" = 1 ] ||
    fail "\"settings clean_all\" sent other than once"
[ "$(screens_log | grep -cxF "  Backup engine command <clean $prefix> sent")" = 1 ] ||
    fail "\"clean\" sent other than once"
wait_engine "clean $prefix" || fail "the engine did not hear \"clean $prefix\""
[ "$(engine_log | grep -c 'settings clean_all')" = 1 ] || fail "the engine heard clean_all other than once"
screens_driver click $BACK >/dev/null
expect_screen "$clean" "Back" $BACKUP_MENU backup-menu-last
screens_driver click $CLOSE >/dev/null
screens_manager_ends 30 || fail "X on the menu did not end the program"

[ "$failures" -eq 0 ] || { echo "$failures failure(s)" >&2; exit 1; }
echo "The backup menu in the lab as expected; screenshots in $SCREENS_SHOTS"
