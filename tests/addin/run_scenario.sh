#!/usr/bin/env bash
# Registers zelt.dll in the build's Wine prefix, runs one scenario in the simulated Outlook
# and unregisters again, whatever the outcome. The exit code is the simulator's. A scenario
# marked "# needs: display" shows real windows and is skipped outside the harness.
# Usage: run_scenario.sh <wine-run> <zelt.dll> <outlook_sim.exe> <scenario>
set -u
run=$1
dll=$2
sim=$3
scenario=$4

if grep -q '^# needs: display' "$scenario" && [ -z "${DISPLAY:-}" ]; then
  echo "skipped: no display (run it inside ./kestova harness)"
  exit 77
fi
"$run" regsvr32 /s "$dll"
rc=$?
[ $rc -eq 77 ] && exit 77  # this machine cannot run the prefix's Wine
[ $rc -eq 0 ] || { echo "FAIL: regsvr32 exited with $rc"; exit 1; }
trap '"$run" regsvr32 /u /s "$dll" >/dev/null 2>&1' EXIT
"$run" "$sim" "$scenario"
