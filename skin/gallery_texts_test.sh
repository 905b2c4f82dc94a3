#!/usr/bin/env bash
# Every screen of the gallery in each of the five languages: each text fits its control in its own
# font and each string is translated (tovgallery -check). The account screens are checked in the
# views of every set-up function too. Whatever screens the gallery has are checked.
set -uo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
run="$root/lab/wine-run"
gallery="$TOV_BIN/tovgallery.exe"
out=$(mktemp)
trap 'rm -f "$out"' EXIT
failed=0

check() {
    "$run" "$gallery" "$@" >"$out" 2>&1
    local rc=$?
    # the gallery's lines are in the languages' code page
    if [ $rc -ne 0 ] || ! grep -aq "^checked .*, 0 problems" "$out"; then
        echo "FAIL: tovgallery $* (status $rc):"
        grep -av "^dialog " "$out" | iconv -f cp1252 -t utf-8
        failed=1
    else
        grep -a "^checked" "$out" | sed "s|^|tovgallery $*: |"
    fi
}

for lang in eng spa ita ger fra; do
    args=()
    [ $lang = eng ] || args=(-lang $lang)
    check "${args[@]}" -check all
    for function in 1 2 3; do
        check "${args[@]}" -function $function -check 590 593
    done
done
exit $failed
