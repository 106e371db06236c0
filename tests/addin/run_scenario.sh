#!/usr/bin/env bash
# Registers zelt.dll in the build's Wine prefix, runs one scenario in the simulated Outlook
# and unregisters again, whatever the outcome. The exit code is the simulator's. A scenario
# marked "# needs: display" shows real windows and is skipped outside the harness; one marked
# "# needs: failing add-in" gets <failing_addin.dll> registered beside zelt.dll.
# Usage: run_scenario.sh <wine-run> <zelt.dll> <outlook_sim.exe> <scenario> [<failing_addin.dll>]
set -u
run=$1
dll=$2
sim=$3
scenario=$4
failing=${5:-}

if grep -q '^# needs: display' "$scenario" && [ -z "${DISPLAY:-}" ]; then
  echo "skipped: no display (run it inside ./kestova harness)"
  exit 77
fi
grep -q '^# needs: failing add-in' "$scenario" || failing=
registered=()
# A recording kept for a mail closed meanwhile lies next to the library.
cleanup() {
  for library in "${registered[@]}"; do "$run" regsvr32 /u /s "$library" >/dev/null 2>&1; done
  rm -f "$(dirname "$dll")"/Kestova_for_Outlook\ *.mp3
}
trap cleanup EXIT
for library in "$dll" $failing; do
  "$run" regsvr32 /s "$library"
  rc=$?
  [ $rc -eq 77 ] && exit 77  # this machine cannot run the prefix's Wine
  [ $rc -eq 0 ] || { echo "FAIL: regsvr32 $(basename "$library") exited with $rc"; exit 1; }
  registered+=("$library")
done
"$run" "$sim" "$scenario"
