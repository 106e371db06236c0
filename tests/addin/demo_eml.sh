#!/usr/bin/env bash
# The demo's road as a test: runs scripts/demo.scn in the simulated Outlook (registering
# zelt.dll around it) and checks the saved mail on the Linux side: the MP3 attachment decodes
# with mpg123 to at least 4 s, starts with 0x4D and ends with an ID3v1 block "Voice Email".
# Usage: demo_eml.sh <wine-run> <zelt.dll> <outlook_sim.exe> <demo.scn> <demo-check.sh>
set -u
here=$(cd "$(dirname "$0")" && pwd)
rm -f demo.eml
bash "$here/run_scenario.sh" "$1" "$2" "$3" "$4"
rc=$?
[ $rc -eq 0 ] || exit $rc
bash "$5" demo.eml 4
