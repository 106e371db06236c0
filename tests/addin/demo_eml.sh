#!/usr/bin/env bash
# The demo's road as a test: runs scripts/demo.scn in the simulated Outlook (registering
# zelt.dll around it) and checks the saved mail on the Linux side: the MP3 attachment decodes
# with mpg123 to at least 4 s, starts with 0x4D and ends with an ID3v1 block "Voice Email".
# Then a refused attach (scenarios/voice_refused.scn), and the helpdesk's log of both runs:
# it names the recordings and the refusal with its code, and holds none of the mail's subject,
# recipient or text, nor any attachment's bytes.
# Usage: demo_eml.sh <wine-run> <zelt.dll> <outlook_sim.exe> <demo.scn> <demo-check.sh>
set -u
here=$(cd "$(dirname "$0")" && pwd)
fail() { echo "FAIL: $*"; exit 1; }
build_dir=$(cd "$(dirname "$2")" && while [ ! -f CMakeCache.txt ] && [ "$PWD" != / ]; do cd ..; done; pwd)
users=${WINEPREFIX:-$build_dir/wineprefix}/drive_c/users
logs() { find "$users" -path '*Kestova for Outlook/kestova*.log' 2>/dev/null; }
logs | while read -r log; do rm -f "$log"; done
rm -f demo.eml
bash "$here/run_scenario.sh" "$1" "$2" "$3" "$4"
rc=$?
[ $rc -eq 0 ] || exit $rc
bash "$5" demo.eml 4 || exit 1
hex() { od -An -tx1 -v "$@" | tr -d ' \n'; }
recording=$(hex -j 2000 -N 24 "$(dirname "$2")/Kestova_for_Outlook.mp3")
[ ${#recording} -eq 48 ] || fail "no recording beside zelt.dll"
bash "$here/run_scenario.sh" "$1" "$2" "$3" "$here/scenarios/voice_refused.scn" || exit 1

log=$(logs | grep '/kestova.log$' | head -1)
[ -n "$log" ] || fail "no kestova.log in the user's data folder"
echo "log: $log"
cat "$log"
for line in ' Start: zelt.dll ' ' Connected to Outlook in ' ' Recording started at 64 kbps; microphones: ' \
            ' Recording finished: ' \
            ' Error in attaching the recording: HRESULT 0x80004005, This item is not a mail message'; do
  grep -qF -- "$line" "$log" || fail "the log lacks \"$line\""
done
for private in 'A voice message' 'someone@example.com' 'Please listen' 'Notes for the meeting'; do
  grep -qiF -- "$private" "$log" && fail "the log holds \"$private\""
done
hex "$log" | grep -qF "$recording" && fail "the log holds the recording's bytes"
exit 0
