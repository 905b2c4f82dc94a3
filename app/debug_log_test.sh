#!/usr/bin/env bash
# Runs tovManager.exe -debug through the lab's Wine runner and checks the log it leaves on drive C.
set -uo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
. "$root/lab/wine-env.sh"
# outside the network lab the program must neither probe nor scan
export TOV_TEST_NO_NETWORK=1
run="$root/lab/wine-run"
exe="$TOV_BIN/tovManager.exe"
log="$WINEPREFIX/drive_c/ZELTOVManager.log"
key='HKLM\SOFTWARE\Kelvox\TOV Lumora'
stamp='[A-Z][a-z][a-z] [A-Z][a-z][a-z] [ 123][0-9] [0-2][0-9]:[0-5][0-9]:[0-6][0-9]>  '

cleanup() {
    "$run" reg delete "$key" /f >/dev/null 2>&1
    rm -f "$log"
}
fail() {
    echo "FAIL: $*" >&2
    [ -f "$log" ] && cat -A "$log" >&2
    cleanup
    exit 1
}

# Checks line $1 (from 1) of the log, its CR removed, against the extended regular expression $2.
expect_line() {
    local got
    got=$(sed -n "${1}p" "$log" | tr -d '\r')
    [[ "$got" =~ ^$2$ ]] || fail "line $1 is '$got', expected /$2/"
}

info=$(file "$exe")
[[ "$info" == *"PE32 executable (GUI) Intel 80386"* ]] || fail "$info"
[ -f "$TOV_BIN/tovger.dll" ] || fail "no tovger.dll beside the program"

cleanup
"$run" "$exe" -debug >/dev/null || fail "tovManager.exe -debug ended with $?"
[ -f "$log" ] || fail "no log on drive C"
lines=$(wc -l <"$log")
crlf=$(grep -c $'\r$' "$log")
[ "$lines" -ge 6 ] && [ "$lines" = "$crlf" ] || fail "$lines lines, $crlf of them end in CR LF"
expect_line 1 "$stamp"
expect_line 2 ""
expect_line 3 "-{63}"
expect_line 4 "${stamp}Starting TOV Appliction"
expect_line 5 "${stamp}LANGUAGE set to ENGLISH"
expect_line 6 "${stamp}LANGUAGE set to ENGLISH"

"$run" reg add "$key" /v Language /t REG_SZ /d "German  " /f >/dev/null 2>&1 || fail "reg add"
"$run" "$exe" -debug >/dev/null || fail "tovManager.exe -debug ended with $?"
expect_line 4 "${stamp}Starting TOV Appliction"
expect_line 5 "${stamp}Read Language Size 9 bytes"
expect_line 6 "${stamp}Read Language Value -->German  <--"
expect_line 7 "${stamp}LANGUAGE set to ENGLISH"
expect_line 8 "${stamp}LANGUAGE set to GERMAN"

# without -debug the log stays exactly as it was
before=$(md5sum <"$log")
"$run" "$exe" -manage >/dev/null || fail "tovManager.exe -manage ended with $?"
[ "$(md5sum <"$log")" = "$before" ] || fail "the log changed without -debug"

cleanup
echo "debug log as expected"
