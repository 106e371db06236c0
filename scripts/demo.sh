#!/usr/bin/env bash
# ./kestova demo [--interactive]: one voice message end to end in the simulated Outlook.
# Sets up what is missing, builds zelt.dll and the simulated host for the Windows target this
# machine runs (win32 where it runs 32-bit programs, else win64), registers zelt.dll in a Wine
# prefix of its own (out/wineprefix-TARGET) and runs scripts/demo.scn: Outlook's main window
# and a new mail, a click on "Kestova", 5 s recorded, Stop, a short playback, OK. The mail is
# saved as out/demo.eml and its attachment checked and summed up.
# The microphone is the user's own when the user's PulseAudio (or PipeWire's) answers and a
# display is there; otherwise the harness's 440 Hz test microphone on a virtual display.
# --interactive shows the windows on the user's desktop for a person to click through.
# KESTOVA_DEMO_BUILD names another build folder of the same target.
set -u
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
say() { printf '[demo] %s\n' "$*"; }

scenario=$root/scripts/demo.scn
interactive=0
if [ "${1:-}" = --interactive ]; then
  interactive=1
  [ -n "${DISPLAY:-}" ] || { say "--interactive needs a desktop (DISPLAY is not set)"; exit 2; }
  scenario=$root/scripts/demo-interactive.scn
fi

scripts/setup.sh || exit 1
target=win64
scripts/wine-loader win32 >/dev/null 2>&1 && target=win32
build=${KESTOVA_DEMO_BUILD:-build/$target}
say "target $target, build folder $build"
if [ ! -f "$build/CMakeCache.txt" ]; then
  cmake --preset "$target" -B "$build" >"$build.configure.log" 2>&1 \
    || { say "configure failed:"; tail -n 20 "$build.configure.log"; exit 1; }
fi
cmake --build "$build" --target zelt outlook_sim -j"${KESTOVA_JOBS:-$(nproc)}" >"$build.demo-build.log" 2>&1 \
  || { say "build failed:"; grep -E 'error' "$build.demo-build.log" | head -n 20; exit 1; }
build=$(cd "$build" && pwd)
dll=$build/addin/zelt.dll
sim=$build/tools/outlook_sim/outlook_sim.exe
say "built $dll"

mkdir -p out
rm -f out/demo.eml
export WINEPREFIX=$root/out/wineprefix-$target
# wine-run takes the target from the build folder it is started in.
run() { (cd "$build" && "$root/scripts/wine-run" "$@"); }
register_and_run() {
  run regsvr32 /s "$dll" || { echo "[demo] regsvr32 failed"; return 1; }
  echo "[demo] registered zelt.dll in $WINEPREFIX"
  (cd "$root/out" && "$root/scripts/wine-run" "$sim" "$scenario") | sed 's/^/[demo] /'
  return "${PIPESTATUS[0]}"
}
export -f register_and_run run
export root build dll sim scenario

own_pulse=0
[ -n "${DISPLAY:-}" ] && pactl info >/dev/null 2>&1 && own_pulse=1
if [ $own_pulse = 1 ] || [ $interactive = 1 ]; then
  if [ $own_pulse = 1 ]; then say "microphone: the default source of your PulseAudio"
  else say "microphone: none answers here; the recorder window will say so"; fi
  register_and_run
else
  say "microphone: the harness's 440 Hz test tone, on a virtual display"
  scripts/harness.sh --prefix "$WINEPREFIX:$target" -- bash -c register_and_run
fi
rc=$?
[ $rc -eq 0 ] || { say "the simulated Outlook reported $rc failed step(s)"; exit 1; }
summary=$(scripts/demo-check.sh out/demo.eml 4) || exit 1
say "saved out/demo.eml: $summary"
