#!/usr/bin/env bash
# The installer under Wine, in a fresh prefix of this test's own: a silent install puts every file
# and value in place and the program starts from the Start menu shortcut's target; a second install
# over it keeps the user's settings; the silent uninstaller stops the engine and sorter and leaves
# nothing installed behind but the user's data; /D= and /LANG= choose the folder and language.
set -uo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
bin=${TOV_BIN:-$root/build/win32/bin}
setup="$bin/tovManager-setup-1.1.0.35.exe"
# the display of the suite's session (or one of this test's own); the prefix is this test's alone
. "$root/lab/wine-env.sh"
export WINEPREFIX="$bin/../wine-setup-test"
work="$bin/../setup-test"
rm -rf "$WINEPREFIX" "$work"
mkdir -p "$work"
TOV_OWN_XVFB=
tov_ensure_display
drive="$WINEPREFIX/drive_c"
key='HKLM\SOFTWARE\Kelvox\TOV Lumora'
user_key='HKCU\SOFTWARE\Kelvox\TOV Lumora'
run_key='HKLM\Software\Microsoft\Windows\CurrentVersion\Run'
uninstall_key='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\KelvoxLumora'
clsid='HKCR\CLSID\{BF647682-2FED-49CE-9429-912485AC040C}'
iid='{A3C89DB2-11AA-43B2-BFB4-CBC19BBA3574}'
files=(tovManager.exe tovspa.dll tovita.dll tovger.dll tovfra.dll tovsort.exe tovengine.exe
    tovengineps.dll)
mapfile -t help < <(cd "$bin" && ls ./*.chm | sed 's|^\./||')

finish() {
    wineserver -k >/dev/null 2>&1
    [ -z "$TOV_OWN_XVFB" ] || tov_stop_xvfb
}
fail() {
    echo "FAIL: $*" >&2
    finish
    exit 1
}
trap finish EXIT

# Wine's output goes to files, never a pipe.
w() { wine "$@" </dev/null >"$work/out" 2>"$work/err"; }
# The data of a registry value ("" and status 1 when it is missing).
value() {
    w reg query "$1" /v "$2" || return 1
    tr -d '\r' <"$work/out" | sed -n "s/^ *$2 *REG_[A-Z_]* *//p"
}
expect_value() {
    local got
    got=$(value "$1" "$2") || fail "$1 has no value $2"
    [ "$got" = "$3" ] || fail "$1 $2 is '$got', expected '$3'"
}
expect_no_key() { ! w reg query "$1" || fail "$1 is still there: $(cat "$work/out")"; }
expect_no_value() { ! value "$1" "$2" >/dev/null || fail "$1 $2 is still there"; }
# uninstall.exe starts a copy of itself in the temporary folder (~nsuN.tmp\Un.exe) and ends
# at once; Wine has created the copy's process by then. Waits for the copy of this prefix.
wait_uninstaller() {
    local p
    for p in $(pgrep -f '~nsu[^ ]*\.tmp'); do
        tr '\0' '\n' <"/proc/$p/environ" 2>/dev/null | grep -qxF "WINEPREFIX=$WINEPREFIX" || continue
        timeout 120 tail --pid="$p" -f /dev/null || fail "the uninstaller did not end"
    done
}
# The Linux path of a Windows path on drive C.
unix() {
    local p=${1#C:\\}
    echo "$drive/${p//\\//}"
}

echo "setup test: creating the prefix $WINEPREFIX"
wineboot -i </dev/null >"$work/wineboot.log" 2>&1 || fail "wineboot"
w winecfg /v winxp
wineserver -w

# --- a silent install in German into the default folder --------------------------------------
w "$setup" /S /LANG=German || fail "setup /S ended with $?: $(cat "$work/err")"
dir='C:\Program Files\Kelvox\Kelvox Lumora'
udir=$(unix "$dir")
for f in "${files[@]}" "${help[@]}" uninstall.exe; do
    [ -f "$udir/$f" ] || fail "$f was not installed into $dir"
done
[ ${#help[@]} -ge 10 ] || fail "only ${#help[@]} help files were built"
for f in "${files[@]}" "${help[@]}"; do
    cmp -s "$bin/$f" "$udir/$f" || fail "the installed $f differs from the built one"
done
ico=$(find "$drive/windows/system32" -maxdepth 1 -name zeltovdrv.ico)
[ -n "$ico" ] || fail "no zeltovdrv.ico in the system folder"
expect_value "$key" installDirectory "$dir\\"
expect_value "$key" Language German
expect_value "$run_key" "TOV Backup Engine" "\"$dir\\tovengine.exe\""
expect_value "$run_key" "TOV Drag and Sort" "\"$dir\\tovsort.exe\""
expect_value "$uninstall_key" DisplayName "Kelvox Lumora"
expect_value "$uninstall_key" DisplayVersion 1.1.0.35
expect_value "$uninstall_key" UninstallString "\"$dir\\uninstall.exe\""
expect_value "$uninstall_key" QuietUninstallString "\"$dir\\uninstall.exe\" /S"
# registered by "tovengine.exe /RegServer": the local server and the proxy/stub beside it
w reg query "$clsid\\LocalServer32" /ve || fail "the engine is not registered"
grep -qi "Kelvox Lumora\\\\tovengine.exe" "$work/out" || fail "LocalServer32: $(cat "$work/out")"
w reg query "HKCR\\Interface\\$iid\\ProxyStubClsid32" /ve || fail "the proxy/stub is not registered"
w reg query "HKCR\\CLSID\\$iid\\InProcServer32" /ve || fail "no InProcServer32 of the proxy/stub"
grep -qi "Kelvox Lumora\\\\tovengineps.dll" "$work/out" || fail "InProcServer32: $(cat "$work/out")"

# the Start menu: the program's shortcut, set-up, status and the uninstaller
menu=$(find "$drive" -type d -path '*Start Menu/Programs/Kelvox Lumora' | head -1)
[ -n "$menu" ] || fail "no Start menu folder"
for l in "Kelvox Lumora" "Shared Storage Setup" "Storage and Backup Status" "Uninstall Kelvox Lumora"; do
    [ -f "$menu/$l.lnk" ] || fail "no Start menu shortcut '$l'"
done
target=$(python3 "$root/res/installer/link_target.py" "$menu/Kelvox Lumora.lnk") ||
    fail "the shortcut has no target"
[ "${target,,}" = "${dir,,}\\tovmanager.exe" ] || fail "the shortcut points at $target"

# the program from the shortcut's target: it reads the installed values and takes the German
# library beside it (outside the network lab it neither probes nor scans)
TOV_TEST_NO_NETWORK=1 w "$target" -debug || fail "the installed program ended with $?"
log="$drive/ZELTOVManager.log"
[ -f "$log" ] || fail "the installed program wrote no log"
grep -q "LANGUAGE set to GERMAN" "$log" || fail "the program did not take German: $(cat "$log")"
grep -q "Read Install Dir Value -->67<--" "$log" || fail "no install directory read: $(cat "$log")"

# --- the user's data, then a second install over the first ------------------------------------
w reg add "$user_key" /v CurrentIP /t REG_SZ /d 198.51.100.20 /f || fail "reg add CurrentIP"
w reg add "$user_key" /v EnableSort /t REG_DWORD /d 0 /f || fail "reg add EnableSort"
data=$(find "$drive" -maxdepth 3 -type d \( -path '*/ProgramData' -o -path '*/All Users/Application Data' \) | head -1)
[ -n "$data" ] || fail "no all-users application-data folder"
mkdir -p "$data/Kelvox/TOV/log"
printf 'C:\\Documents\r\n' >"$data/Kelvox/TOV/KelBackConfig.txt"
printf 'Monday 22:00\r\n' >"$data/Kelvox/TOV/schedConfig.txt"
printf 'a log\r\n' >"$data/Kelvox/TOV/log/kelback_user.log"
# the user's files (the engine adds state and logs of its own beside them while it runs)
sums() { (cd "$data/Kelvox/TOV" && md5sum KelBackConfig.txt schedConfig.txt log/kelback_user.log 2>&1); }
before=$(sums)

w "$setup" /S || fail "the second setup /S ended with $?"
expect_value "$user_key" CurrentIP 198.51.100.20
expect_value "$user_key" EnableSort 0x0
expect_value "$key" Language German
expect_value "$key" installDirectory "$dir\\"
[ "$(sums)" = "$before" ] || fail "the second install changed the user's data files: $(sums)"

# --- the engine and the sorter as logon starts them, then the silent uninstall ----------------
start_logon() {
    local cmd
    cmd=$(value "$run_key" "$1") || fail "no Run value $1"
    cmd=${cmd#\"}
    cmd=${cmd%\"}
    wine "$cmd" "${@:3}" </dev/null >"$work/$2.out" 2>&1 &
}
engine_log="$data/Kelvox/TOV/log/tovengine.log"
sorter_log="$drive/ZELTOVSort.log"
rm -f "$engine_log" "$sorter_log"
start_logon "TOV Backup Engine" engine
engine_pid=$!
start_logon "TOV Drag and Sort" sorter -debug
sorter_pid=$!
# each says in its log that it is ready to be told to end
wait_line() {
    local file=$1 text=$2 pid=$3 i
    for ((i = 0; i < 600; i++)); do
        grep -q "$text" "$file" 2>/dev/null && return 0
        kill -0 "$pid" 2>/dev/null || fail "$file: the program ended before '$text'"
        sleep 0.1
    done
    fail "no '$text' in $file"
}
wait_line "$engine_log" "Engine started" $engine_pid
wait_line "$sorter_log" "Starting TOVSORT" $sorter_pid
before=$(sums)

w "$udir/uninstall.exe" /S || fail "uninstall /S ended with $?"
# the uninstaller runs on as a copy of itself in the temporary folder; the engine and the sorter
# must end because it told them to
wait_uninstaller
timeout 60 tail --pid=$engine_pid -f /dev/null || fail "the uninstaller left the engine running"
timeout 60 tail --pid=$sorter_pid -f /dev/null || fail "the uninstaller left the sorter running"

[ ! -e "$udir" ] || fail "the install folder is still there: $(ls -A "$udir")"
[ ! -e "$drive/Program Files/Kelvox" ] || fail "C:\\Program Files\\Kelvox is still there"
[ ! -e "$ico" ] || fail "zeltovdrv.ico is still in the system folder"
[ ! -e "$menu" ] || fail "the Start menu folder is still there"
expect_no_value "$key" installDirectory
expect_no_value "$key" Language
expect_no_key "$key"
expect_no_value "$run_key" "TOV Backup Engine"
expect_no_value "$run_key" "TOV Drag and Sort"
expect_no_key "$uninstall_key"
expect_no_key "$clsid"
expect_no_key "HKCR\\Interface\\$iid"
expect_no_key "HKCR\\CLSID\\$iid"
expect_value "$user_key" CurrentIP 198.51.100.20
expect_value "$user_key" EnableSort 0x0
# the engine's log got its "Engine ended" line, and nothing else of the data changed
[ "$(sums)" = "$before" ] || fail "the uninstall changed the user's data files: $(sums)"
grep -q "Engine ended" "$engine_log" || fail "the engine did not end as asked"

# --- a folder and a language of the administrator's choice ------------------------------------
# /D= comes last and unquoted, blanks and all, as NSIS takes it (Wine joins the two words with one)
w "$setup" /S /LANG=1036 '/D=C:\Apps\Kelvox' Lumora || fail "setup /S /D= ended with $?"
expect_value "$key" installDirectory 'C:\Apps\Kelvox Lumora\'
expect_value "$key" Language French
[ -f "$drive/Apps/Kelvox Lumora/tovfra.dll" ] || fail "nothing installed into /D="
w 'C:\Apps\Kelvox Lumora\uninstall.exe' /S || fail "the second uninstall ended with $?"
wait_uninstaller
[ ! -e "$drive/Apps/Kelvox Lumora" ] || fail "C:\\Apps\\Kelvox Lumora is still there"
expect_no_key "$key"
echo "setup test: install, upgrade and uninstall checked"
