#!/usr/bin/env bash
# tovctl status against the simulator's own shares: status_command_test.sh [RUNNER] TOVCTL, run
# through protocol/with-appliance.
set -uo pipefail
addr=${TOV_APPLIANCE_ADDRESS:?run through protocol/with-appliance}
state=${TOV_APPLIANCE_STATE:?}
failed=0
ctl() {
    out=$("$@" 2>"$state/ctl.err" </dev/null | tr -d '\r')
    rc=${PIPESTATUS[0]}
}
check() {
    if [ "$2" != "$3" ]; then
        failed=1
        printf 'FAILED: %s:\nexpected [%s]\n     got [%s]\n' "$1" "$2" "$3" >&2
    fi
}

# anne's share holds 3 MiB and a backup's state; bob's 500 bytes and none; carl has no share
printf 'bob\t\t0\nanne\tpw\t1\ncarl\t\t0\n' >"$state/accounts.tsv"
printf 'anne\tanne\t\nbob\tbob\t\n' >"$state/shares.tsv"
mkdir -p "$state/shares/anne/My Backup/PC1" "$state/shares/bob"
head -c 3145728 /dev/zero >"$state/shares/anne/My Backup/PC1/data.bin"
printf '03142025\t2\r\n' >"$state/shares/anne/My Backup/PC1/backup-state.txt"
head -c 500 /dev/zero >"$state/shares/bob/note.txt"
echo "capacity=250" >"$state/settings"

ctl "$@" status "$addr"
check "status exit" 0 "$rc"
expected=$(printf '%-34s %-11s %-12s %s\n' "User(s)" "Space Used" "Last Backup" "Backup Status" \
    anne "3 MB" 03/14/2025 Incomplete bob "0 MB" "" "" "" "3 MB" "250.00 GBs free space" "")
check "status table" "$expected" "$out"

ctl "$@" --json status "$addr"
check "status json" '[250, ["anne", 3, "M", "03/14/2025", "2", "Incomplete"], ["bob", 0, "K", "", "", ""], 3, "3 MB", "250.00 GBs free space", false]' \
    "$(python3 -c 'import json, sys
r = json.loads(sys.argv[1]); t = r["totals"]
print(json.dumps([r["capacity"]] + [[u[k] for k in ("name", "used", "unit", "date", "state", "status")]
      for u in r["users"]] + [t["megabytes"], t["used"], t["free"], t["low"]]))' "$out")"

# an answer that is not "gu...": the exchange happened, no block came
echo "gub1 drop" >"$state/faults"
ctl "$@" status "$addr"
check "no answer" "0 Backup status not found." "$rc $(echo "$out" | tail -n 1)"
rm -f "$state/faults"

ctl "$@" status
check "no address" 2 "$rc"
exit $failed
