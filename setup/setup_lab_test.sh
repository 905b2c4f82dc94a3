#!/usr/bin/env bash
# Shared Storage Setup in the network lab, as a user goes through it: tovManager.exe -shareSetup in
# the lab's Wine session, driven through Choose account, Name and password and Account purpose by
# the UI driver, against a simulated appliance whose shares the lab's network provider maps.
#   setup/setup_lab_test.sh BINDIR SIMULATOR [CASE...]
# Cases: public, private-business, existing-marker, existing-open, no-accounts, wrong-password,
# late-share, second-setup, cancel-refused, credential-conflict, xp-credentials,
# close-while-setting-up (default: all).
# Needs root.
set -uo pipefail
here=$(cd "$(dirname "$0")" && pwd)
[ $# -ge 2 ] || { echo "usage: $0 BINDIR SIMULATOR [CASE...]" >&2; exit 2; }
export TOV_BIN=$1 TOV_APPLIANCED=$2
shift 2
cases=("$@")
[ ${#cases[@]} -gt 0 ] || cases=(public private-business existing-marker existing-open no-accounts
    wrong-password late-share second-setup cancel-refused credential-conflict xp-credentials
    close-while-setting-up)
root=$(cd "$here/.." && pwd)
# a lab, a Wine prefix and a state folder of this test's own
# an engineer who renamed the lab (TOV_LAB_NET) gets a set-up lab of that name too
export TOV_LAB_NET=${TOV_LAB_NET_SETUP:-${TOV_LAB_NET:+${TOV_LAB_NET}u}}
export TOV_LAB_NET=${TOV_LAB_NET:-tovsetup}
export TOV_NET_WINEPREFIX=${TOV_WINEPREFIX:-$root/build/wine-prefix}-setup
export SCREENS_OUT=${TOV_LAB_STATE:-$root/build/lab-state}/setup-test
export SCREENS_SHOTS=$SCREENS_OUT/shots
mkdir -p "$SCREENS_OUT"
# shellcheck source=lab/manager-lib.sh
. "$root/lab/manager-lib.sh"
trap screens_lab_down EXIT

# screens and controls
CHOOSE=590 NAME=593 PURPOSE=607 COMPLETE=562 MESSAGE=563
NEXT=1004 BACK=1012 PUBLIC=1172 PRIVATE=1173 EXISTING=1175 NAME_FIELD=1201 PASSWORD=1203
RETYPE=1205 LIST=1206 BUSINESS=1272 MESSAGE_TEXT=1017 CODE_LINE=1023 RIGHT_BUTTON=1026
HOST=TOV-100-20

failures=0
fail() {
    echo "FAIL [$case]: $*" >&2
    screens_log | grep -v ' mapped to ' | tail -25 >&2
    failures=$((failures + 1))
    return 1
}

appliance() { echo "$LAB_STATE/nas1/appliance"; }
journal() { tr -d '\r' 2>/dev/null <"$LAB_WINEPREFIX/drive_c/tovnp/journal.txt"; }
desktop() { echo "$LAB_WINEPREFIX/drive_c/users/$(id -un)/Desktop"; }

# A computer that has never been set up, an appliance with only its public share, and tovManager
# started for the set-up; SCREEN_ID and SCREEN_HWND are its first screen.
fresh_start() {
    local version=$1
    # the mount manager forgets the drive letters of earlier cases only while Wine is down; the
    # restart also ends whatever an earlier case left running
    "$SCREENS_NET/wine-client" stop >/dev/null 2>&1
    "$root/lab/netprovider/link-hosts" "$LAB_WINEPREFIX" "$LAB_STATE" || return 1
    "$SCREENS_NET/wine-client" start >/dev/null || { fail "the Wine session did not start"; return 1; }
    rm -f "$LAB_WINEPREFIX/drive_c/lab-folders.txt"
    screens_wine reg delete 'HKCU\Network' /f >/dev/null 2>&1
    screens_wine reg delete 'HKCU\Software\Kelvox\TOV Lumora' /f >/dev/null 2>&1
    screens_wine reg add 'HKCU\Software\Kelvox\TOV Lumora' /v CurrentIP /t REG_SZ \
        /d 198.51.100.20 /f >/dev/null 2>&1
    screens_wine reg add 'HKCU\Software\Kelvox\TOV Lumora' /v CurrentHostName /t REG_SZ \
        /d $HOST /f >/dev/null 2>&1
    # Wine's MPR refuses CONNECT_INTERACTIVE, which XP's credentialed mappings carry: those run
    # as Windows 2000
    if [ "$version" = win2k ]; then
        screens_wine reg add 'HKCU\Software\Wine\AppDefaults\tovManager.exe' /v Version \
            /t REG_SZ /d win2k /f >/dev/null 2>&1
    else
        screens_wine reg delete 'HKCU\Software\Wine\AppDefaults\tovManager.exe' /f >/dev/null 2>&1
    fi
    rm -f "$(desktop)"/*.lnk
    local dir
    dir=$(appliance)
    rm -f "$dir/accounts.tsv" "$dir/shares.tsv" "$dir/faults"
    find "$dir/shares" -mindepth 1 -maxdepth 1 ! -name Public -exec rm -rf {} +
    # the appliance has a password: the Note does not show
    echo "frst=1" >"$dir/settings"
    start_again
}

# tovManager -debug -shareSetup once more on the computer as it is.
start_again() {
    rm -f "$LAB_WINEPREFIX/drive_c/ZELTOVManager.log"
    screens_start_manager -debug -shareSetup
    next_screen 0 && [ "$SCREEN_ID" = $CHOOSE ] || fail "first screen '$SCREEN_ID', not Choose account"
}

next_screen() {
    local s
    SCREEN_ID=
    s=$(screens_wait_screen "${2:-40000}" "$1") || return 1
    SCREEN_ID=${s% *}
    SCREEN_HWND=${s#* }
}

# The appliance's account: NAME PASSWORD (empty: none), with its share.
seed_account() {
    local dir has=1
    dir=$(appliance)
    [ -n "$2" ] || has=0
    printf '%s\t%s\t%s\n' "$1" "$2" "$has" >>"$dir/accounts.tsv"
    printf '%s\t%s\t\n' "$1" "$1" >>"$dir/shares.tsv"
    [ "${3:-}" = no-folder ] || mkdir -p "$dir/shares/$1"
}

# Choose account's option, then Next: the name screen.
choose() {
    screens_driver check "$1" 1 >/dev/null
    screens_driver click $NEXT >/dev/null
    next_screen "$SCREEN_HWND" && [ "$SCREEN_ID" = $NAME ] || fail "no name screen after Next"
}

# A new account's name (and password) on the name screen, then Next: the purpose screen.
enter_new() {
    screens_driver type $NAME_FIELD "$1" >/dev/null || fail "typing the name"
    if [ $# -gt 1 ]; then
        screens_driver type $PASSWORD "$2" >/dev/null || fail "typing the password"
        screens_driver type $RETYPE "$2" >/dev/null || fail "typing it again"
    fi
    screens_driver click $NEXT >/dev/null
    next_screen "$SCREEN_HWND" && [ "$SCREEN_ID" = $PURPOSE ] || fail "no purpose screen"
}

# The screen that ends the set-up: Setup complete or the message.
finish() {
    screens_driver click $NEXT >/dev/null
    next_screen "$SCREEN_HWND" 150000 || fail "nothing after the set-up"
}

# Waits until the program's log has the line; false after SECONDS (default 30).
wait_log() {
    local deadline=$((SECONDS + ${2:-30}))
    until screens_log | grep -qxF -- "$1"; do
        [ $SECONDS -lt $deadline ] || return 1
        sleep 0.2
    done
}

# Open on the name screen: an existing account's set-up, until the screen has its end.
finish_existing() {
    screens_driver click $NEXT >/dev/null
    wait_log "Setup Shared Completed Message arrived" 150 || fail "the set-up did not end"
}

# The account list as the name screen shows it, once the list thread has filled it.
wait_list() { wait_log "New User List Updated" || fail "the account list never came"; }

# The code line and text of the message on screen.
expect_message() {
    [ "$SCREEN_ID" = $MESSAGE ] || { fail "screen $SCREEN_ID, not the message"; return 1; }
    [ "$(screens_text $CODE_LINE)" = "Error code: $1" ] || fail "code line '$(screens_text $CODE_LINE)'"
    [[ "$(screens_text $MESSAGE_TEXT)" == *"$2"* ]] || fail "message '$(screens_text $MESSAGE_TEXT)'"
}

# OK on the message leads back to Choose account; X there ends the program.
back_to_choose_and_close() {
    screens_driver click $RIGHT_BUTTON >/dev/null
    next_screen "$SCREEN_HWND" && [ "$SCREEN_ID" = $CHOOSE ] || fail "OK did not lead to Choose account"
    screens_driver key Alt+F4 >/dev/null
    screens_manager_ends 30 || fail "the program did not end"
}

# Setup complete's Main Menu button: the Main menu follows (a stand-in until it is built).
complete_and_close() {
    [ "$SCREEN_ID" = $COMPLETE ] || { fail "screen $SCREEN_ID, not Setup complete"; return 1; }
    screens_driver click $BACK >/dev/null
    local deadline=$((SECONDS + 30)) s
    while kill -0 "$MANAGER_PID" 2>/dev/null && [ $SECONDS -lt $deadline ]; do
        if s=$(screens_wait_screen 500 "$SCREEN_HWND"); then
            screens_driver key Alt+F4 >/dev/null
            break
        fi
    done
    screens_manager_ends 30 || fail "the program did not end"
}

# An existing account's Setup complete opens the share's folder and ends by itself: the Main menu
# (a stand-in until it is built) follows.
opened_and_close() {
    screens_log | grep -qx "Setup Shared Completed Message arrived" || fail "the set-up did not end"
    local deadline=$((SECONDS + 30)) s
    while kill -0 "$MANAGER_PID" 2>/dev/null && [ $SECONDS -lt $deadline ]; do
        if s=$(screens_wait_screen 500 "$SCREEN_HWND"); then
            screens_driver key Alt+F4 >/dev/null
            break
        fi
    done
    screens_manager_ends 30 || fail "the program did not end"
    # the folder's command records it after the program has gone on
    deadline=$((SECONDS + 20))
    until tr -d '\r' 2>/dev/null <"$LAB_WINEPREFIX/drive_c/lab-folders.txt" |
        grep -qxF "\\\\$HOST\\$1"; do
        [ $SECONDS -lt $deadline ] || { fail "the share's folder was not opened"; return 1; }
        sleep 0.2
    done
}

# The drive letter: a network drive of the mount manager on the account's share folder.
expect_mapped() {
    [ "$(readlink "$LAB_WINEPREFIX/dosdevices/${1,,}:")" = "unc/$HOST/$2" ] ||
        fail "${1}: is not the share $2"
    [ "$(screens_setting shareDriveLetter)" = "$1:" ] || fail "shareDriveLetter"
    [ "$(screens_setting sortFolder)" = "\\\\$HOST\\$2" ] || fail "sortFolder"
}

expect_folders() {
    local share
    share="$(appliance)/shares/$1"
    shift
    for f in "My Backup" "My Documents" "My Sites" "My Software" "My Photos" "$@"; do
        [ -d "$share/$f" ] || fail "no folder '$f' in the share"
    done
}
HOME_FOLDERS=("My Library" "My Movies" "My Music")
BUSINESS_FOLDERS=("My Projects" "My Spreadsheets" "My Presentations" "My Multimedia")

case_public() {
    fresh_start winxp || return 1
    screens_shot 1-choose-account
    [ "$(screens_control $PUBLIC | cut -d' ' -f5)" = 1 ] || fail "public is not checked first"
    choose $PUBLIC || return 1
    [ "$(screens_text $NAME_FIELD)" = "$(id -un)" ] || fail "the Windows user name is not proposed"
    [ "$(screens_visible $PASSWORD)" = 0 ] || fail "a public account shows the password field"
    screens_driver type $NAME_FIELD anne >/dev/null || fail "typing the name"
    screens_shot 2-name-password
    screens_driver click $NEXT >/dev/null
    next_screen "$SCREEN_HWND" && [ "$SCREEN_ID" = $PURPOSE ] || { fail "no purpose screen"; return 1; }
    screens_shot 3-account-purpose
    screens_driver click $NEXT >/dev/null
    wait_log "Setup Thread Started..." && screens_shot 4-setting-up
    next_screen "$SCREEN_HWND" 60000 || fail "nothing after the set-up"
    screens_shot 5-setup-complete
    journal | grep -qx "add Y: \\\\\\\\$HOST\\\\anne user=(null) password=(null) flags=0x1 -> 0" ||
        fail "no mapping without credentials: $(journal | grep add)"
    expect_mapped Y anne
    expect_folders anne "${HOME_FOLDERS[@]}"
    [ ! -e "$(appliance)/shares/anne/_business.tov" ] || fail "a home account got the marker"
    [ -s "$(desktop)/anne on ($HOST).lnk" ] || fail "no desktop shortcut"
    [ -s "$(appliance)/shares/anne/Public.lnk" ] || fail "no public-share shortcut in the share"
    [ "$(screens_setting backupFolder)" = '\My Backup' ] || fail "backupFolder"
    [ "$(screens_setting businessSort)" = 0x0 ] || fail "businessSort"
    [ "$(screens_setting ShortCut)" = "C:\\users\\$(id -un)\\Desktop\\anne on ($HOST).lnk" ] ||
        fail "ShortCut '$(screens_setting ShortCut)'"
    [ "$(screens_setting PublicSortFolder)" = "\\\\$HOST\\Public" ] || fail "PublicSortFolder"
    complete_and_close
}

case_private_business() {
    fresh_start win2k || return 1
    choose $PRIVATE || return 1
    screens_shot name-password-private
    enter_new bob secret || return 1
    screens_driver check $BUSINESS 1 >/dev/null
    finish || return 1
    grep -q "^bob	secret	1$" "$(appliance)/accounts.tsv" || fail "no account bob on the appliance"
    journal | grep -qx "add Y: \\\\\\\\$HOST\\\\bob user=bob password=(set) flags=0x1 -> 0" ||
        fail "no mapping with bob's credentials: $(journal | grep add)"
    expect_mapped Y bob
    [ -e "$(appliance)/shares/bob/_business.tov" ] || fail "no business marker"
    expect_folders bob "${BUSINESS_FOLDERS[@]}"
    [ ! -e "$(appliance)/shares/bob/My Music" ] || fail "a business account got the home folders"
    [ "$(screens_setting businessSort)" = 0x1 ] || fail "businessSort"
    complete_and_close
}

case_existing_marker() {
    fresh_start win2k || return 1
    # zoe alone: the public share's own account, which sorts first, is not listed
    seed_account zoe pw
    touch "$(appliance)/shares/zoe/_business.tov"
    choose $EXISTING || return 1
    wait_list || return 1
    screens_shot name-password-existing
    [ "$(screens_visible $LIST)" = 1 ] || fail "the account list does not show"
    [ "$(screens_visible $NAME_FIELD)" = 0 ] || fail "the name field shows"
    [ "$(screens_enabled $PASSWORD)" = 1 ] || fail "the password field is disabled"
    screens_driver type $PASSWORD pw >/dev/null || fail "typing the password"
    finish_existing || return 1
    journal | grep -qx "add Y: \\\\\\\\$HOST\\\\zoe user=zoe password=(set) flags=0x1 -> 0" ||
        fail "no mapping with zoe's credentials"
    expect_folders zoe "${BUSINESS_FOLDERS[@]}"
    [ "$(screens_setting businessSort)" = 0x1 ] || fail "the marker did not make it business"
    opened_and_close zoe
}

case_existing_open() {
    fresh_start winxp || return 1
    seed_account dave ""
    choose $EXISTING || return 1
    wait_list || return 1
    [ "$(screens_enabled $PASSWORD)" = 0 ] || fail "the password field of an open account is enabled"
    finish_existing || return 1
    journal | grep -qx "add Y: \\\\\\\\$HOST\\\\dave user=(null) password=(null) flags=0x1 -> 0" ||
        fail "the open account was not mapped without credentials"
    expect_folders dave "${HOME_FOLDERS[@]}"
    opened_and_close dave
}

case_no_accounts() {
    fresh_start winxp || return 1
    screens_driver check $EXISTING 1 >/dev/null
    screens_driver click $NEXT >/dev/null
    # the name screen ends as soon as its list is known to be empty
    wait_log "New User List Updated" || { fail "the account list never came"; return 1; }
    until next_screen "$SCREEN_HWND" && [ "$SCREEN_ID" != $NAME ]; do
        [ "$SCREEN_ID" = $NAME ] || { fail "no message for an empty list"; return 1; }
    done
    expect_message A00A "There are no existing accounts"
    back_to_choose_and_close
}

case_wrong_password() {
    fresh_start win2k || return 1
    seed_account carl pw
    choose $EXISTING || return 1
    wait_list || return 1
    screens_driver type $PASSWORD wrong >/dev/null
    finish || return 1
    screens_shot wrong-password
    expect_message "A0FF - 1326" "Login failure: Bad password."
    [ ! -e "$LAB_WINEPREFIX/dosdevices/y:" ] || fail "a drive was mapped"
    [ -z "$(screens_setting sortFolder)" ] || fail "sortFolder written after a failed mapping"
    back_to_choose_and_close
}

case_late_share() {
    fresh_start winxp || return 1
    seed_account erin "" no-folder
    choose $EXISTING || return 1
    wait_list || return 1
    screens_driver click $NEXT >/dev/null
    # the appliance makes the share after the second refused attempt
    local deadline=$((SECONDS + 60))
    until [ "$(journal | grep -c 'erin user=(null) password=(null) flags=0x1 -> 67$')" -ge 2 ]; do
        [ $SECONDS -lt $deadline ] || { fail "no two refused attempts"; return 1; }
        sleep 0.1
    done
    mkdir "$(appliance)/shares/erin"
    wait_log "Setup Shared Completed Message arrived" 60 || { fail "the set-up did not end"; return 1; }
    [ "$(journal | grep -c 'erin user=')" = 3 ] || fail "not three attempts: $(journal | grep add)"
    journal | grep add | tail -1 | grep -q -- '-> 0$' || fail "the third attempt failed"
    [ "$(screens_log | grep -c "^--- ERROR: Can't map <.*erin> to <Y:> Error Code: 67$")" = 2 ] ||
        fail "two retry lines"
    opened_and_close erin
}

# A private account set up once, then the program started again for the same account.
set_up_twice() {
    fresh_start win2k || return 1
    choose $PRIVATE || return 1
    enter_new fay pw2 || return 1
    finish || return 1
    complete_and_close || return 1
    # remembered by the computer across the restart
    [ "$(cut -f1,2 "$LAB_WINEPREFIX/drive_c/tovnp/connections.txt")" = "Y:	\\\\$HOST\\fay" ] ||
        fail "the connection was not remembered"
    [ -n "${1:-}" ] && echo "$1" >"$LAB_WINEPREFIX/drive_c/tovnp/control.txt"
    start_again || return 1
    choose $EXISTING || return 1
    wait_list || return 1
    screens_driver type $PASSWORD pw2 >/dev/null
    screens_driver click $NEXT >/dev/null
    wait_log "Setup Shared Completed Message arrived" 150 || fail "the second set-up did not end"
}

case_second_setup() {
    set_up_twice || return 1
    journal | grep -qx "cancel Y: force=0 -> 0" || fail "step 2 did not cancel the old connection"
    screens_log | grep -qx "CtovDlgCreate::Disconnected (Y:)" || fail "no disconnect line"
    journal | grep -q "openenum .*(nested, below \\\\\\\\$HOST)" || fail "the container was not walked"
    expect_mapped Y fay
    opened_and_close fay
}

case_cancel_refused() {
    set_up_twice "busy \\\\$HOST\\fay" || return 1
    next_screen "$SCREEN_HWND" || { fail "no message"; return 1; }
    expect_message A009 "already connected to your computer"
    screens_log | grep -qx "CtovDlgCreate::Disconnect - Device not disconnected (Y:)" ||
        fail "no refused-cancel line"
    screens_log | grep -qx -- "--- ERROR: Shared Already Mapped!!" || fail "no already-mapped line"
    back_to_choose_and_close
}

case_credential_conflict() {
    # bob's connection, which cannot be cancelled, holds the appliance under bob's name
    fresh_start win2k || return 1
    choose $PRIVATE || return 1
    enter_new bob secret || return 1
    finish || return 1
    complete_and_close || return 1
    echo "busy \\\\$HOST\\bob" >"$LAB_WINEPREFIX/drive_c/tovnp/control.txt"
    seed_account zoe pw
    start_again || return 1
    choose $EXISTING || return 1
    wait_list || return 1
    # the list is sorted: bob, zoe; Y: is still bob's
    screens_driver select $LIST 1 >/dev/null
    screens_driver type $PASSWORD pw >/dev/null
    finish || return 1
    expect_message "A0FF - 1219" "only connect one Shared Storage user account"
    journal | grep -qx "add X: \\\\\\\\$HOST\\\\zoe user=zoe password=(set) flags=0x1 -> 1219" ||
        fail "the provider did not refuse the second set of credentials"
    back_to_choose_and_close
}

case_xp_credentials() {
    export TOV_TEST_MAP_WAIT_MS=20
    fresh_start winxp || return 1
    seed_account carl pw
    choose $EXISTING || return 1
    wait_list || return 1
    screens_driver type $PASSWORD pw >/dev/null
    finish || return 1
    # 0x1809 carries CONNECT_INTERACTIVE: Wine's MPR answers 67 before the provider is asked
    expect_message "A0FF - 67" ""
    [ "$(screens_log | grep -c "Can't map <\\\\\\\\$HOST\\\\carl> to <Y:> Error Code: 67")" = 30 ] ||
        fail "not 30 attempts"
    journal | grep -q '^add ' && fail "an XP mapping with credentials reached the provider"
    back_to_choose_and_close
}

case_close_while_setting_up() {
    # a wait before the first attempt long enough to close the screen in it
    export TOV_TEST_MAP_WAIT_MS=600000
    fresh_start winxp || return 1
    choose $PUBLIC || return 1
    enter_new gus || return 1
    screens_driver click $NEXT >/dev/null
    wait_log "    List of current Mappings:" || { fail "the set-up did not reach the mapping"; return 1; }
    screens_driver key Alt+F4 >/dev/null
    screens_manager_ends 30 || fail "the program did not end after Alt+F4"
    screens_log | grep -qx "Create Setup Thread Ended...(0x4c7)" || fail "no end line of the set-up"
    screens_log | grep -q "Setup Shared Completed Message arrived" && fail "the closed screen took the end"
    journal | grep -q '^add ' && fail "a drive was mapped after the screen closed"
}

screens_lab_up 1 0 || exit 1
for case in "${cases[@]}"; do
    echo "--- $case"
    unset TOV_TEST_MAP_WAIT_MS
    "case_${case//-/_}" || true
    if [ -n "${MANAGER_PID:-}" ]; then
        kill "$MANAGER_PID" 2>/dev/null
        wait "$MANAGER_PID" 2>/dev/null
        MANAGER_PID=
    fi
done
if [ $failures -gt 0 ]; then
    echo "setup lab test: $failures failure(s)" >&2
    exit 1
fi
echo "setup lab test: ${#cases[@]} case(s) passed"
