#!/usr/bin/env bash
# Drag and Sort in the network lab, as a user meets it: tovManager.exe past the Note to the Main
# menu, Drive management (its two web pages) and the Drag and Sort settings, whose Save starts
# the sorter; a file copied onto the mapped drive's root lands in its category folder, the first
# sort brings up the first-drag notice, and public sorting fills the appliance's public share.
#   sort/sort_lab_test.sh BINDIR SIMULATOR          (needs root)
# The drive letter X: points at the simulated appliance's share folder through a dosdevices link,
# as a mapping of the share makes it point there.
set -uo pipefail
here=$(cd "$(dirname "$0")" && pwd)
[ $# -ge 2 ] || { echo "usage: $0 BINDIR SIMULATOR" >&2; exit 2; }
TOV_BIN=$(cd "$1" && pwd) || exit 2
export TOV_BIN TOV_APPLIANCED=$2
root=$(cd "$here/.." && pwd)
# a lab, a Wine prefix and a state folder of this test's own; an engineer who renamed the lab
# (TOV_LAB_NET) gets a Drag and Sort lab of that name too
export TOV_LAB_NET=${TOV_LAB_NET_SORT:-${TOV_LAB_NET:+${TOV_LAB_NET}o}}
export TOV_LAB_NET=${TOV_LAB_NET:-tovsortl}
export TOV_NET_WINEPREFIX=${TOV_WINEPREFIX:-$root/build/wine-prefix}-sort
export SCREENS_OUT=${TOV_LAB_STATE:-$root/build/lab-state}/sort-test
export SCREENS_SHOTS=$SCREENS_OUT/shots
mkdir -p "$SCREENS_OUT"
rm -rf "$SCREENS_SHOTS"
# shellcheck source=lab/manager-lib.sh
. "$root/lab/manager-lib.sh"

drive=
finish() {
    [ -n "$drive" ] && screens_wine "$TOV_BIN/tovsort.exe" -quit >/dev/null 2>&1
    [ -n "$drive" ] && rm -f "$drive" "$LAB_WINEPREFIX/dosdevices/unc/TOV-100-20"
    screens_lab_down
}
trap finish EXIT

failures=0
fail() {
    echo "FAIL: $*" >&2
    screens_log | grep -v 'OnTimer Function' | tail -30 >&2
    failures=$((failures + 1))
}
die() {
    fail "$@"
    exit 1
}

NOTE=543 MAIN_MENU=530 DRIVES=591 SORT_SETTINGS=567 FIRST_DRAG=570
NEXT=1004 CLOSE=1187 MENU_MANAGE=1105 DM_SORT=1190 DM_WEB=1192 DM_MEDIA=1196
SORT_ON=1031 SORT_PRIVATE=1033 SORT_ENABLE=1036

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
# a file state that the sorter brings about once; a missing file after the deadline fails
wait_file() {
    local deadline=$((SECONDS + 60))
    until [ -f "$1" ]; do
        [ $SECONDS -lt $deadline ] || return 1
        sleep 0.2
    done
}
checked() { screens_control "$1" | awk '{ print $5 }'; }

screens_lab_up 1 0
# every Wine command of the test uses the session's display, reached inside the client namespace
# (a lost path socket then does not make a command start an Xvfb of its own)
DISPLAY=:$(cat "$LAB_STATE/wine/xvfb.display") || die "the session has no display"
export DISPLAY
appliance=$LAB_STATE/nas1/appliance
share=$appliance/shares/anne
mkdir -p "$share" "$appliance/shares/Public"
# the prefix is this test's own: a letter left by an aborted run is taken over
drive=$LAB_WINEPREFIX/dosdevices/x:
ln -sfn "$share" "$drive"
mkdir -p "$LAB_WINEPREFIX/dosdevices/unc"
ln -sfn "$appliance/shares" "$LAB_WINEPREFIX/dosdevices/unc/TOV-100-20"

bin_windows="Z:${TOV_BIN//\//\\}\\"
screens_wine reg delete 'HKCU\Software\Kelvox\TOV Lumora' /f >/dev/null 2>&1
screens_wine reg add 'HKLM\Software\Kelvox\TOV Lumora' /v installDirectory /t REG_SZ \
    /d "$bin_windows" /f >/dev/null 2>&1
setting CurrentIP REG_SZ 198.51.100.20
setting CurrentHostName REG_SZ TOV-100-20
setting sortFolder REG_SZ '\\TOV-100-20\anne'
setting shareDriveLetter REG_SZ 'X:'
setting PublicSortFolder REG_SZ '\\TOV-100-20\Public'
setting businessSort REG_DWORD 0
rm -f "$LAB_WINEPREFIX/drive_c/ZELTOVManager.log" "$LAB_STATE/wine/browser.log"

echo "--- past the Note to Drive management and the Drag and Sort settings"
screens_start_manager -debug
expect_screen 0 "the start" $NOTE note
screens_driver click $NEXT >/dev/null
expect_screen "$SCREEN_HWND" "Next on the Note" $MAIN_MENU main-menu
[ "$(screens_text 1011)" = TOV-100-20 ] || fail "the Main menu names '$(screens_text 1011)'"
screens_driver click $MENU_MANAGE >/dev/null
expect_screen "$SCREEN_HWND" "DRIVE MANAGEMENT" $DRIVES drive-management
screens_driver click $DM_WEB >/dev/null
screens_driver click $DM_MEDIA >/dev/null
# the web items leave the screen open: the next click is still Drive management's
screens_driver click $DM_SORT >/dev/null
expect_screen "$SCREEN_HWND" "Drag and Sort Settings" $SORT_SETTINGS sort-settings
[ "$(checked $SORT_ON)" = 1 ] || fail "On is not checked on a clean key"
[ "$(checked $SORT_PRIVATE)" = 1 ] || fail "private is not checked on a clean key"
[ "$(screens_setting EnableSort)" = 0x1 ] || fail "EnableSort '$(screens_setting EnableSort)'"
[ "$(screens_setting SortMyFolder)" = 0x1 ] || fail "SortMyFolder '$(screens_setting SortMyFolder)'"
screens_driver click $NEXT >/dev/null
expect_screen "$SCREEN_HWND" "Save" $DRIVES drive-management-again
screens_log | grep -qxF "Starting TOVSORT... <${bin_windows}tovsort.exe>" || fail "no sorter start line"
screens_driver click $CLOSE >/dev/null
screens_manager_ends 30 || fail "X on Drive management did not end the program"
# the program hands the shell the set-up address as it has always been written; Wine's shell
# gives the browser its canonical form
screens_log | grep -qxF 'Going to Launch to <http:\\198.51.100.20>' || fail "no set-up page line"
grep -qxF 'http://198.51.100.20/' "$LAB_STATE/wine/browser.log" 2>/dev/null ||
    fail "the set-up page was not opened: $(cat "$LAB_STATE/wine/browser.log" 2>/dev/null)"
grep -qxF 'http://198.51.100.20/share/share_upnp_1.asp' "$LAB_STATE/wine/browser.log" 2>/dev/null ||
    fail "the media page was not opened"

echo "--- a photo copied onto the mapped drive"
seq 1 20000 >"$SCREENS_OUT/photo.jpg"
screens_wine cmd /c copy "Z:${SCREENS_OUT//\//\\}\\photo.jpg" 'X:\' >/dev/null 2>&1 ||
    fail "copy onto X: failed"
wait_file "$share/My Photos/photo.jpg" || die "the photo was not sorted into My Photos"
cmp -s "$SCREENS_OUT/photo.jpg" "$share/My Photos/photo.jpg" || fail "the sorted photo differs"
[ ! -e "$share/photo.jpg" ] || fail "the photo is still at the root"
# the first sort starts the first-drag notice
expect_screen 0 "the first sort" $FIRST_DRAG first-drag
[ "$(checked $SORT_ENABLE)" = 1 ] || fail "the notice's check box is empty"
[ "$(screens_setting FirstDrag)" = FALSE ] || fail "FirstDrag '$(screens_setting FirstDrag)'"
screens_driver click $NEXT >/dev/null

echo "--- a song sorted into the public share"
setting SortMyFolder REG_DWORD 0
printf 'song bytes\n' >"$SCREENS_OUT/song.mp3"
screens_wine cmd /c copy "Z:${SCREENS_OUT//\//\\}\\song.mp3" 'X:\' >/dev/null 2>&1
wait_file "$appliance/shares/Public/Our Music/song.mp3" || die "the song did not reach Our Music"
cmp -s "$SCREENS_OUT/song.mp3" "$appliance/shares/Public/Our Music/song.mp3" ||
    fail "the sorted song differs"

[ "$failures" -eq 0 ] || { echo "$failures failure(s)" >&2; exit 1; }
echo "Drag and Sort in the lab as expected; screenshots in $SCREENS_SHOTS"
